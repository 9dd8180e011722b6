// Times the pixel kernels at 1920 x 1080 for pixel_vs_opencv.sh: frame +
// frame, frame x number and image / image, each into a separate result of
// the same size. Prints one line per operation: its name and the median of
// the run times in milliseconds.
#include "image/MvPixelOps.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr std::int32_t kWidth = 1920;
constexpr std::int32_t kHeight = 1080;

template <class F>
double medianMilliseconds(F run) {
    run();   // warm the caches and the dispatch table
    std::vector<double> times;
    for (int i = 0; i < 41; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The same patterns as the OpenCV side builds: (x + 3 y + channel) mod 256.
MvPixelArray<bcPix> frame(int shift) {
    MvPixelArray<bcPix> a(kWidth, kHeight);
    for (std::int32_t y = 0; y < kHeight; ++y)
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const int v = x + 3 * y + shift;
            a.at(x, y) = bcPix{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v + 1),
                               static_cast<std::uint8_t>(v + 2), 255};
        }
    return a;
}

MvPixelArray<fcPix> image(float offset) {
    MvPixelArray<fcPix> a(kWidth, kHeight);
    for (std::int32_t y = 0; y < kHeight; ++y)
        for (std::int32_t x = 0; x < kWidth; ++x) {
            const float v = static_cast<float>((x + 3 * y) % 256) / 255.0f + offset;
            a.at(x, y) = fcPix{1.0f, v, v + 0.25f, v + 0.5f};
        }
    return a;
}

} // namespace

int main() {
    using MvPixelKernels::Op;
    const MvPixelArray<bcPix> a = frame(0), b = frame(7);
    MvPixelArray<bcPix> frameResult(kWidth, kHeight);
    std::printf("frame_plus_frame %.4f\n", medianMilliseconds([&] {
                    MvCombineImages(Op::kAdd, a, b, frameResult);
                }));

    const auto half = MvPixelKernels::makeOperand<bcPix>(Op::kMultiply, 0.5, 0.5, 0.5);
    std::printf("frame_times_number %.4f\n", medianMilliseconds([&] {
                    MvCombineOperand(Op::kMultiply, a, half, frameResult);
                }));

    const MvPixelArray<fcPix> p = image(0.0f), q = image(0.125f);
    MvPixelArray<fcPix> imageResult(kWidth, kHeight);
    std::printf("image_over_image %.4f\n", medianMilliseconds([&] {
                    MvCombineImages(Op::kDivide, p, q, imageResult);
                }));
    return 0;
}
