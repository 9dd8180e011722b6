// A variable node remembers the slot it last found and the epoch of the
// table it was found in. The frames of a recursive function are tables of
// their own that run the same nodes, so a node remembered in one frame is
// read again in another; that is safe only while no two tables ever show
// the same epoch.
//
// This binary runs with MORVANE_TEST_VARIABLE_EPOCHS set (see CMakeLists),
// which shortens the period after which the engine's epochs would come
// round, so that the scripts below pass through it many times over.
#include "script_runner.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each call of f(1) runs one frame under another. Both frames read v with
// the same node; the outer frame loses one more variable per call than the
// inner one, so its epochs run past every epoch the inner frame showed.
std::string recursionReading(const std::string& readV, int calls) {
    return "define f(n) begin\n"
           "  set v to n + 1;\n"
           "  set l to {v};\n"
           "  if n > 0 then begin\n"
           "    set r to f(n - 1);\n"
           "  end\n"
           "  set w to 0;\n"
           "  delete w;\n"
           "  return " + readV + ";\n"
           "end\n"
           "set total to 0;\n"
           "repeat " + std::to_string(calls) + " times begin\n"
           "  set total to total + f(1);\n"
           "end\n"
           "print total;\n";
}

TEST(VariableEpochs, FramesOfOneFunctionNeverShareASlot) {
    const int calls = 3000;
    // v is 2 in the outer frame, 1 in the inner one.
    const std::string expected = std::to_string(2 * calls) + "\n";
    for (const char* readV : {"v", "v * 1", "l[0]", "v + l[0] - v"}) {
        RunResult r = runScript(recursionReading(readV, calls));
        EXPECT_TRUE(r.records.empty()) << readV << ": " << (r.records.empty() ? "" : r.records[0].message);
        EXPECT_EQ(r.console, expected) << readV;
    }
}

// A session run again makes a new global scope: what the top-level nodes
// remember of the previous run's variables must not be found in the new one
// (whose table may even sit where the old one was). Each session loses a
// different number of variables per run.
TEST(VariableEpochs, RunsOfOneSessionNeverShareASlot) {
    for (int losses = 1; losses <= 300; losses += 7) {
        const std::string script = "set x to 5;\n"
                                   "repeat " + std::to_string(losses) + " times begin\n"
                                   "  set t to x;\n"
                                   "  delete t;\n"
                                   "end\n"
                                   "print x;\n";
        SessionPtr session = newSession(script);
        for (int run = 0; run < 3; ++run) {
            MvParserExecute(session.get());
            RunResult r = collect(session.get());
            ASSERT_TRUE(r.records.empty()) << losses << " run " << run << ": " << r.records[0].message;
            ASSERT_EQ(r.console, "5\n") << losses << " run " << run;
        }
    }
}

// Many sessions, each with tables of its own, one after another.
TEST(VariableEpochs, ManySessionsInTurn) {
    for (int i = 0; i < 200; ++i) {
        RunResult r = runScript(recursionReading("v", 5));
        ASSERT_TRUE(r.records.empty()) << "session " << i;
        ASSERT_EQ(r.console, "10\n") << "session " << i;
    }
}

} // namespace
