#include "SelectionLoudness.h"

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

void SelectionLoudness::Measure(const QString& path, qint64 first, qint64 last) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        pending_ = Request{path, first, last, ++generation_};
        cancel_ = true;
    }
    wake_.notify_one();
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
            figures = Loudness::MeasureFile(r.path, &cancel_, r.first,
                                            r.last < 0 ? -1 : r.last - r.first + 1);
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
    if (!f) return QStringLiteral("n/a");
    if (f->Integrated == Loudness::Status::TooShort) return QStringLiteral("< 400 ms");
    if (f->Integrated == Loudness::Status::Silent) return QStringLiteral("silent");
    return Loudness::DbText(f->IntegratedLufs, "LUFS");
}

QString SelectionLoudness::TruePeakText(const std::optional<Loudness::Figures>& f) {
    return f ? Loudness::DbText(f->TruePeakDbtp, "dBTP") : QStringLiteral("n/a");
}
