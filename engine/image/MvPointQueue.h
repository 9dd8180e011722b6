// MvPointQueue: the first-in first-out queue of pixels a flood fill has
// still to look at. A ring that starts at 16384 places and doubles when it
// is full, so that no pending pixel is ever dropped however large the
// region; the ring is kept from one region to the next.
#ifndef MORVANE_ENGINE_MVPOINTQUEUE_H
#define MORVANE_ENGINE_MVPOINTQUEUE_H

#include <cstddef>
#include <cstdint>
#include <vector>

struct MvQueuedPoint {
    std::int32_t x;
    std::int32_t y;
};

class MvPointQueue {
public:
    static constexpr std::size_t kInitialCapacity = 16384;

    MvPointQueue() : ring_(kInitialCapacity) {}

    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }
    std::size_t capacity() const { return ring_.size(); }

    void push(MvQueuedPoint point) {
        if (count_ == ring_.size())
            grow();
        ring_[(head_ + count_) & (ring_.size() - 1)] = point;
        ++count_;
    }

    MvQueuedPoint pop() {
        const MvQueuedPoint point = ring_[head_];
        head_ = (head_ + 1) & (ring_.size() - 1);
        --count_;
        return point;
    }

private:
    // Doubles the ring, the pending points moved to its start in order.
    void grow() {
        std::vector<MvQueuedPoint> larger(ring_.size() * 2);
        for (std::size_t i = 0; i < count_; ++i)
            larger[i] = ring_[(head_ + i) & (ring_.size() - 1)];
        ring_.swap(larger);
        head_ = 0;
    }

    std::vector<MvQueuedPoint> ring_;   // its size is always a power of two
    std::size_t head_ = 0;
    std::size_t count_ = 0;
};

#endif
