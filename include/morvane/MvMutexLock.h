// The engine's recursive lock.
//
// Every lock of the engine is an MvMutexLock: the session's host-visible
// items, the warning console and, above all, the single process-wide lock
// that guards every reference count (GetAutoObjectMutex). That last one is
// taken on the path of every value operation, so acquiring and releasing it
// without contention must be cheap: the owner and the recursion depth live in
// the lock itself, an uncontended acquire is one compare-and-swap and a
// release one plain store. A thread that finds the lock taken spins briefly
// and then sleeps until the owner lets go. Because the release does not fence
// its check for sleepers, a wake-up can be missed in a narrow window; sleepers
// therefore also wake on a short timer, so a miss costs a millisecond, never
// a hang.
#ifndef MORVANE_MVMUTEXLOCK_H
#define MORVANE_MVMUTEXLOCK_H

#include "MvExport.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#if defined(__has_builtin)
#if __has_builtin(__builtin_thread_pointer)
#define MV_HAS_THREAD_POINTER 1
#endif
#endif
#ifndef MV_HAS_THREAD_POINTER
#define MV_HAS_THREAD_POINTER 0
#endif

class MV_EXPORT MvMutexLock {
public:
    MvMutexLock() = default;
    MvMutexLock(const MvMutexLock&) = delete;
    MvMutexLock& operator=(const MvMutexLock&) = delete;

    // A thread's token: nonzero and distinct from every other live thread's.
    using ThreadToken = std::uintptr_t;

    void lock() {
        const ThreadToken self = currentThread();
        if (owner_.load(std::memory_order_relaxed) == self) {
            ++depth_;
            return;
        }
        ThreadToken nobody = 0;
        if (!owner_.compare_exchange_strong(nobody, self, std::memory_order_acquire,
                                            std::memory_order_relaxed))
            lockContended(self);
        depth_ = 1;
    }

    bool tryLock() {
        const ThreadToken self = currentThread();
        if (owner_.load(std::memory_order_relaxed) == self) {
            ++depth_;
            return true;
        }
        ThreadToken nobody = 0;
        if (!owner_.compare_exchange_strong(nobody, self, std::memory_order_acquire,
                                            std::memory_order_relaxed))
            return false;
        depth_ = 1;
        return true;
    }

    // Must be called by the owning thread, once per lock().
    void unlock() {
        if (--depth_ != 0)
            return;
        owner_.store(0, std::memory_order_release);
        if (sleepers_.load(std::memory_order_relaxed) != 0)
            wakeOne();
    }

    bool heldByCurrentThread() const {
        return owner_.load(std::memory_order_relaxed) == currentThread();
    }

    // Standard Lockable spelling, so std::lock_guard and friends work.
    bool try_lock() { return tryLock(); }

private:
    // The thread pointer where the compiler exposes it (one register read);
    // otherwise the address of a per-thread variable.
    static ThreadToken currentThread() {
#if MV_HAS_THREAD_POINTER
        return reinterpret_cast<ThreadToken>(__builtin_thread_pointer());
#else
        static thread_local char marker;
        return reinterpret_cast<ThreadToken>(&marker);
#endif
    }

    void lockContended(ThreadToken self);
    void wakeOne();

    std::atomic<ThreadToken> owner_{0};
    std::uint32_t depth_ = 0;               // touched only by the owner
    std::atomic<std::uint32_t> sleepers_{0};
    std::mutex parkingMutex_;               // where contending threads sleep
    std::condition_variable parked_;
};

// Holds a lock for the life of a scope.
class MvLockGuard {
public:
    explicit MvLockGuard(MvMutexLock& lock) : lock_(lock) { lock_.lock(); }
    explicit MvLockGuard(MvMutexLock* lock) : lock_(*lock) { lock_.lock(); }
    ~MvLockGuard() { lock_.unlock(); }
    MvLockGuard(const MvLockGuard&) = delete;
    MvLockGuard& operator=(const MvLockGuard&) = delete;

private:
    MvMutexLock& lock_;
};

// The one process-wide lock that guards every reference count and every
// pointer change inside an mv_auto_value.
MV_C_API MvMutexLock* GetAutoObjectMutex();

#endif
