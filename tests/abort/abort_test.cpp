// Once the process-wide abort flag is set, every MvYield throws, for good.
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

std::string yieldMessage() {
    try {
        MvYield();
    } catch (MvInterruptException* interrupt) {
        std::string text = interrupt->getMessage();
        delete interrupt;
        return text;
    }
    return "returned";
}

TEST(AbortEverything, YieldReturnsUntilAbortThenAlwaysThrows) {
    EXPECT_EQ(yieldMessage(), "returned");
    MvSetAbortEverything();
    EXPECT_EQ(yieldMessage(), "Interrupted");
    EXPECT_EQ(yieldMessage(), "Interrupted");
    std::string fromOtherThread;
    std::thread other([&] { fromOtherThread = yieldMessage(); });
    other.join();
    EXPECT_EQ(fromOtherThread, "Interrupted");
    MvSetAbortEverything();
    EXPECT_EQ(yieldMessage(), "Interrupted");
}

} // namespace
