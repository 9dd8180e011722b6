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
    std::fill(sums_.begin(), sums_.end(), Sum(0));
    const std::int32_t x0 = std::max(left_, 0);
    const std::int32_t x1 = std::min(right_, sourceWidth_ - matchWidth_ + 1);
    sourceRows_.clear();
    matchRows_.clear();
    for (std::int32_t r = firstRow; r < endRow; ++r) {
        sourceRows_.push_back(paddedSource_.row(r));
        matchRows_.push_back(matchRow(r - y));
    }
    if (x0 < x1) {
        interior_.resize(static_cast<std::size_t>(x1 - x0));
        MvFindByteSads(sourceRows_.data(), matchRows_.data(), endRow - firstRow, matchWidth_, x0,
                       x1, interior_.data());
        std::copy(interior_.begin(), interior_.end(), sums_.begin() + (x0 - left_));
    }
    for (std::int32_t x = left_; x < right_; ++x) {
        if (x >= x0 && x < x1)
            continue;
        Sum sum(0);
        for (std::size_t k = 0; k < sourceRows_.size(); ++k)
            sum += placementRowSum(sourceRows_[k], matchRows_[k], x);
        sums_[x - left_] = sum;
    }
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
