#include "MediaCommands.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>

#include "AudioOutput.h"

namespace {

std::function<void(const QString&)>& observer() {
    static std::function<void(const QString&)> function;
    return function;
}

MediaReply fail(MediaError error) {
    return {error, {}};
}

qint64 msToFrames(qint64 ms, int rate) {
    return ms * rate / 1000;
}
qint64 framesToMs(qint64 frames, int rate) {
    return rate > 0 ? frames * 1000 / rate : 0;
}

QString modeText(AudioMode mode) {
    switch (mode) {
        case AudioMode::Playing:
            return QStringLiteral("playing");
        case AudioMode::Paused:
            return QStringLiteral("paused");
        case AudioMode::Stopped:
            break;
    }
    return QStringLiteral("stopped");
}

}  // namespace

MediaCommands::MediaCommands(QObject* parent) : QObject(parent) {}

MediaCommands::~MediaCommands() = default;

MediaCommands& MediaCommands::Instance() {
    static QPointer<MediaCommands> instance;
    if (!instance) instance = new MediaCommands(QCoreApplication::instance());
    return *instance;
}

int MediaCommands::SendString(const QString& command, QString* reply) {
    if (observer()) observer()(command);
    const MediaReply r = Instance().Send(command);
    if (reply) *reply = r.text;
    return static_cast<int>(r.error);
}

void MediaCommands::SetObserver(std::function<void(const QString&)> function) {
    observer() = std::move(function);
}

MediaReply MediaCommands::Send(const QString& text) {
    const ParsedMediaCommand parsed = ParseMediaCommand(text);
    if (parsed.error != MediaError::None) return fail(parsed.error);
    const MediaCommand& c = parsed.command;
    if (c.verb == MediaVerb::Open) return open(c);
    if (c.verb == MediaVerb::Close) return close(c.device);
    const auto it = devices_.find(c.device.toLower());
    if (it == devices_.end()) return fail(MediaError::UnknownDevice);
    AudioOutput& out = *it->second;
    switch (c.verb) {
        case MediaVerb::Play:
            return play(out, c);
        case MediaVerb::Pause:
            out.pause();
            break;
        case MediaVerb::Resume:
            out.resume();
            break;
        case MediaVerb::Stop:
            out.stop();
            break;
        case MediaVerb::Seek:
            return seek(out, c);
        case MediaVerb::Status:
            return status(out, c);
        default:
            break;
    }
    return {};
}

MediaReply MediaCommands::open(const MediaCommand& c) {
    QString type = c.type.toLower();
    if (type.isEmpty() &&
        QFileInfo(c.device).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0)
        type = QStringLiteral("waveaudio");
    if (type != QLatin1String("waveaudio")) return fail(MediaError::UnsupportedType);
    const QString key = (c.alias.isEmpty() ? c.device : c.alias).toLower();
    if (key == QLatin1String("all")) return fail(MediaError::UnrecognizedKeyword);
    if (devices_.count(key)) return fail(MediaError::DuplicateAlias);
    auto out = std::make_unique<AudioOutput>();
    QString why;
    if (!out->open(c.device, &why)) return fail(MediaError::CannotOpenFile);
    devices_.emplace(key, std::move(out));
    return {};
}

MediaReply MediaCommands::play(AudioOutput& out, const MediaCommand& c) {
    const int rate = out.sampleRate();
    const qint64 length = out.lengthFrames();
    if (!c.from && !c.to && out.mode() == AudioMode::Paused) {
        out.resume();
    } else {
        // Positions past the end mean the end: a rounded selection end may lie a
        // millisecond beyond the last frame.
        const qint64 from = c.from ? qMin(length, msToFrames(*c.from, rate)) : out.positionFrames();
        const qint64 to = c.to ? qMin(length, msToFrames(*c.to, rate)) : length;
        if (from > to) return fail(MediaError::OutOfRange);
        out.play(from, to, c.repeat);
    }
    // A repeating range has no end to wait for.
    if (c.wait && !c.repeat) out.waitForEnd();
    return {};
}

MediaReply MediaCommands::seek(AudioOutput& out, const MediaCommand& c) {
    switch (c.seekTarget) {
        case SeekTarget::Start:
            out.seek(0);
            break;
        case SeekTarget::End:
            out.seek(out.lengthFrames());
            break;
        case SeekTarget::Position:
            if (msToFrames(c.seekTo, out.sampleRate()) > out.lengthFrames())
                return fail(MediaError::OutOfRange);
            out.seek(msToFrames(c.seekTo, out.sampleRate()));
            break;
    }
    return {};
}

MediaReply MediaCommands::status(AudioOutput& out, const MediaCommand& c) {
    switch (c.item) {
        case StatusItem::Mode:
            return {MediaError::None, modeText(out.mode())};
        case StatusItem::Position:
            return {MediaError::None,
                    QString::number(framesToMs(out.positionFrames(), out.sampleRate()))};
        case StatusItem::Length:
            return {MediaError::None,
                    QString::number(framesToMs(out.lengthFrames(), out.sampleRate()))};
    }
    return {};
}

MediaReply MediaCommands::close(const QString& device) {
    if (device.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
        devices_.clear();
        return {};
    }
    return devices_.erase(device.toLower()) ? MediaReply{} : fail(MediaError::UnknownDevice);
}
