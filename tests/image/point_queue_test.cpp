// The flood fill's queue of pending pixels: first in, first out, whatever
// the number pending and wherever the ring's start has wandered to when it
// has to grow.
#include "image/MvPointQueue.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>

namespace {

TEST(PointQueue, KeepsOrderThroughGrowthFromAnyStart) {
    for (std::size_t offset : {std::size_t(0), std::size_t(1), std::size_t(16383)}) {
        MvPointQueue queue;
        // Move the ring's start away from its first place.
        for (std::size_t i = 0; i < offset; ++i)
            queue.push({int32_t(i), 0});
        for (std::size_t i = 0; i < offset; ++i)
            queue.pop();
        ASSERT_TRUE(queue.empty());
        const std::int32_t count = 100000;
        for (std::int32_t i = 0; i < count; ++i)
            queue.push({i, -i});
        EXPECT_EQ(queue.size(), std::size_t(count));
        EXPECT_GE(queue.capacity(), std::size_t(count));
        for (std::int32_t i = 0; i < count; ++i) {
            const MvQueuedPoint p = queue.pop();
            ASSERT_EQ(p.x, i);
            ASSERT_EQ(p.y, -i);
        }
        EXPECT_TRUE(queue.empty());
    }
}

TEST(PointQueue, MatchesADequeUnderMixedUse) {
    MvPointQueue queue;
    std::deque<MvQueuedPoint> model;
    std::mt19937 random(3);
    std::int32_t next = 0;
    for (int step = 0; step < 400000; ++step) {
        // Pushes win a little more often, so the queue passes 16384 and
        // 32768 pending with its start anywhere in the ring.
        if (model.empty() || random() % 100 < 55) {
            queue.push({next, step});
            model.push_back({next, step});
            ++next;
        } else {
            const MvQueuedPoint p = queue.pop();
            ASSERT_EQ(p.x, model.front().x);
            ASSERT_EQ(p.y, model.front().y);
            model.pop_front();
        }
        ASSERT_EQ(queue.size(), model.size());
    }
    EXPECT_GT(queue.capacity(), MvPointQueue::kInitialCapacity);
}

} // namespace
