// The ordering pieces of the rank filter: the stable insertion sort of the
// plain form, and the compare-exchange network of the fast form.
#ifndef MORVANE_ENGINE_MVRANKSORT_H
#define MORVANE_ENGINE_MVRANKSORT_H

#include <cstdint>

// Sorts n items ascending by less; equal items keep their order.
template <class T, class Less>
void MvInsertionSort(T* items, int n, Less less) {
    for (int i = 1; i < n; ++i) {
        T item = items[i];
        int j = i;
        for (; j > 0 && less(item, items[j - 1]); --j)
            items[j] = items[j - 1];
        items[j] = item;
    }
}

// One compare-exchange: afterwards item low <= item high.
struct MvSortStep {
    int low = 0;
    int high = 0;
};

// Walks the steps of Batcher's odd-even merge sort for n items (the network
// of the next power of two without the steps that touch items past n,
// which stand for +infinity), calling emit(index, low, high) for each;
// returns how many there are.
template <class Emit>
constexpr int MvBatcherWalk(int n, Emit& emit) {
    int size = 1;
    while (size < n)
        size <<= 1;
    int count = 0;
    for (int p = 1; p < size; p <<= 1)
        for (int k = p; k >= 1; k >>= 1)
            for (int j = k % p; j + k < size; j += 2 * k)
                for (int i = 0; i < k && i + j + k < size; ++i)
                    if ((i + j) / (2 * p) == (i + j + k) / (2 * p) && i + j + k < n)
                        emit(count++, i + j, i + j + k);
    return count;
}

struct MvSortStepCounter {
    constexpr void operator()(int, int, int) const {}
};

constexpr int MvBatcherStepCount(int n) {
    MvSortStepCounter counter;
    return MvBatcherWalk(n, counter);
}

// The whole network for kItems items, fixed at compile time.
template <int kItems>
struct MvSortingNetwork {
    static constexpr int kCount = MvBatcherStepCount(kItems);
    MvSortStep steps[kCount > 0 ? kCount : 1];

    constexpr MvSortingNetwork() : steps() {
        Filler filler{steps};
        MvBatcherWalk(kItems, filler);
    }

    static const MvSortingNetwork kSteps;

private:
    struct Filler {
        MvSortStep (&steps)[kCount > 0 ? kCount : 1];
        constexpr void operator()(int index, int low, int high) {
            steps[index].low = low;
            steps[index].high = high;
        }
    };
};

template <int kItems>
constexpr MvSortingNetwork<kItems> MvSortingNetwork<kItems>::kSteps{};

#endif
