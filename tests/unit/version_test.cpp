// Version queries, MvError and the warning console.
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(Version, NumbersStringAndCompatibility) {
    int major = -1, minor = -1, build = -1;
    MvGetVersion(&major, &minor, &build);
    EXPECT_EQ(major, 3);
    EXPECT_EQ(minor, 0);
    EXPECT_EQ(build, 1);
    EXPECT_STREQ(MvGetVersionString(), "3.0a");
    EXPECT_EQ(MvIsCompatibleVersion(3), 1);
    for (int other : {0, 2, 4, -3, 30})
        EXPECT_EQ(MvIsCompatibleVersion(other), 0) << other;
}

TEST(Version, YieldReturnsWhileNothingAborted) { EXPECT_NO_THROW(MvYield()); }

TEST(ProcessErrors, MvErrorThrowsHeapExceptionWithText) {
    try {
        MvError("bad thing");
        FAIL() << "MvError returned";
    } catch (MvException* e) {
        EXPECT_EQ(e->getMessage(), "bad thing");
        delete e;
    }
}

std::string drainWarnings() {
    Mv_stringstream& console = MvGetWarningConsole();
    std::string text = console.str();
    console.str("");
    console.clear();
    MvReleaseWarningConsole();
    return text;
}

TEST(WarningConsole, AppendsWithoutLineEnds) {
    drainWarnings();
    MvWarning("first");
    MvWarning(" second\n");
    EXPECT_EQ(drainWarnings(), "first second\n");
    EXPECT_EQ(drainWarnings(), "");
}

TEST(WarningConsole, ConcurrentWritersLoseNothing) {
    drainWarnings();
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([] {
            for (int i = 0; i < 500; ++i)
                MvWarning("x");
        });
    std::string seen;
    for (int i = 0; i < 50; ++i)
        seen += drainWarnings();
    for (std::thread& w : writers)
        w.join();
    seen += drainWarnings();
    EXPECT_EQ(seen, std::string(2000, 'x'));
}

} // namespace
