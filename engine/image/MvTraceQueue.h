// The queue of cells waiting to be traced: a ring that doubles its storage
// when it is full, so that no task is ever dropped or overwritten.
#ifndef MORVANE_ENGINE_MVTRACEQUEUE_H
#define MORVANE_ENGINE_MVTRACEQUEUE_H

#include <cstddef>
#include <cstdint>
#include <vector>

class MvTraceQueue {
public:
    static constexpr std::size_t kInitialCapacity = 8192;

    MvTraceQueue() : ring_(kInitialCapacity) {}

    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return ring_.size(); }

    void push(std::uint32_t task) {
        if (size_ == ring_.size())
            grow();
        ring_[(head_ + size_) % ring_.size()] = task;
        ++size_;
    }

    std::uint32_t pop() {
        const std::uint32_t task = ring_[head_];
        head_ = (head_ + 1) % ring_.size();
        --size_;
        return task;
    }

private:
    // The waiting tasks move to the front of a ring twice as large, in order.
    void grow() {
        std::vector<std::uint32_t> larger(ring_.size() * 2);
        for (std::size_t i = 0; i < size_; ++i)
            larger[i] = ring_[(head_ + i) % ring_.size()];
        ring_.swap(larger);
        head_ = 0;
    }

    std::vector<std::uint32_t> ring_;
    std::size_t head_ = 0;
    std::size_t size_ = 0;
};

#endif
