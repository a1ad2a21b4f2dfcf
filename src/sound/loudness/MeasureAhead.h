#pragma once

#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "AppError.h"
#include "LoudnessMeter.h"

namespace Loudness {

// Measures the whole sound of each file of a list (as MeasureFile does) on
// worker threads, one per core, a bounded number of files ahead of the one
// the caller takes next; the caller takes the results in the list's order.
class MeasureAhead {
public:
    // `threads` 0: as many as the process may run at once.
    explicit MeasureAhead(QStringList paths, int threads = 0);
    ~MeasureAhead();  // stops the workers; files not taken are not measured
    MeasureAhead(const MeasureAhead&) = delete;
    MeasureAhead& operator=(const MeasureAhead&) = delete;

    // The figures of file `index`, waiting for them; throws the AppError its
    // measure threw. Each index is taken at most once, in order; those skipped
    // are given up.
    Figures Take(qsizetype index);

private:
    struct Slot {
        bool Done = false;
        Figures Result;
        std::optional<AppError> Error;
    };

    void Work();

    const QStringList paths_;
    qsizetype window_ = 0;  // how many files the workers may run ahead of the caller
    int perFile_ = 1;       // the threads one file's measure may use
    std::vector<Slot> slots_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    qsizetype next_ = 0;   // the next file a worker starts on
    qsizetype taken_ = 0;  // the files the caller has taken
    std::atomic<bool> stop_{false};
};

}  // namespace Loudness
