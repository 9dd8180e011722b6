// MvSetAbortEverything ends a long convolution running on another thread:
// the filter yields before every output row. The convolution here would
// take hours to finish (a million taps per pixel, two thousand rows), so a
// filter that did not yield would keep the test from ending.
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

struct ValueDeleter {
    void operator()(MvValue* v) const { delete v; }
};
using OwnedValue = std::unique_ptr<MvValue, ValueDeleter>;

TEST(AbortEverything, EndsALongConvolutionOnAnotherThread) {
    OwnedValue source(MvImageMonoCreate(1000, 2000));
    OwnedValue kernel(MvImageMonoCreate(1, 1000001));
    std::atomic<bool> started{false};
    std::string outcome = "not run";
    std::thread filter([&] {
        started = true;
        try {
            OwnedValue result(MvImageConvolute(source.get(), kernel.get()));
            outcome = "finished";
        } catch (MvInterruptException* interrupt) {
            outcome = interrupt->getMessage();
            delete interrupt;
        }
    });
    while (!started)
        std::this_thread::yield();
    // Let the filter get into its rows (a stop set earlier ends it too).
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    MvSetAbortEverything();
    filter.join();
    EXPECT_EQ(outcome, "Interrupted");
}

} // namespace
