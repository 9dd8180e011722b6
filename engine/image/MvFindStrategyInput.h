// The input strategies of a template search: each holds a padded copy of
// the match and adds up, for one vertical placement at a time, the
// differences of every horizontal placement of the window.
//
//   NewFindStrategyInputFrame<Pix>                the operations the driver calls
//   NewFindStrategyInputFrameGrey<Pix>            the padded match, the sums
//   NewFindStrategyInputFrameGreyGeneric<Pix>     core "generic": one placement at a time
//   NewFindStrategyInputFrameGreyHiRegs<Pix>      core "RISC": four placements in registers
//   NewFindStrategyInputFrameGreySimd<Pix>        core "SIMD": vector sums of absolute
//                                                 differences for byte grey pixels
//
// Every core gives the same sums. A placement x counts the match columns i
// with 0 <= x + i < source width; the rows are chosen by the driver.
#ifndef MORVANE_ENGINE_MVFINDSTRATEGYINPUT_H
#define MORVANE_ENGINE_MVFINDSTRATEGYINPUT_H

#include "image/MvFindDifference.h"
#include "image/MvPixelArray.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

template <class Pix>
class NewFindStrategyInputFrame {
public:
    typedef typename MvFindSum<Pix>::type Sum;

    virtual ~NewFindStrategyInputFrame() = default;

    virtual double pixelScale() const = 0;
    // Keeps a padded copy of the top-left matchWidth x matchHeight block of
    // match, and the source to search.
    virtual void prepare(const MvPixelArray<Pix>& match, std::int32_t matchWidth,
                         std::int32_t matchHeight, const MvPixelArray<Pix>& source,
                         std::int32_t sourceWidth, std::int32_t sourceHeight) = 0;
    virtual void release() = 0;
    // Adds the differences of one source row and one match row to the sum
    // of every horizontal placement.
    virtual void accumulateRowPair(const Pix* sourceRow, const Pix* matchRow) = 0;
    virtual void startVertical(std::int32_t y) = 0;
    virtual void advanceVertical() = 0;
    // Placements x in [left, right); the sums start at 0.
    virtual void setHorizontalRange(std::int32_t left, std::int32_t right) = 0;
    // How many placements the core works on at once.
    virtual std::int32_t blockWidth() const = 0;
    // The sums of vertical placement y over the source rows [firstRow,
    // endRow), each placement's sum at index x - left.
    virtual void accumulatePlacementRow(std::int32_t y, std::int32_t firstRow,
                                        std::int32_t endRow) = 0;
    virtual const Sum* sums() const = 0;
};

template <class Pix>
class NewFindStrategyInputFrameGrey : public NewFindStrategyInputFrame<Pix> {
public:
    typedef typename MvFindSum<Pix>::type Sum;

    // Zero pixels before each row of the copy and at least this many after it.
    static constexpr std::int32_t kPadding = 16;

    double pixelScale() const override { return MvFindPixelScale<Pix>(); }

    void prepare(const MvPixelArray<Pix>& match, std::int32_t matchWidth,
                 std::int32_t matchHeight, const MvPixelArray<Pix>& source,
                 std::int32_t sourceWidth, std::int32_t sourceHeight) override {
        matchWidth_ = matchWidth;
        matchHeight_ = matchHeight;
        source_ = &source;
        sourceWidth_ = sourceWidth;
        sourceHeight_ = sourceHeight;
        const std::int32_t padded = kPadding + (matchWidth + 15) / 16 * 16 + kPadding;
        // One zero row more than needed: a core may read a whole vector
        // past the end of the last row.
        padded_ = MvPixelArray<Pix>(padded, matchHeight + 1);
        for (std::int32_t y = 0; y < matchHeight; ++y)
            std::copy(match.row(y), match.row(y) + matchWidth, padded_.row(y) + kPadding);
    }

    void release() override {
        padded_ = MvPixelArray<Pix>();
        source_ = nullptr;
    }

    void startVertical(std::int32_t) override {}
    void advanceVertical() override {}

    void setHorizontalRange(std::int32_t left, std::int32_t right) override {
        left_ = left;
        right_ = right;
        sums_.assign(static_cast<std::size_t>(std::max(right - left, 0)), Sum(0));
    }

    void accumulatePlacementRow(std::int32_t y, std::int32_t firstRow,
                                std::int32_t endRow) override {
        std::fill(sums_.begin(), sums_.end(), Sum(0));
        this->startVertical(y);
        for (std::int32_t r = firstRow; r < endRow; ++r)
            this->accumulateRowPair(source_->row(r), matchRow(r - y));
        this->advanceVertical();
    }

    const Sum* sums() const override { return sums_.data(); }

protected:
    const Pix* matchRow(std::int32_t y) const { return padded_.row(y) + kPadding; }

    // The difference sum of placement x over one row pair, the match
    // columns clipped to the source.
    Sum placementRowSum(const Pix* sourceRow, const Pix* matchRow, std::int32_t x) const {
        const std::int32_t first = std::max(0, -x);
        const std::int32_t end = std::min(matchWidth_, sourceWidth_ - x);
        Sum sum(0);
        for (std::int32_t i = first; i < end; ++i)
            sum += MvFindDifference(matchRow[i], sourceRow[x + i]);
        return sum;
    }

    // Whether placement x lies wholly inside the source columns.
    bool inside(std::int32_t x) const { return x >= 0 && x + matchWidth_ <= sourceWidth_; }

    MvPixelArray<Pix> padded_;
    const MvPixelArray<Pix>* source_ = nullptr;
    std::int32_t matchWidth_ = 0;
    std::int32_t matchHeight_ = 0;
    std::int32_t sourceWidth_ = 0;
    std::int32_t sourceHeight_ = 0;
    std::int32_t left_ = 0;
    std::int32_t right_ = 0;
    std::vector<Sum> sums_;
};

template <class Pix>
class NewFindStrategyInputFrameGreyGeneric : public NewFindStrategyInputFrameGrey<Pix> {
public:
    std::int32_t blockWidth() const override { return 1; }

    void accumulateRowPair(const Pix* sourceRow, const Pix* matchRow) override {
        for (std::int32_t x = this->left_; x < this->right_; ++x)
            this->sums_[x - this->left_] += this->placementRowSum(sourceRow, matchRow, x);
    }
};

template <class Pix>
class NewFindStrategyInputFrameGreyHiRegs : public NewFindStrategyInputFrameGrey<Pix> {
public:
    typedef typename MvFindSum<Pix>::type Sum;
    static constexpr std::int32_t kBlock = 4;

    std::int32_t blockWidth() const override { return kBlock; }

    // Four neighbouring placements share each match pixel while their sums
    // stay in registers; placements that stick out of the source go one at
    // a time.
    void accumulateRowPair(const Pix* sourceRow, const Pix* matchRow) override {
        const std::int32_t width = this->matchWidth_;
        Sum* sums = this->sums_.data();   // placement x at x - left
        const std::int32_t left = this->left_;
        std::int32_t x = left;
        while (x < this->right_) {
            if (x + kBlock <= this->right_ && this->inside(x) && this->inside(x + kBlock - 1)) {
                Sum s0(0), s1(0), s2(0), s3(0);
                const Pix* from = sourceRow + x;
                for (std::int32_t i = 0; i < width; ++i) {
                    const Pix m = matchRow[i];
                    s0 += MvFindDifference(m, from[i]);
                    s1 += MvFindDifference(m, from[i + 1]);
                    s2 += MvFindDifference(m, from[i + 2]);
                    s3 += MvFindDifference(m, from[i + 3]);
                }
                sums[x - left] += s0;
                sums[x - left + 1] += s1;
                sums[x - left + 2] += s2;
                sums[x - left + 3] += s3;
                x += kBlock;
            } else {
                sums[x - left] += this->placementRowSum(sourceRow, matchRow, x);
                ++x;
            }
        }
    }
};

// The vector sums of absolute differences of byte rows (MvFindSimd.cpp):
// out[x - x0] = the sum over k < rows of sum over i < width of
// |match row k [i] - source row k [x + i]| for x in [x0, x1), row k of each
// at k strides from its start. Rows must be readable for a whole vector
// (and 3 bytes) past x1 + width and width; what lies there is not counted.
void MvFindByteSads(const std::uint8_t* source, std::size_t sourceStride,
                    const std::uint8_t* match, std::size_t matchStride, std::int32_t rows,
                    std::int32_t width, std::int32_t x0, std::int32_t x1, std::uint64_t* out);

// The name of the vector instructions the byte sums run on.
const char* MvFindSimdTarget();

template <class Pix>
class NewFindStrategyInputFrameGreySimd : public NewFindStrategyInputFrameGreyHiRegs<Pix> {};

// Byte grey pixels: each placement takes all its rows in vector registers
// before its sum is stored. The source is copied with zero padding so that
// whole vectors can be read past the end of each row.
template <>
class NewFindStrategyInputFrameGreySimd<bgPix> : public NewFindStrategyInputFrameGreyHiRegs<bgPix> {
public:
    static constexpr std::int32_t kSourcePadding = 128;

    std::int32_t blockWidth() const override { return 16; }

    void prepare(const MvPixelArray<bgPix>& match, std::int32_t matchWidth,
                 std::int32_t matchHeight, const MvPixelArray<bgPix>& source,
                 std::int32_t sourceWidth, std::int32_t sourceHeight) override;
    void release() override;
    void accumulatePlacementRow(std::int32_t y, std::int32_t firstRow,
                                std::int32_t endRow) override;

private:
    MvPixelArray<bgPix> paddedSource_;
};

// The input strategy of the core named core ("generic", "RISC", "SIMD",
// "fastest"); raises for "Altivec" and for unknown names.
template <class Pix>
std::unique_ptr<NewFindStrategyInputFrame<Pix>> MvMakeFindInput(const std::string& core);

// Whether the processor has an AltiVec unit (never on the platforms built for).
bool MvIsAltiVecAvailable();

#endif
