#include "MvInterruptPoll.h"

namespace {

// The stop flag of the run on this thread, or null.
thread_local const std::atomic<bool>* runStopFlag = nullptr;

} // namespace

MvRunStopScope::MvRunStopScope(const std::atomic<bool>& stopFlag) : outer_(runStopFlag) {
    runStopFlag = &stopFlag;
}

MvRunStopScope::~MvRunStopScope() { runStopFlag = outer_; }

bool MvRunStopRequested() {
    const std::atomic<bool>* flag = runStopFlag;
    return flag && flag->load(std::memory_order_relaxed);
}
