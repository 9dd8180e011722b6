#include "media/MvJpegEncoder.h"

#include <turbojpeg.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int kBest = 1024;

struct CompressorFree {
    void operator()(void* handle) const { tjDestroy(handle); }
};
struct JpegBufferFree {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};
using CompressorPtr = std::unique_ptr<void, CompressorFree>;
using JpegBufferPtr = std::unique_ptr<unsigned char, JpegBufferFree>;

// libjpeg's scale runs from 1 (worst) to 100; 0 .. 1024 maps onto it
// linearly, rounded, so that 512 (a frame's default) is libjpeg's 50.
int libjpegQuality(int quality) {
    const int scaled = (std::max(0, std::min(kBest, quality)) * 100 + kBest / 2) / kBest;
    return std::max(1, scaled);
}

int subsamplingFor(const MvEncoderInput& input, int quality) {
    if (input.grey)
        return TJSAMP_GRAY;
    return quality >= kBest ? TJSAMP_444 : TJSAMP_420;
}

} // namespace

std::string MvEncodeJpeg(const MvEncoderInput& input, int quality, std::string& bytes) {
    CompressorPtr compressor(tjInitCompress());
    if (!compressor)
        return "the JPEG encoder could not be started";
    unsigned char* encoded = nullptr;
    unsigned long size = 0;
    // The encoder grows its own buffer as the file grows; a worst-case
    // buffer would be several times the picture.
    const int status = tjCompress2(compressor.get(), input.rows, input.width,
                                   static_cast<int>(input.stride), input.height,
                                   input.grey ? TJPF_GRAY : TJPF_BGRA, &encoded, &size,
                                   subsamplingFor(input, quality), libjpegQuality(quality), 0);
    JpegBufferPtr owned(encoded);
    if (status != 0)
        return tjGetErrorStr2(compressor.get());
    bytes.assign(reinterpret_cast<const char*>(encoded), size);
    return std::string();
}
