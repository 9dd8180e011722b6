// How native code that may run long notices that the host wants it to stop.
//
// A host stops one run by setting its session's interrupted flag, and every
// run of the process with MvSetAbortEverything. The evaluator looks at both
// between statements; a native loop whose length a script chooses (a search
// over a long vector, a deep fractal) calls MvYield every so often instead,
// which raises the interruption when either is set. To see the session's
// flag from a native function, which knows nothing of sessions, a run marks
// the thread it runs on with its flag for as long as it lasts.
#ifndef MORVANE_ENGINE_MVINTERRUPTPOLL_H
#define MORVANE_ENGINE_MVINTERRUPTPOLL_H

#include "morvane/MvProcess.h"

#include <atomic>
#include <cstdint>

// Marks the calling thread as running the script whose stop flag is given
// (scopes nest: the previous mark comes back at the end).
class MvRunStopScope {
public:
    explicit MvRunStopScope(const std::atomic<bool>& stopFlag);
    ~MvRunStopScope();
    MvRunStopScope(const MvRunStopScope&) = delete;
    MvRunStopScope& operator=(const MvRunStopScope&) = delete;

private:
    const std::atomic<bool>* outer_;
};

// Whether the run on this thread was asked to stop (false outside a run).
bool MvRunStopRequested();

// Counts the work of a long loop and calls MvYield after every
// kWorkBetweenPolls units: tick(n) after n units of work (n elements
// compared, n iterations made). A poll costs a call and a thread-local read,
// so polling by work keeps its share of the loop negligible while a stop
// still takes effect within a fraction of a second.
class MvYieldPoll {
public:
    static constexpr std::uint64_t kWorkBetweenPolls = std::uint64_t(1) << 16;

    void tick(std::uint64_t work = 1) {
        done_ += work;
        if (done_ >= kWorkBetweenPolls) {
            done_ = 0;
            MvYield();
        }
    }

private:
    std::uint64_t done_ = 0;
};

#endif
