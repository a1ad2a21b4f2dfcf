#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "EditedSound.h"
#include "LoudnessMeter.h"

// Measures a stretch of a sound file on a thread of its own, so the window
// never waits for it. Only the newest request counts: asking again abandons
// the measure under way, and only its result is delivered.
class SelectionLoudness : public QObject {
    Q_OBJECT
public:
    explicit SelectionLoudness(QObject* parent = nullptr);
    ~SelectionLoudness() override;

    // Frames `first` to `last` (both included) of the game file or WAV at
    // `path`; `last` -1 for the rest of the sound.
    void Measure(const QString& path, qint64 first, qint64 last);
    // The same for frames of an edited sound at `rate` Hz, as it would be saved.
    void Measure(const EditedSound& sound, int rate, qint64 first, qint64 last);

    // "-23.0 LUFS" and "-20.1 dBTP", or why there is no figure.
    static QString LoudnessText(const std::optional<Loudness::Figures>& figures);
    static QString TruePeakText(const std::optional<Loudness::Figures>& figures);

signals:
    // The figures of the newest request; nothing when it could not be read.
    void Measured(const std::optional<Loudness::Figures>& figures);

private:
    struct Request {
        QString path;
        std::optional<EditedSound> sound;  // measured instead of `path` when set
        int rate = 0;
        qint64 first = 0, last = -1;
        quint64 generation = 0;
    };
    void Ask(Request request);
    void Work();
    std::optional<Loudness::Figures> MeasureRequest(const Request& r);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Request> pending_;
    quint64 generation_ = 0;
    bool quit_ = false;
    std::atomic<bool> cancel_{false};
    std::thread worker_;
};
