// Element-wise vector arithmetic and statistics on 1,000,000 elements,
// through the same entry points a script uses. bench/vector_vs_numpy.sh
// sets these figures against the same operations in numpy.
#include "morvane/MvShared.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

constexpr std::int32_t kElements = 1000000;

// A vector of varied values (no zeros, so divisions would be defined too).
MvValueHolder sampleVector(double offset) {
    MvValue* vector = MvVectorCreate();
    MvVectorValue* raw = MvValueAsVector(vector);
    for (std::int32_t i = 0; i < kElements; ++i)
        MvVectorAppend(raw, offset + (i % 1000) * 0.001);
    return MvValueHolder(vector);
}

// a + b into a fresh holder: a new result vector every time, as "a + b" in
// an expression (and in numpy) makes.
void BM_VectorAddFreshResult(benchmark::State& state) {
    MvValueHolder a = sampleVector(1.0);
    MvValueHolder b = sampleVector(2.0);
    for (auto _ : state) {
        MvValueHolder sum;
        AddValues(sum, a, b, false);
        benchmark::DoNotOptimize(sum.get());
    }
    state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_VectorAddFreshResult)->Unit(benchmark::kMicrosecond);

// a + b into a holder that already holds a vector of the right length, as a
// loop "set s to a + b" does after its first round.
void BM_VectorAddReusedResult(benchmark::State& state) {
    MvValueHolder a = sampleVector(1.0);
    MvValueHolder b = sampleVector(2.0);
    MvValueHolder sum;
    for (auto _ : state) {
        AddValues(sum, a, b, false);
        benchmark::DoNotOptimize(sum.get());
    }
    state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_VectorAddReusedResult)->Unit(benchmark::kMicrosecond);

// The sample standard deviation, as the sdev operation of a script.
void BM_VectorSdev(benchmark::State& state) {
    MvValueHolder a = sampleVector(1.0);
    for (auto _ : state) {
        MvValueHolder deviation(a->Sdev());
        benchmark::DoNotOptimize(deviation.get());
    }
    state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(BM_VectorSdev)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
