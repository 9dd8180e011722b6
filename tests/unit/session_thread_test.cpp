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
