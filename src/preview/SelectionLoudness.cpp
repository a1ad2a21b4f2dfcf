#include "SelectionLoudness.h"

#include <algorithm>
#include <vector>

#include "AppError.h"
#include "LoudnessColumns.h"
#include "SoundLoudness.h"

SelectionLoudness::SelectionLoudness(QObject* parent) : QObject(parent) {
    worker_ = std::thread([this] { Work(); });
}

SelectionLoudness::~SelectionLoudness() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        cancel_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

namespace {

// Frames `first` to `first + frames - 1` of `sound` as they would be saved;
// nothing once `cancel` turns true.
std::optional<Loudness::Figures> MeasureEdited(const EditedSound& sound, int rate, qint64 first,
                                               qint64 frames, const std::atomic<bool>& cancel) {
    constexpr qint64 kBlockFrames = 65536;
    Loudness::Meter meter(rate, sound.Format().channels);
    std::vector<char> bytes;
    for (qint64 at = first; at < first + frames; at += kBlockFrames) {
        if (cancel) return std::nullopt;
        const qint64 n = std::min(kBlockFrames, first + frames - at);
        bytes.clear();
        sound.AppendBytes(at, n, bytes);
        meter.AddPcm(bytes.data(), n, sound.Format().bits);
    }
    return meter.Result();
}

}  // namespace

void SelectionLoudness::Measure(const QString& path, qint64 first, qint64 last) {
    Ask(Request{path, std::nullopt, 0, first, last, 0});
}

void SelectionLoudness::Measure(const EditedSound& sound, int rate, qint64 first, qint64 last) {
    Ask(Request{QString(), sound, rate, first, last, 0});
}

void SelectionLoudness::Ask(Request request) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        request.generation = ++generation_;
        pending_ = std::move(request);
        cancel_ = true;
    }
    wake_.notify_one();
}

std::optional<Loudness::Figures> SelectionLoudness::MeasureRequest(const Request& r) {
    if (!r.sound)
        return Loudness::MeasureFile(r.path, &cancel_, r.first,
                                     r.last < 0 ? -1 : r.last - r.first + 1);
    const qint64 last = r.last < 0 ? r.sound->Frames() - 1 : r.last;
    return MeasureEdited(*r.sound, r.rate, r.first, last - r.first + 1, cancel_);
}

void SelectionLoudness::Work() {
    for (;;) {
        Request r;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || pending_; });
            if (quit_) return;
            r = *pending_;
            pending_.reset();
            cancel_ = false;
        }
        std::optional<Loudness::Figures> figures;
        try {
            figures = MeasureRequest(r);
            if (!figures) continue;  // a newer request is waiting
        } catch (const AppError&) {
            // No figures: the panel says so.
        }
        QMetaObject::invokeMethod(
            this,
            [this, figures, generation = r.generation] {
                if (generation == generation_) emit Measured(figures);
            },
            Qt::QueuedConnection);
    }
}

QString SelectionLoudness::LoudnessText(const std::optional<Loudness::Figures>& f) {
    return f ? Loudness::IntegratedShortText(*f) : QStringLiteral("n/a");
}

QString SelectionLoudness::TruePeakText(const std::optional<Loudness::Figures>& f) {
    return f ? Loudness::DbText(f->TruePeakDbtp, "dBTP") : QStringLiteral("n/a");
}
