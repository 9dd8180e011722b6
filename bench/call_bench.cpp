// Speed of function calls: 100,000 calls of a script-defined function of two
// arguments, and 100,000 calls of the built-in Math.Maximum with named
// arguments, each timed as one run (items_per_second counts the calls).
// bench/eval_vs_python.sh runs the same loops (bench/scripts/call_loop and
// max_loop) next to CPython.
#include "morvane/MvParser.h"
#include "morvane/MvPlugin.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kCalls = 100000;

void runLoop(benchmark::State& state, const std::string& script) {
    MvPluginRegistryInitInternal();
    MvParser* session = MvParserCreate(script.c_str(), static_cast<long>(script.size()), nullptr);
    for (auto _ : state) {
        MvParserExecute(session);
        if (MvParserGetRunErrorFlag(session) || MvParserGetErrorFlag(session))
            state.SkipWithError("the script failed");
    }
    MvParserDelete(session);
    MvDeletePluginRegistry();
    state.SetItemsProcessed(state.iterations() * kCalls);
}

void BM_ScriptFunctionCalls(benchmark::State& state) {
    runLoop(state,
            "define add2(a, b) begin\n"
            "  return a + b;\n"
            "end\n"
            "set x to 0;\n"
            "repeat 100000 times increment i begin\n"
            "  set x to add2(i, 5);\n"
            "end\n");
}
BENCHMARK(BM_ScriptFunctionCalls)->Unit(benchmark::kMillisecond);

void BM_MathMaximumCalls(benchmark::State& state) {
    runLoop(state,
            "set x to 0;\n"
            "repeat 100000 times increment i begin\n"
            "  set x to Math.Maximum(x -> i, y -> 5);\n"
            "end\n");
}
BENCHMARK(BM_MathMaximumCalls)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
