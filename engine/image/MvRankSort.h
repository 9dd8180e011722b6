// The ordering pieces of the rank filter: the stable insertion sort of the
// plain form, and the compare-exchange network of the fast form.
#ifndef MORVANE_ENGINE_MVRANKSORT_H
#define MORVANE_ENGINE_MVRANKSORT_H

#include <cstdint>
#include <utility>
#include <vector>

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

// The compare-exchange steps (low index, high index) of Batcher's odd-even
// merge sort for n items, keeping only the steps that the item at position
// rank depends on: after them position rank holds the rank-th smallest.
std::vector<std::pair<int, int>> MvRankNetwork(int n, int rank);

#endif
