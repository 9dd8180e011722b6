// Speed of the syntax check over a long generated script, in lines per
// second (Google Benchmark's items_per_second).
#include "morvane/MvParser.h"
#include "morvane/MvShared.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A script of about `lines` lines made of the statement forms that real
// scripts are mostly written in.
std::string generateScript(int lines) {
    static const char* const kBody[] = {
        "set x to x + 1;\n",
        "add 2 to y;\n",
        "if x > 10 then set x to 0;\n",
        "set s to \"count \" + x;\n",
        "repeat 3 times begin\n",
        "  set y to (y * 2 + x) / 3;\n",
        "end\n",
        "set v to {1, 2, 3};\n",
        "// a comment line\n",
        "print round(y) + v[1];\n",
    };
    constexpr int kBodyLines = sizeof kBody / sizeof kBody[0];
    std::string text = "set x to 0;\nset y to 1;\n";
    for (int i = 2; i < lines; ++i)
        text += kBody[i % kBodyLines];
    return text;
}

void BM_CheckSyntax100kLines(benchmark::State& state) {
    const int lines = 100000;
    const std::string script = generateScript(lines);
    for (auto _ : state) {
        MvParser* session =
            MvParserCreate(script.c_str(), static_cast<long>(script.size()), nullptr);
        MvParserCheckSyntax(session);
        benchmark::DoNotOptimize(MvParserGetErrorFlag(session));
        MvParserDelete(session);
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_CheckSyntax100kLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
