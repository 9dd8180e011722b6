// Reference counting through mv_auto_value and the process-wide recursive
// lock that guards every count.
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace {

// A value that reports its destruction and may hold another value, so that
// its destructor releases a holder while the count lock is already held.
class Probe : public MvValue {
public:
    explicit Probe(bool* destroyed, MvValue* inner = nullptr) : destroyed_(destroyed), inner_(inner) {}
    ~Probe() override { *destroyed_ = true; }

    MvValue* Clone() override { return new Probe(destroyed_); }
    MvTypeEnum GetType() override { return MvTypeNumber; }

private:
    bool* destroyed_;
    MvValueHolder inner_;
};

#define EXPECT_COUNTS(object, refs, holders)                              \
    do {                                                                  \
        EXPECT_EQ((object)->refCount, static_cast<std::uint32_t>(refs));       \
        EXPECT_EQ((object)->holderCount, static_cast<std::uint32_t>(holders)); \
    } while (0)

TEST(AutoObject, NewValueHasOneReferenceAndNoHolder) {
    bool gone = false;
    Probe* p = new Probe(&gone);
    EXPECT_COUNTS(p, 1, 0);
    delete p;
    EXPECT_TRUE(gone);
}

TEST(AutoValue, FirstHolderTakesOverTheCreatorsReference) {
    bool gone = false;
    Probe* p = new Probe(&gone);
    {
        MvValueHolder h(p);
        EXPECT_EQ(h.get(), p);
        EXPECT_COUNTS(p, 1, 1);
        EXPECT_TRUE(h.isUnique());
    }
    EXPECT_TRUE(gone);
}

TEST(AutoValue, AdoptingTheSameRawPointerAgainAddsAReference) {
    bool gone = false;
    Probe* p = new Probe(&gone);
    MvValueHolder first(p);
    {
        MvValueHolder second(p);
        EXPECT_COUNTS(p, 2, 2);
        EXPECT_FALSE(first.isUnique());
        MvValueHolder third;
        third = p;
        EXPECT_COUNTS(p, 3, 3);
    }
    EXPECT_FALSE(gone);
    EXPECT_COUNTS(p, 1, 1);
    first.release();
    EXPECT_TRUE(gone);
    EXPECT_FALSE(first);
}

TEST(AutoValue, CopyAddsBothCounts) {
    bool gone = false;
    MvValueHolder first(new Probe(&gone));
    MvValue* p = first.get();
    {
        MvValueHolder copy(first);
        EXPECT_EQ(copy.get(), p);
        EXPECT_COUNTS(p, 2, 2);
        MvValueHolder assigned;
        assigned = first;
        EXPECT_COUNTS(p, 3, 3);
    }
    EXPECT_COUNTS(p, 1, 1);
    EXPECT_FALSE(gone);
    first = nullptr;
    EXPECT_TRUE(gone);
    EXPECT_FALSE(first);
}

TEST(AutoValue, ConvertingCopyFromADerivedHolder) {
    bool gone = false;
    mv_auto_value<Probe> derived(new Probe(&gone));
    {
        MvValueHolder base(derived);
        EXPECT_EQ(base.get(), derived.get());
        EXPECT_COUNTS(derived.get(), 2, 2);
    }
    EXPECT_COUNTS(derived.get(), 1, 1);
    EXPECT_FALSE(gone);
}

// Deletion depends on refCount alone: a reference kept by someone who is not
// a holder keeps the object alive after the last holder goes.
TEST(AutoValue, ReleaseDeletesExactlyWhenRefCountIsOne) {
    bool gone = false;
    Probe* p = new Probe(&gone);
    {
        MvValueHolder h(p);
        ++p->refCount;   // an extra reference that no holder owns
    }
    EXPECT_FALSE(gone);
    EXPECT_COUNTS(p, 1, 0);
    {
        MvValueHolder again(p);   // no holder yet: takes the reference over
        EXPECT_COUNTS(p, 1, 1);
    }
    EXPECT_TRUE(gone);
}

TEST(AutoValue, AssigningTheHeldPointerKeepsTheObjectAlive) {
    bool gone = false;
    Probe* p = new Probe(&gone);
    MvValueHolder h(p);
    h = p;
    EXPECT_FALSE(gone);
    EXPECT_EQ(h.get(), p);
    EXPECT_COUNTS(p, 1, 1);
    MvValueHolder& alias = h;
    h = alias;
    EXPECT_FALSE(gone);
    EXPECT_EQ(h.get(), p);
    EXPECT_COUNTS(p, 1, 1);
}

TEST(AutoValue, AssigningAnotherPointerReleasesTheOld) {
    bool firstGone = false, secondGone = false;
    MvValueHolder h(new Probe(&firstGone));
    Probe* second = new Probe(&secondGone);
    h = second;
    EXPECT_TRUE(firstGone);
    EXPECT_FALSE(secondGone);
    EXPECT_EQ(h.get(), second);
    EXPECT_COUNTS(second, 1, 1);
}

TEST(AutoValue, AssigningAHolderOfAnotherObject) {
    bool aGone = false, bGone = false;
    MvValueHolder a(new Probe(&aGone));
    MvValueHolder b(new Probe(&bGone));
    MvValue* bp = b.get();
    a = b;
    EXPECT_TRUE(aGone);
    EXPECT_COUNTS(bp, 2, 2);
    b.release();
    EXPECT_FALSE(bGone);
    EXPECT_COUNTS(bp, 1, 1);
}

TEST(AutoValue, MoveHandsOverWithoutChangingCounts) {
    bool gone = false;
    MvValueHolder source(new Probe(&gone));
    MvValue* p = source.get();
    MvValueHolder moved(std::move(source));
    EXPECT_FALSE(source);
    EXPECT_EQ(moved.get(), p);
    EXPECT_COUNTS(p, 1, 1);

    bool otherGone = false;
    MvValueHolder target(new Probe(&otherGone));
    target = std::move(moved);
    EXPECT_TRUE(otherGone);
    EXPECT_FALSE(moved);
    EXPECT_EQ(target.get(), p);
    EXPECT_COUNTS(p, 1, 1);
    EXPECT_FALSE(gone);
}

TEST(AutoValue, SwapKeepsCounts) {
    bool aGone = false, bGone = false;
    MvValueHolder a(new Probe(&aGone));
    MvValueHolder b(new Probe(&bGone));
    MvValue* ap = a.get();
    MvValue* bp = b.get();
    a.swap(b);
    EXPECT_EQ(a.get(), bp);
    EXPECT_EQ(b.get(), ap);
    EXPECT_COUNTS(ap, 1, 1);
    EXPECT_COUNTS(bp, 1, 1);
    EXPECT_FALSE(aGone || bGone);
}

TEST(AutoValue, EmptyHolders) {
    MvValueHolder empty;
    EXPECT_FALSE(empty);
    EXPECT_FALSE(empty.isUnique());
    MvValueHolder copy(empty);
    EXPECT_FALSE(copy);
    MvValueHolder fromNull(static_cast<MvValue*>(nullptr));
    EXPECT_FALSE(fromNull);
    empty.release();
    copy = empty;
    EXPECT_FALSE(copy);
}

// The last release of the outer value runs its destructor inside the count
// lock, and that destructor releases the inner value: the lock must let the
// same thread in again.
TEST(AutoValue, DestructorReleasingHeldValuesUnderTheLock) {
    bool innerGone = false, outerGone = false;
    Probe* inner = new Probe(&innerGone);
    {
        MvValueHolder outer(new Probe(&outerGone, inner));
        EXPECT_COUNTS(inner, 1, 1);
    }
    EXPECT_TRUE(outerGone);
    EXPECT_TRUE(innerGone);
}

TEST(AutoValue, ValueSharedWithAnOuterValueOutlivesIt) {
    bool innerGone = false, outerGone = false;
    Probe* inner = new Probe(&innerGone);
    MvValueHolder mine(inner);
    {
        MvValueHolder outer(new Probe(&outerGone, inner));
        EXPECT_COUNTS(inner, 2, 2);
    }
    EXPECT_TRUE(outerGone);
    EXPECT_FALSE(innerGone);
    EXPECT_COUNTS(inner, 1, 1);
}

TEST(AutoValue, ConcurrentCopiesLeaveTheCountsWhereTheyStarted) {
    bool gone = false;
    Probe* p = new Probe(&gone);
    MvValueHolder shared(p);
    constexpr int kThreads = 8;
    constexpr int kRounds = 20000;
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            while (!go.load())
                std::this_thread::yield();
            for (int i = 0; i < kRounds; ++i) {
                MvValueHolder copy(shared);
                if ((i + t) % 3 == 0) {
                    MvValueHolder adopted(p);   // a second adoption of the raw pointer
                    MvValueHolder more = adopted;
                } else {
                    MvValueHolder other;
                    other = copy;
                    MvValueHolder moved(std::move(other));
                }
            }
        });
    go = true;
    for (std::thread& t : threads)
        t.join();
    EXPECT_FALSE(gone);
    EXPECT_COUNTS(p, 1, 1);
    shared.release();
    EXPECT_TRUE(gone);
}

// Long runs of copies on every thread at once: an increment made outside the
// lock is lost here within a few hundred thousand copies.
TEST(AutoValue, ConcurrentBulkCopiesLeaveTheCountsWhereTheyStarted) {
    bool gone = false;
    Probe* p = new Probe(&gone);
    MvValueHolder shared(p);
    std::atomic<int> ready{0};
    auto work = [&] {
        std::vector<MvValueHolder> copies;
        copies.reserve(1000);
        ++ready;
        while (ready.load() < 2)
            std::this_thread::yield();
        for (int round = 0; round < 2000; ++round) {
            for (int k = 0; k < 1000; ++k)
                copies.emplace_back(shared);
            copies.clear();
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_FALSE(gone);
    EXPECT_COUNTS(p, 1, 1);
}

TEST(AutoValue, ConcurrentLastReleasesDeleteOnce) {
    constexpr int kObjects = 2000;
    std::unique_ptr<bool[]> gone(new bool[kObjects]());
    // Two holders per object, dropped from two threads at the same time.
    std::vector<MvValueHolder> a, b;
    for (int i = 0; i < kObjects; ++i) {
        a.emplace_back(new Probe(&gone[i]));
        b.push_back(a.back());
    }
    std::thread left([&] { a.clear(); });
    std::thread right([&] { b.clear(); });
    left.join();
    right.join();
    for (int i = 0; i < kObjects; ++i)
        EXPECT_TRUE(gone[i]) << i;
}

// ---------------------------------------------------------------- the lock

TEST(AutoObjectMutex, IsOneProcessWideLock) {
    MvMutexLock* lock = GetAutoObjectMutex();
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(GetAutoObjectMutex(), lock);
    MvMutexLock* seenByOther = nullptr;
    std::thread([&] { seenByOther = GetAutoObjectMutex(); }).join();
    EXPECT_EQ(seenByOther, lock);
}

bool tryLockFromAnotherThread(MvMutexLock* lock) {
    bool taken = false;
    std::thread([&] {
        taken = lock->tryLock();
        if (taken)
            lock->unlock();
    }).join();
    return taken;
}

TEST(AutoObjectMutex, IsRecursive) {
    MvMutexLock* lock = GetAutoObjectMutex();
    EXPECT_FALSE(lock->heldByCurrentThread());
    lock->lock();
    lock->lock();
    EXPECT_TRUE(lock->tryLock());
    EXPECT_TRUE(lock->heldByCurrentThread());
    lock->unlock();
    lock->unlock();
    EXPECT_TRUE(lock->heldByCurrentThread());
    EXPECT_FALSE(tryLockFromAnotherThread(lock));
    lock->unlock();
    EXPECT_FALSE(lock->heldByCurrentThread());
    EXPECT_TRUE(tryLockFromAnotherThread(lock));
}

// Holders may be used while the lock is already held by the same thread.
TEST(AutoObjectMutex, HoldersWorkWhileTheLockIsHeld) {
    bool gone = false;
    {
        MvLockGuard guard(GetAutoObjectMutex());
        MvValueHolder h(new Probe(&gone));
        MvValueHolder copy(h);
        EXPECT_COUNTS(h.get(), 2, 2);
    }
    EXPECT_TRUE(gone);
    EXPECT_FALSE(GetAutoObjectMutex()->heldByCurrentThread());
}

TEST(AutoObjectMutex, TryLockFailsWhileAnotherThreadHoldsIt) {
    MvMutexLock* lock = GetAutoObjectMutex();
    std::atomic<bool> held{false}, finish{false};
    std::thread owner([&] {
        lock->lock();
        held = true;
        while (!finish.load())
            std::this_thread::yield();
        lock->unlock();
    });
    while (!held.load())
        std::this_thread::yield();
    EXPECT_FALSE(lock->tryLock());
    EXPECT_FALSE(lock->heldByCurrentThread());
    finish = true;
    owner.join();
    EXPECT_TRUE(lock->tryLock());
    lock->unlock();
}

TEST(AutoObjectMutex, BlockedLockerGetsInAfterTheOwnerLeaves) {
    MvMutexLock* lock = GetAutoObjectMutex();
    std::atomic<bool> acquired{false};
    lock->lock();
    std::thread waiter([&] {
        lock->lock();
        acquired = true;
        lock->unlock();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(acquired.load());
    lock->unlock();
    waiter.join();
    EXPECT_TRUE(acquired.load());
}

TEST(AutoObjectMutex, MutualExclusionUnderContention) {
    MvMutexLock* lock = GetAutoObjectMutex();
    constexpr int kThreads = 6;
    constexpr int kRounds = 50000;
    long counter = 0;   // deliberately not atomic
    int inside = 0;
    bool overlap = false;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                MvLockGuard guard(lock);
                if (++inside != 1)
                    overlap = true;
                ++counter;
                if (i % 1000 == 0) {   // now and then nest and hold a little longer
                    MvLockGuard again(lock);
                    std::this_thread::yield();
                }
                --inside;
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_FALSE(overlap);
    EXPECT_EQ(counter, long(kThreads) * kRounds);
}

} // namespace
