// The vectorised filter kernels against their scalar twins on random rows
// (widths 1 to 67, kernels and masks of every size up to 9 x 9, grey and
// colour lanes), the sorting network against a full sort, and the
// traced fractal against the count of every pixel.
#include "image/MvColourTable.h"
#include "image/MvFilterKernels.h"
#include "image/MvFractal.h"
#include "image/MvRankSort.h"
#include "image/MvTraceQueue.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kWidest = 67;

template <class F>
void onEveryTarget(F check) {
    for (std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        check();
    }
    hwy::SetSupportedTargetsForTest(0);
}

// Values at the rounding and clamping edges and some at random.
float randomLane(std::mt19937& random) {
    static const float edges[] = {0.0f, -0.0f, 1.0f, 0.99999994f, 1.0f / 255.0f, 1.0f / 9.0f,
                                  -0.5f, 254.5f / 255.0f, 1e10f, -1e-30f};
    if (random() % 3 == 0)
        return edges[random() % (sizeof(edges) / sizeof(edges[0]))];
    return std::uniform_real_distribution<float>(-1.0f, 2.0f)(random);
}

std::uint8_t randomByte(std::mt19937& random) {
    static const std::uint8_t edges[] = {0, 1, 127, 128, 254, 255};
    if (random() % 3 == 0)
        return edges[random() % 6];
    return static_cast<std::uint8_t>(random());
}

struct ConvolutionCase {
    std::vector<std::vector<float>> rows;
    std::vector<const float*> pointers;
    std::vector<float> weights;
    float start[4];
    MvFilterKernels::ConvolutionRow plan;

    ConvolutionCase(std::mt19937& random, int width, int columns, int kernelRows, int lanes) {
        // Each padded row starts at an odd offset of its buffer.
        for (int j = 0; j < kernelRows; ++j) {
            std::vector<float> row(static_cast<std::size_t>(width + columns - 1) * lanes + 3);
            for (float& v : row)
                v = randomLane(random);
            rows.push_back(row);
        }
        for (auto& row : rows)
            pointers.push_back(row.data() + 1);
        for (int t = 0; t < kernelRows * columns * 4; ++t)
            weights.push_back(randomLane(random));
        for (float& s : start)
            s = randomLane(random);
        plan.rows = pointers.data();
        plan.weights = weights.data();
        plan.start = start;
        plan.kernelRows = kernelRows;
        plan.kernelColumns = columns;
        plan.lanes = lanes;
    }
};

TEST(FilterKernels, ConvolutionMatchesTheTwin) {
    onEveryTarget([] {
        std::mt19937 random(7);
        for (int lanes : {1, 4})
            for (int size : {1, 2, 3, 5, 9})
                for (int width = 1; width <= kWidest; ++width) {
                    const int columns = size % 2 ? size : size + 1;
                    const int kernelRows = std::max(1, size - width % 3);
                    ConvolutionCase c(random, width, columns, kernelRows, lanes);
                    std::vector<float> fast(static_cast<std::size_t>(width) * lanes + 1, 7.0f);
                    std::vector<float> plain(fast);
                    MvFilterKernels::convolveRow(c.plan, fast.data(), width);
                    MvFilterKernels::convolveRowScalar(c.plan, plain.data(), width);
                    ASSERT_EQ(0, std::memcmp(fast.data(), plain.data(), sizeof(float) * fast.size()))
                        << "lanes " << lanes << " kernel " << columns << " x " << kernelRows
                        << " width " << width;
                }
    });
}

TEST(FilterKernels, ConvolutionWithoutTapsGivesTheStart) {
    std::mt19937 random(3);
    ConvolutionCase c(random, 5, 1, 1, 4);
    c.plan.kernelRows = 0;
    c.plan.kernelColumns = 0;
    std::vector<float> out(20);
    MvFilterKernels::convolveRow(c.plan, out.data(), 5);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(out[i], c.start[i % 4]);
}

TEST(FilterKernels, RankOfFullSquaresMatchesTheTwin) {
    onEveryTarget([] {
        std::mt19937 random(11);
        for (int size : {3, 5})
            for (int rank : {0, 1, size * size / 2, size * size - 2, size * size - 1})
                for (int width = 1; width <= kWidest; ++width) {
                    std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(size));
                    std::vector<const std::uint8_t*> pointers;
                    for (auto& row : rows) {
                        row.resize(static_cast<std::size_t>(width + size - 1) + 1);
                        for (auto& b : row)
                            b = randomByte(random);
                        pointers.push_back(row.data() + 1);
                    }
                    std::vector<std::uint8_t> fast(static_cast<std::size_t>(width) + 1, 9);
                    std::vector<std::uint8_t> plain(fast);
                    MvFilterKernels::rankSquareRow(pointers.data(), size, rank, fast.data(), width);
                    MvFilterKernels::rankSquareRowScalar(pointers.data(), size, rank, plain.data(),
                                                         width);
                    ASSERT_EQ(fast, plain) << size << " x " << size << " rank " << rank
                                           << " width " << width;
                }
    });
}

TEST(SortingNetwork, SortsEveryCountUpToTwentyFive) {
    std::mt19937 random(5);
    for (int n = 1; n <= 25; ++n) {
        std::vector<MvSortStep> steps;
        auto collect = [&](int, int low, int high) { steps.push_back(MvSortStep{low, high}); };
        MvBatcherWalk(n, collect);
        for (int trial = 0; trial < 200; ++trial) {
            std::vector<int> items(static_cast<std::size_t>(n));
            for (int& v : items)
                v = static_cast<int>(random() % 7);
            std::vector<int> sorted(items);
            std::sort(sorted.begin(), sorted.end());
            for (const MvSortStep& step : steps)
                if (items[step.high] < items[step.low])
                    std::swap(items[step.low], items[step.high]);
            ASSERT_EQ(items, sorted) << "n " << n;
        }
    }
    // The compile-time networks of the fast rank filter are the same lists.
    for (int n : {9, 25}) {
        std::vector<MvSortStep> steps;
        auto collect = [&](int, int low, int high) { steps.push_back(MvSortStep{low, high}); };
        MvBatcherWalk(n, collect);
        const MvSortStep* fixed = n == 9 ? MvSortingNetwork<9>::kSteps.steps
                                         : MvSortingNetwork<25>::kSteps.steps;
        ASSERT_EQ(static_cast<int>(steps.size()),
                  n == 9 ? MvSortingNetwork<9>::kCount : MvSortingNetwork<25>::kCount);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            EXPECT_EQ(fixed[i].low, steps[i].low);
            EXPECT_EQ(fixed[i].high, steps[i].high);
        }
    }
}

TEST(InsertionSort, EqualItemsKeepTheirOrder) {
    std::pair<int, char> items[] = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}, {0, 'e'}};
    MvInsertionSort(items, 5, [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string order;
    for (const auto& item : items)
        order += item.second;
    EXPECT_EQ(order, "ebdac");
}

TEST(TraceQueue, GrowsInsteadOfOverwritingAndKeepsTheOrder) {
    MvTraceQueue queue;
    // Wrap the ring part way round first, so that growing must unroll it.
    for (std::uint32_t i = 0; i < 100; ++i)
        queue.push(i);
    for (std::uint32_t i = 0; i < 100; ++i)
        ASSERT_EQ(queue.pop(), i);
    const std::uint32_t many = 3 * MvTraceQueue::kInitialCapacity + 5;
    for (std::uint32_t i = 0; i < many; ++i)
        queue.push(i);
    EXPECT_EQ(queue.size(), many);
    EXPECT_GE(queue.capacity(), many);
    for (std::uint32_t i = 0; i < many; ++i)
        ASSERT_EQ(queue.pop(), i);
    EXPECT_TRUE(queue.empty());
}

// Tracing computes only the contours; filling must give the picture that
// computing every pixel gives.
TEST(Fractal, TracedMandelbrotEqualsEveryPixelComputed) {
    const MvMandelbrotView views[] = {
        MvMandelbrotView{},
        MvMandelbrotView{-0.7, 0, 2.2, 1, 1, 50},
        MvMandelbrotView{-0.7, 0, 2.2, 67, 2, 50},
        MvMandelbrotView{-0.745, 0.11, 0.02, 97, 61, 400},
        MvMandelbrotView{0.3, 0.5, 0.4, 64, 48, 1000},
    };
    for (const MvMandelbrotView& view : views) {
        const MvFractalCounts traced = MvTraceMandelbrot(view);
        const MvFractalCounts every = MvMandelbrotEveryPixel(view);
        ASSERT_EQ(traced.counts.size(), every.counts.size());
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < every.counts.size(); ++i)
            wrong += traced.counts[i] != every.counts[i];
        EXPECT_EQ(wrong, 0u) << view.width << " x " << view.height;
        EXPECT_EQ(traced.smallest, every.smallest);
    }
}

TEST(Fractal, EscapeCountsOfKnownPoints) {
    EXPECT_EQ(MvEscapeCount(0, 0, 0, 0, 100), -1);
    EXPECT_EQ(MvEscapeCount(0, 0, 3, 0, 100), 2);
    EXPECT_EQ(MvEscapeCount(0, 0, 1, 0, 100), 4);
    EXPECT_EQ(MvEscapeCount(0, 0, 0.5, 0, 100), 6);
    EXPECT_EQ(MvEscapeCount(0, 0, 0.5, 0, 5), -1);
    EXPECT_EQ(MvEscapeCount(0, 0, 3, 0, 0), -1);
}

TEST(ColourTables, HueWheelAndTables) {
    EXPECT_EQ(MvHueColour(0, 1), 0xFFFF0000u);
    EXPECT_EQ(MvHueColour(1.0 / 3.0, 1), 0xFF00FF00u);
    EXPECT_EQ(MvHueColour(0, 0), 0xFFFFFFFFu);
    const ColourTableCycle one(1);
    EXPECT_EQ(one.colourOf(1), 0xFFFF0000u);
    EXPECT_EQ(one.colourOf(77), 0xFFFF0000u);
    EXPECT_EQ(one.colourOf(-1), ColourTable::kInside);
    const ColourTableSpiral fade(10, 2, 5);
    EXPECT_EQ(fade.colourOf(25), 0x00FFFFFFu);
    EXPECT_NE(fade.colourOf(24), 0x00FFFFFFu);
    const ColourTableLog log(4, 0.5, 3);
    EXPECT_EQ(log.colourOf(3), MvHueColour(0, 1));
    EXPECT_EQ(log.colourOf(100), log.colourOf(6));
    // A one-entry log table has no ramp: its entry is still a colour.
    const ColourTableLog single(1, 0.02, 1);
    EXPECT_EQ(single.colourOf(1) >> 24, 0xFFu);
}

} // namespace
