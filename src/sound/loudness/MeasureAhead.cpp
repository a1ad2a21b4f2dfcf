#include "MeasureAhead.h"

#include <sched.h>

#include <algorithm>

#include "SoundLoudness.h"

namespace Loudness {

namespace {

// How far the workers may run ahead of the caller, in files: enough to keep
// every core busy, few enough that the results waiting stay small.
constexpr qsizetype kWindowPerThread = 4;

int UsableCores() {
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

MeasureAhead::MeasureAhead(QStringList paths, int threads)
    : paths_(std::move(paths)), slots_(size_t(paths_.size())) {
    const int cores = threads > 0 ? threads : UsableCores();
    const qsizetype count = std::min<qsizetype>(cores, paths_.size());
    // Fewer files than cores: each file's measure takes a share of the rest.
    perFile_ = count > 0 ? std::max(1, int(cores / count)) : 1;
    window_ = kWindowPerThread * count;
    workers_.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) workers_.emplace_back([this] { Work(); });
}

MeasureAhead::~MeasureAhead() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& w : workers_) w.join();
}

void MeasureAhead::Work() {
    for (;;) {
        qsizetype index;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || next_ < taken_ + window_; });
            if (stop_ || next_ >= paths_.size()) return;
            index = next_++;
        }
        Slot slot;
        try {
            const std::optional<Figures> f = MeasureFile(paths_[index], &stop_, 0, -1, perFile_);
            if (!f) return;  // stopped
            slot.Result = *f;
        } catch (const AppError& e) {
            slot.Error = e;
        } catch (const std::bad_alloc&) {
            slot.Error = AppError::Standard(ErrNo::OutOfMemory);
        } catch (const std::exception& e) {
            slot.Error = AppError::Standard(
                ErrNo::InvalidProcedureCall,
                paths_[index] + QStringLiteral(": ") + QString::fromLocal8Bit(e.what()));
        }
        slot.Done = true;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            slots_[size_t(index)] = std::move(slot);
        }
        changed_.notify_all();
    }
}

Figures MeasureAhead::Take(qsizetype index) {
    Slot slot;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        // The files before `index` are not wanted any more (a caller skips
        // those it has no use for): the workers may run ahead of this one.
        if (index > taken_) {
            taken_ = index;
            changed_.notify_all();
        }
        changed_.wait(lock, [&] { return slots_[size_t(index)].Done; });
        slot = std::move(slots_[size_t(index)]);
        slots_[size_t(index)] = Slot();
        taken_ = std::max(taken_, index + 1);
    }
    changed_.notify_all();
    if (slot.Error) throw *slot.Error;
    return slot.Result;
}

}  // namespace Loudness
