// A host's stop reaches built-in functions that run long: the session's
// interrupted flag ends them (through MvYield) and the run ends with the
// cancellation text, however long the built-in would have run.
#include "calls_support.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// Each call below would run for minutes, or for ever, if nothing stopped it.
// The vectors are 25 elements doubled 14 and 13 times: 409,600 and 204,800.
const char* const kVectors =
    "set v to {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, "
    "23, 24, 25};\n"
    "set w to v;\n"
    "repeat 14 times begin append v to v; end\n"
    "repeat 13 times begin append w to w; end\n";

// A 3000 x 3000 black frame and a white 400 x 400 patch that matches
// nowhere: 6.8 million placements of 160,000 pixels each.
const char* const kImages =
    "set big to frame_mono with size to {3000, 3000};\n"
    "set quality of big to 1;\n"
    "set patch to frame_mono with size to {400, 400};\n"
    "set patch[{0, 0}, {400, 400}] to 1;\n";

struct LongCall {
    const char* name;
    std::string setUp;
    std::string call;   // an expression; STOP marks where the stop comes in
};

std::vector<LongCall> longCalls() {
    return {
        {"MandelbrotPoint", "", "Fractal.MandelbrotPoint(x -> STOP, y -> 0, depth -> 1e300)"},
        {"CorrelateVectors", kVectors, "Find.Correlate(source -> v, match -> w + STOP)"},
        {"CorrelateImages", kImages,
         "Find.Correlate(source -> big, match -> patch, scale -> 1 + STOP, "
         "internal_test_choose_core -> \"generic\")"},
        {"MapImages", kImages, "Find.Map(source -> big, match -> patch, scale -> 1 + STOP)"},
        {"RegionOfImage", kImages, "Find.Region(source -> big, value -> STOP, radius -> 1.5)"},
    };
}

std::string replaced(std::string text, const std::string& marker, const std::string& with) {
    text.replace(text.find(marker), marker.size(), with);
    return text;
}

bool endsWithCancellation(const std::string& console) {
    for (const char* text : {"Execution cancelled by user.", "Execution Terminated by User."}) {
        const std::string ending(text);
        if (console.size() >= ending.size() &&
            console.compare(console.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    }
    return false;
}

// The session whose flag Probe.Stop sets.
MvParser* sessionToStop = nullptr;

// Sets the interrupted flag of the running session, as a host would, and
// gives 0: the long call that takes it as an argument starts already stopped,
// with no statement boundary (where the evaluator would notice) in between.
MvValue* stopTheRun(MvPluginErrorBlock*, MvParameterBlock*) {
    MvParserSetInterruptedFlag(sessionToStop, 1);
    return MvNumberCreate(0);
}

void ensureStopProbe() {
    ensureBuiltins();
    if (MvPluginRegistry::THE_PluginRegistry()->hasFunction("Probe", "Stop"))
        return;
    MvPluginSignature* s = MvPluginSignatureCreate(0, MvTypeNumber, &stopTheRun);
    MvPluginSignatureCommit(s, "Probe", "Stop", "Stops the running script.");
}

// Waits for the run on worker to end; a run that never ends fails the test
// and ends the process, which cannot take the stuck thread back.
void joinOrGiveUp(std::thread& worker, const std::atomic<bool>& finished, const char* name) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!finished.load()) {
        if (std::chrono::steady_clock::now() > deadline) {
            std::fprintf(stderr, "%s: the run did not stop; giving up\n", name);
            std::fflush(stderr);
            std::_Exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    worker.join();
}

} // namespace

// The stop comes while the built-in runs: the flag is set while its
// arguments are evaluated.
TEST(NativeInterrupt, TheSessionFlagEndsALongBuiltin) {
    ensureStopProbe();
    for (const LongCall& c : longCalls()) {
        const std::string script = c.setUp + "print " + replaced(c.call, "STOP", "Probe.Stop()") +
                                   ";\nprint \"not reached\";\n";
        SessionPtr session = newSession(script);
        sessionToStop = session.get();
        std::atomic<bool> finished{false};
        std::thread worker([&] {
            MvParserExecute(session.get());
            finished.store(true);
        });
        joinOrGiveUp(worker, finished, c.name);
        RunResult r = collect(session.get());
        EXPECT_TRUE(endsWithCancellation(r.console)) << c.name << ": " << r.console;
        EXPECT_TRUE(r.records.empty()) << c.name;
        EXPECT_TRUE(r.runError) << c.name;
    }
}

// The host sets the flag from its own thread once the script said it began
// the call; whether the evaluator or the built-in notices first, the run ends.
TEST(NativeInterrupt, AHostThreadStopsALongBuiltin) {
    ensureBuiltins();
    for (const LongCall& c : longCalls()) {
        const std::string script =
            c.setUp + "print \"started\";\nprint " + replaced(c.call, "STOP", "0") + ";\n";
        SessionPtr session = newSession(script);
        std::atomic<bool> finished{false};
        std::thread worker([&] {
            MvParserExecute(session.get());
            finished.store(true);
        });
        std::string console;
        while (console.find("started") == std::string::npos && !finished.load()) {
            console += drainConsole(session.get());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        MvParserSetInterruptedFlag(session.get(), 1);
        joinOrGiveUp(worker, finished, c.name);
        console += drainConsole(session.get());
        EXPECT_EQ(console.rfind("started\n", 0), 0u) << c.name << ": " << console;
        EXPECT_TRUE(endsWithCancellation(console)) << c.name << ": " << console;
    }
}
