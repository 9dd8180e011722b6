// A host reading a session from its own thread while the syntax check runs
// on another: flags, console and error list through their get/release pairs.
// Run under the thread sanitizer (scripts/test.sh --tsan) to check the locks.
#include "morvane/MvParser.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

std::string scriptWithErrors(int blocks) {
    std::string text = "set x to 0;\n";
    for (int i = 0; i < blocks; ++i) {
        text += "add 1 to x;\n";
        text += "begin set y to ; end\n";   // a syntax error inside a block
        text += "print x;\n";
    }
    return text;
}

TEST(SessionThreads, HostPollsWhileCheckRuns) {
    const int blocks = 2000;
    std::string script = scriptWithErrors(blocks);
    MvParser* session = MvParserCreate(script.c_str(), static_cast<long>(script.size()), nullptr);
    ASSERT_NE(session, nullptr);

    std::thread worker([session] { MvParserCheckSyntax(session); });

    std::string console;
    int lastCount = 0;
    bool countNeverShrank = true;
    while (true) {
        bool done = MvParserGetDoneFlag(session) == 1;
        int count = MvParserGetParseErrorCount(session);
        for (int i = lastCount; i < count; ++i) {
            ParseError* e = MvParserGetParseError(session, i);
            if (!e || e->message.empty())
                countNeverShrank = false;
        }
        if (count < lastCount)
            countNeverShrank = false;
        lastCount = count;
        MvParserReleaseParseErrors(session);

        Mv_stringstream* stream = MvParserGetConsoleStream(session);
        console += stream->str();
        stream->str("");
        MvParserReleaseConsoleStream(session);

        auto* spans = MvParserGetSyntaxBlockList(session);
        (void)spans->size();
        MvParserReleaseSyntaxBlockList(session);

        MvParserGetErrorFlag(session);
        MvParserGetDirtyFlag(session);
        if (done)
            break;
        std::this_thread::yield();
    }
    worker.join();

    EXPECT_TRUE(countNeverShrank);
    EXPECT_EQ(MvParserGetDoneFlag(session), 1);
    EXPECT_EQ(MvParserGetErrorFlag(session), 1);
    EXPECT_GE(MvParserGetParseErrorCount(session), blocks);
    MvParserReleaseParseErrors(session);
    MvParserDelete(session);
}

} // namespace

namespace {

// Two sessions run at once, each on its own thread, with loops, number
// arithmetic and calls of their own functions (of the same name).
TEST(SessionThreads, TwoRunsAtOnceKeepToThemselves) {
    auto script = [](int base) {
        return "define step(a, b) begin return a + b; end\n"
               "set x to " + std::to_string(base) + ";\n"
               "repeat 3000 times increment i begin\n"
               "  set x to step(x, 1);\n"
               "  if x > 1000000 then set x to 0;\n"
               "end\n"
               "print x;\n";
    };
    auto run = [](const std::string& text, std::string* console) {
        MvParser* session = MvParserCreate(text.c_str(), static_cast<long>(text.size()), nullptr);
        MvParserExecute(session);
        Mv_stringstream* stream = MvParserGetConsoleStream(session);
        *console = stream->str();
        MvParserReleaseConsoleStream(session);
        MvParserDelete(session);
    };
    std::string first, second;
    const std::string firstScript = script(0), secondScript = script(500);
    std::thread a(run, std::cref(firstScript), &first);
    std::thread b(run, std::cref(secondScript), &second);
    a.join();
    b.join();
    EXPECT_EQ(first, "3000\n");
    EXPECT_EQ(second, "3500\n");
}

} // namespace
