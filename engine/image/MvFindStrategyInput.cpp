// Choosing the input strategy of a template search by the core's name, and
// the byte grey vector core's bookkeeping around its vector loop.
#include "image/MvFindStrategyInput.h"

#include "morvane/MvException.h"

#include <cstring>

bool MvIsAltiVecAvailable() { return false; }

void NewFindStrategyInputFrameGreySimd<bgPix>::prepare(const MvPixelArray<bgPix>& match,
                                                        std::int32_t matchWidth,
                                                        std::int32_t matchHeight,
                                                        const MvPixelArray<bgPix>& source,
                                                        std::int32_t sourceWidth,
                                                        std::int32_t sourceHeight) {
    NewFindStrategyInputFrameGreyHiRegs<bgPix>::prepare(match, matchWidth, matchHeight, source,
                                                        sourceWidth, sourceHeight);
    paddedSource_ = MvPixelArray<bgPix>(sourceWidth + kSourcePadding, sourceHeight + 1);
    for (std::int32_t y = 0; y < sourceHeight; ++y)
        std::memcpy(paddedSource_.row(y), source.row(y), static_cast<std::size_t>(sourceWidth));
}

void NewFindStrategyInputFrameGreySimd<bgPix>::release() {
    NewFindStrategyInputFrameGreyHiRegs<bgPix>::release();
    paddedSource_ = MvPixelArray<bgPix>();
}

// The placements inside the source columns go through the vector loop;
// those sticking out on either side keep the row-pair sums.
void NewFindStrategyInputFrameGreySimd<bgPix>::accumulatePlacementRow(std::int32_t y,
                                                                       std::int32_t firstRow,
                                                                       std::int32_t endRow) {
    const std::int32_t x0 = std::min(std::max(left_, 0), right_);
    const std::int32_t x1 = std::max(std::min(right_, sourceWidth_ - matchWidth_ + 1), x0);
    if (x0 < x1)
        MvFindByteSads(paddedSource_.row(firstRow), paddedSource_.stride(),
                       matchRow(firstRow - y), padded_.stride(), endRow - firstRow,
                       matchWidth_, x0, x1, sums_.data() + (x0 - left_));
    const auto edge = [&](std::int32_t x) {
        Sum sum(0);
        for (std::int32_t r = firstRow; r < endRow; ++r)
            sum += placementRowSum(paddedSource_.row(r), matchRow(r - y), x);
        sums_[x - left_] = sum;
    };
    for (std::int32_t x = left_; x < x0; ++x)
        edge(x);
    for (std::int32_t x = x1; x < right_; ++x)
        edge(x);
}

template <class Pix>
std::unique_ptr<NewFindStrategyInputFrame<Pix>> MvMakeFindInput(const std::string& core) {
    if (core == "generic")
        return std::make_unique<NewFindStrategyInputFrameGreyGeneric<Pix>>();
    if (core == "RISC")
        return std::make_unique<NewFindStrategyInputFrameGreyHiRegs<Pix>>();
    if (core == "SIMD" || core == "fastest")
        return std::make_unique<NewFindStrategyInputFrameGreySimd<Pix>>();
    if (core == "Altivec") {
        if (!MvIsAltiVecAvailable())
            MvRaise("Altivec not supported on this machine");
        if (sizeof(Pix) == 1)
            MvRaise("Altivec not supported with this pixel size");
    }
    MvRaise("Unknown core specification in Cross correlation.");
    return nullptr;
}

template std::unique_ptr<NewFindStrategyInputFrame<bgPix>> MvMakeFindInput<bgPix>(const std::string&);
template std::unique_ptr<NewFindStrategyInputFrame<bcPix>> MvMakeFindInput<bcPix>(const std::string&);
template std::unique_ptr<NewFindStrategyInputFrame<fgPix>> MvMakeFindInput<fgPix>(const std::string&);
template std::unique_ptr<NewFindStrategyInputFrame<fcPix>> MvMakeFindInput<fcPix>(const std::string&);
