#include "cMMedia.h"

#include "MediaCommands.h"

namespace {

QString sendToInterpreter(const QString& command) {
    QString reply;
    MediaCommands::SendString(command, &reply);
    return reply;
}

}  // namespace

cMMedia::cMMedia() : cMMedia(sendToInterpreter) {}

cMMedia::cMMedia(Sender sender, Clock clock)
    : sender_(std::move(sender)),
      clock_(clock ? std::move(clock) : [] { return QTime::currentTime(); }) {}

cMMedia::~cMMedia() = default;

QString cMMedia::send(const QString& command) {
    return sender_(command);
}

void cMMedia::mmOpen(const QString& file) {
    if (!sAlias_.isEmpty()) mmClose();
    const QString ending = file.right(3);
    const QString upper = ending.toUpper();
    QString type;
    if (upper == QLatin1String("WAV"))
        type = QStringLiteral("WaveAudio");
    else if (upper == QLatin1String("AVI"))
        type = QStringLiteral("AviVideo");
    else if (upper == QLatin1String("MID"))
        type = QStringLiteral("Sequencer");
    else
        return;
    sAlias_ = ending + QString::number(clock_().minute());
    const QString name = file.contains(u' ') ? u'"' + file + u'"' : file;
    send(QStringLiteral("Open ") + name + QStringLiteral(" ALIAS ") + sAlias_ +
         QStringLiteral(" TYPE ") + type + QStringLiteral(" wait"));
    sFilename_ = file;
}

void cMMedia::mmClose() {
    if (sAlias_.isEmpty()) return;
    send(QStringLiteral("Close ") + sAlias_);
    sAlias_.clear();
    sFilename_.clear();
}

void cMMedia::mmPause() {
    if (!sAlias_.isEmpty()) send(QStringLiteral("Pause ") + sAlias_);
}

void cMMedia::mmPlay(qint32 from, qint32 to, bool repeat) {
    if (sAlias_.isEmpty()) return;
    if (bWait_)
        send(QStringLiteral("Play ") + sAlias_ + QStringLiteral(" wait"));
    else
        send(QStringLiteral("Play %1 from %2 to %3%4")
                 .arg(sAlias_)
                 .arg(from)
                 .arg(to)
                 .arg(repeat ? QStringLiteral(" repeat") : QString()));
}

void cMMedia::mmResume() {
    if (!sAlias_.isEmpty()) send(QStringLiteral("Play ") + sAlias_);
}

void cMMedia::mmStop() {
    if (!sAlias_.isEmpty()) send(QStringLiteral("Stop ") + sAlias_);
}

void cMMedia::mmSeek(qint32 position) {
    send(QStringLiteral("Seek %1 to %2").arg(sAlias_).arg(position));
}

double cMMedia::Length() {
    if (sAlias_.isEmpty()) return 0;
    return LeadingNumber(send(QStringLiteral("Status ") + sAlias_ + QStringLiteral(" length")));
}

double cMMedia::Position() {
    if (sAlias_.isEmpty()) return 0;
    return LeadingNumber(send(QStringLiteral("Status ") + sAlias_ + QStringLiteral(" position")));
}

QString cMMedia::Status() {
    if (sAlias_.isEmpty()) return {};
    return send(QStringLiteral("Status ") + sAlias_ + QStringLiteral(" mode"));
}

double cMMedia::LeadingNumber(const QString& reply) {
    const QString t = reply.trimmed();
    int end = 0;
    bool point = false;
    while (end < t.size() && (t[end].isDigit() || (t[end] == u'.' && !point))) {
        point = point || t[end] == u'.';
        ++end;
    }
    return t.left(end).toDouble();
}
