// Batcher's odd-even merge sort as a list of compare-exchange steps.
#include "image/MvRankSort.h"

#include <algorithm>

namespace {

// The network for a power of two, built by the iterative form of the merge.
std::vector<std::pair<int, int>> batcher(int powerOfTwo) {
    std::vector<std::pair<int, int>> steps;
    for (int p = 1; p < powerOfTwo; p <<= 1)
        for (int k = p; k >= 1; k >>= 1)
            for (int j = k % p; j + k < powerOfTwo; j += 2 * k)
                for (int i = 0; i < k && i + j + k < powerOfTwo; ++i)
                    if ((i + j) / (2 * p) == (i + j + k) / (2 * p))
                        steps.emplace_back(i + j, i + j + k);
    return steps;
}

} // namespace

std::vector<std::pair<int, int>> MvRankNetwork(int n, int rank) {
    int size = 1;
    while (size < n)
        size <<= 1;
    // Items past n stand for +infinity: a step that touches one never moves
    // anything, so it is dropped.
    std::vector<std::pair<int, int>> all;
    for (const auto& step : batcher(size))
        if (step.second < n)
            all.push_back(step);
    // Walk back from the output and keep what feeds it.
    std::vector<bool> needed(static_cast<std::size_t>(n), false);
    needed[static_cast<std::size_t>(rank)] = true;
    std::vector<std::pair<int, int>> kept;
    for (auto step = all.rbegin(); step != all.rend(); ++step) {
        if (needed[step->first] || needed[step->second]) {
            needed[step->first] = needed[step->second] = true;
            kept.push_back(*step);
        }
    }
    std::reverse(kept.begin(), kept.end());
    return kept;
}
