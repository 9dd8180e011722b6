// Times the filters at 1920 x 1080 for filters_vs_opencv.sh: 3 x 3 and 9 x 9
// float convolutions of an image_mono, 3 x 3 and 5 x 5 medians (rank N / 2,
// full mask) of a frame_mono, and a Mandelbrot picture at depth 256 (traced,
// then coloured). Prints one line per operation: its name and the median of
// the run times in milliseconds. With a folder argument it also writes each
// result there as raw data (floats, bytes, or 32-bit escape counts) for the
// script to check against its peers.
#include "image/MvColourTable.h"
#include "image/MvFractal.h"
#include "morvane/MvShared.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kWidth = 1920;
constexpr std::int32_t kHeight = 1080;

struct ValueDeleter {
    void operator()(MvValue* v) const { delete v; }
};
using OwnedValue = std::unique_ptr<MvValue, ValueDeleter>;

template <class F>
double medianMilliseconds(F run, int repeats) {
    run();
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The patterns the script side builds the same way.
OwnedValue sourceImage() {
    OwnedValue image(MvImageMonoCreate(kWidth, kHeight));
    for (std::int32_t y = 0; y < kHeight; ++y) {
        float* row = reinterpret_cast<float*>(MvFrameMonoGetLine(image.get(), y));
        for (std::int32_t x = 0; x < kWidth; ++x)
            row[x] = static_cast<float>((7 * x + 13 * y) % 256) / 255.0f;
    }
    return image;
}

OwnedValue kernel(int size) {
    OwnedValue k(MvImageMonoCreate(size, size));
    for (int j = 0; j < size; ++j) {
        float* row = reinterpret_cast<float*>(MvFrameMonoGetLine(k.get(), j));
        for (int c = 0; c < size; ++c)
            row[c] = static_cast<float>(((c + 1) * (j + 2)) % 7 - 3) / 20.0f;
    }
    return k;
}

OwnedValue sourceFrame() {
    OwnedValue frame(MvFrameMonoCreate(kWidth, kHeight));
    for (std::int32_t y = 0; y < kHeight; ++y) {
        unsigned char* row = MvFrameMonoGetLine(frame.get(), y);
        for (std::int32_t x = 0; x < kWidth; ++x)
            row[x] = static_cast<unsigned char>((7 * x + 13 * y + (x * y) % 11) % 256);
    }
    return frame;
}

OwnedValue fullMask(int size) {
    OwnedValue mask(MvFrameMonoCreate(size, size));
    for (int j = 0; j < size; ++j)
        std::memset(MvFrameMonoGetLine(mask.get(), j), 1, static_cast<std::size_t>(size));
    return mask;
}

void writeRows(const std::string& folder, const char* name, MvValue* image, std::size_t bytes) {
    if (folder.empty())
        return;
    std::FILE* out = std::fopen((folder + "/" + name).c_str(), "wb");
    if (!out)
        return;
    for (std::int32_t y = 0; y < MvImageGetHeight(image); ++y)
        std::fwrite(MvFrameMonoGetLine(image, y), 1, bytes * kWidth, out);
    std::fclose(out);
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "";
    const OwnedValue image = sourceImage();
    for (int size : {3, 9}) {
        const OwnedValue k = kernel(size);
        OwnedValue result;
        const double ms = medianMilliseconds(
            [&] { result.reset(MvImageConvolute(image.get(), k.get())); }, 15);
        std::printf("convolve_%d %.4f\n", size, ms);
        writeRows(folder, ("convolve_" + std::to_string(size) + ".raw").c_str(), result.get(), 4);
    }
    const OwnedValue frame = sourceFrame();
    for (int size : {3, 5}) {
        const OwnedValue mask = fullMask(size);
        OwnedValue result;
        const double ms = medianMilliseconds(
            [&] { result.reset(MvImageMedianFilter(frame.get(), mask.get(), size * size / 2)); }, 15);
        std::printf("median_%d %.4f\n", size, ms);
        writeRows(folder, ("median_" + std::to_string(size) + ".raw").c_str(), result.get(), 1);
    }
    MvMandelbrotView view;
    view.width = kWidth;
    view.height = kHeight;
    view.depth = 256;
    MvFractalCounts counts;
    const double ms = medianMilliseconds([&] {
        counts = MvTraceMandelbrot(view);
        const ColourTableLog table(200, 0.02, counts.smallest);
        MvPixelArray<bcPix> picture = MvColourFractal(counts, table);
    }, 9);
    std::printf("mandelbrot %.4f\n", ms);
    if (!folder.empty()) {
        if (std::FILE* out = std::fopen((folder + "/mandelbrot.raw").c_str(), "wb")) {
            std::fwrite(counts.counts.data(), sizeof(std::int32_t), counts.counts.size(), out);
            std::fclose(out);
        }
    }
    return 0;
}
