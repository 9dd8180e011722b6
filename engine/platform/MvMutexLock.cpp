// Slow paths of the engine's recursive lock, and the process-wide
// reference-count lock.
#include "morvane/MvMutexLock.h"

#include <chrono>

namespace {

// Spinning pays off when the owner holds the lock for a few instructions (a
// reference-count change); past this many rounds the waiter goes to sleep.
constexpr int kSpinRounds = 200;

inline void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

} // namespace

void MvMutexLock::lockContended(ThreadToken self) {
    for (int round = 0; round < kSpinRounds; ++round) {
        cpuRelax();
        ThreadToken nobody = 0;
        if (owner_.load(std::memory_order_relaxed) == nobody &&
            owner_.compare_exchange_weak(nobody, self, std::memory_order_acquire,
                                         std::memory_order_relaxed))
            return;
    }
    // Sleep until an unlock wakes us, or the timer does (see the header).
    std::unique_lock<std::mutex> parking(parkingMutex_);
    sleepers_.fetch_add(1, std::memory_order_seq_cst);
    for (;;) {
        ThreadToken nobody = 0;
        if (owner_.compare_exchange_strong(nobody, self, std::memory_order_acquire,
                                           std::memory_order_relaxed))
            break;
        parked_.wait_for(parking, std::chrono::milliseconds(1));
    }
    sleepers_.fetch_sub(1, std::memory_order_relaxed);
}

void MvMutexLock::wakeOne() {
    // Taking the parking mutex orders this wake-up after a sleeper's failed
    // attempt, so the sleeper is either already waiting or sees the lock free.
    { std::lock_guard<std::mutex> parking(parkingMutex_); }
    parked_.notify_one();
}

namespace {
// Made when the library loads, before any value can exist.
MvMutexLock autoObjectLock;
} // namespace

MvMutexLock* GetAutoObjectMutex() { return &autoObjectLock; }
