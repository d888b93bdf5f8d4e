#pragma once
// How far a long piece of work has come, and whether the user wants it stopped. The work
// calls Step now and then (from any thread); Step throws OperationCancelled once Cancel was
// asked for, so the work ends where it stands and the caller changes nothing.

#include <atomic>
#include <functional>

struct OperationCancelled {};

class CProgress {
public:
    CProgress() = default;
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    // `done` is the share finished, 0..1 (negative: not known).
    void Step(double done) {
        if (!Report(done))
            throw OperationCancelled();
    }
    // As Step, for work that cannot throw: false when it should stop.
    bool Report(double done) {
        fraction.store(done, std::memory_order_relaxed);
        if (watcher)
            watcher(*this);
        return !(cancelled.load(std::memory_order_acquire) && cancellable.load());
    }
    void Cancel() { cancelled.store(true, std::memory_order_release); }
    bool Cancelled() const { return cancelled.load(std::memory_order_acquire); }
    double Done() const { return fraction.load(std::memory_order_relaxed); }
    // Past a point of no return (a file written over in place) the work goes on to its end.
    void SetCancellable(bool can) { cancellable.store(can); }
    // Passes the point of no return unless a cancel came first (false: the work must stop
    // and leave everything as it was). A cancel that races with it either stops the work
    // here or is not taken at all.
    bool Commit() {
        if (!Report(Done()))
            return false;
        SetCancellable(false);
        return !Cancelled();
    }
    bool Cancellable() const { return cancellable.load(); }
    // Sees every step, on the working thread (tests cancel midway with it).
    std::function<void(CProgress&)> watcher;

private:
    std::atomic<double> fraction{-1};
    std::atomic<bool> cancelled{false}, cancellable{true};
};

// Steps a progress every `every` calls of Tick, with the share i / total; free without one.
class CProgressTicker {
public:
    CProgressTicker(CProgress* p, double total, double from = 0, double span = 1,
                    unsigned every = 1u << 16)
        : progress(p), scale(total > 0 ? span / total : 0), start(from), period(every) {}
    void Tick(double i) {
        if (progress && ++calls % period == 0)
            progress->Step(start + i * scale);
    }

private:
    CProgress* progress;
    double scale, start;
    unsigned period, calls = 0;
};
