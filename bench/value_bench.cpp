// Cost of the operations on the path of every value operation: holding and
// dropping a counted reference, and adding two numbers through the dispatcher.
#include "morvane/MvShared.h"

#include <benchmark/benchmark.h>

namespace {

// Adopting a value that already has a holder adds a reference; releasing it
// drops one again (the value itself survives).
void BM_AutoValueAdoptRelease(benchmark::State& state) {
    MvValueHolder owner(MvNumberCreate(1.0));
    MvValue* raw = owner.get();
    for (auto _ : state) {
        MvValueHolder held(raw);
        benchmark::DoNotOptimize(held.get());
    }
}
BENCHMARK(BM_AutoValueAdoptRelease);

// A copy of a holder and its release.
void BM_AutoValueCopyRelease(benchmark::State& state) {
    MvValueHolder owner(MvNumberCreate(1.0));
    for (auto _ : state) {
        MvValueHolder copy(owner);
        benchmark::DoNotOptimize(copy.get());
    }
}
BENCHMARK(BM_AutoValueCopyRelease);

// x + y into a result holder that already holds a number it can reuse, as a
// loop such as "set s to x + y" does after its first round.
void BM_AddValuesReusedResult(benchmark::State& state) {
    MvValueHolder x(MvNumberCreate(1.5));
    MvValueHolder y(MvNumberCreate(2.25));
    MvValueHolder sum;
    for (auto _ : state) {
        AddValues(sum, x, y, false);
        benchmark::DoNotOptimize(sum.get());
    }
}
BENCHMARK(BM_AddValuesReusedResult);

// x + y into a fresh holder: the dispatcher makes a new number each time.
void BM_AddValuesFreshResult(benchmark::State& state) {
    MvValueHolder x(MvNumberCreate(1.5));
    MvValueHolder y(MvNumberCreate(2.25));
    for (auto _ : state) {
        MvValueHolder sum;
        AddValues(sum, x, y, false);
        benchmark::DoNotOptimize(sum.get());
    }
}
BENCHMARK(BM_AddValuesFreshResult);

// "add 1 to x": in place, into the variable's own number.
void BM_AddValuesInPlace(benchmark::State& state) {
    MvValueHolder x(MvNumberCreate(0.0));
    MvValueHolder one(MvNumberCreate(1.0));
    for (auto _ : state) {
        AddValues(x, x, one, true);
        benchmark::DoNotOptimize(x.get());
    }
}
BENCHMARK(BM_AddValuesInPlace);

} // namespace

BENCHMARK_MAIN();
