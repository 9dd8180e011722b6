// The scalar twins of the pixel kernels, and the preparation of number and
// colour operands. These loops state the pixel rules one lane at a time;
// the vectorised kernels must give the same pixels.
#include "image/MvPixelKernelRules.h"

#include <algorithm>
#include <cmath>

namespace MvPixelKernels {

namespace {

using namespace MvPixelRules;

template <class Pix>
typename Traits<Pix>::Lane* lanes(Pix* p) {
    return reinterpret_cast<typename Traits<Pix>::Lane*>(p);
}
template <class Pix>
const typename Traits<Pix>::Lane* lanes(const Pix* p) {
    return reinterpret_cast<const typename Traits<Pix>::Lane*>(p);
}

bool isAlpha(int lane, int alphaLane) { return lane == alphaLane; }

} // namespace

template <class Pix>
Operand<Pix> makeOperand(Op op, double red, double green, double blue) {
    // The operand is first a float colour pixel (alpha 1, red, green, blue).
    const float r = static_cast<float>(red), g = static_cast<float>(green);
    const float b = static_cast<float>(blue);
    Operand<Pix> operand{};
    if constexpr (std::is_same<Pix, bgPix>::value) {
        operand.lane[0] = byteOperand(op, MvPixel::floatLuminance(r, g, b));
    } else if constexpr (std::is_same<Pix, bcPix>::value) {
        operand.lane[0] = byteOperand(op, b);
        operand.lane[1] = byteOperand(op, g);
        operand.lane[2] = byteOperand(op, r);
        operand.lane[3] = byteIdentity(op);
    } else if constexpr (std::is_same<Pix, fgPix>::value) {
        operand.lane[0] = static_cast<float>(MvPixel::floatLuminance(r, g, b));
    } else {
        operand.lane[0] = floatIdentity(op);
        operand.lane[1] = r;
        operand.lane[2] = g;
        operand.lane[3] = b;
    }
    return operand;
}

template <class Pix>
bool dividesByZero(const Operand<Pix>& operand) {
    for (int lane = 0; lane < Traits<Pix>::kLanes; ++lane)
        if (lane != Traits<Pix>::kAlphaLane && operand.lane[lane] == 0)
            return true;
    return false;
}

template <class Pix>
void combineRowScalar(Op op, const Pix* a, const Pix* b, Pix* out, std::int32_t width) {
    const auto* x = lanes(a);
    const auto* y = lanes(b);
    auto* z = lanes(out);
    const int n = Traits<Pix>::kLanes;
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(width) * n; ++i)
        z[i] = isAlpha(static_cast<int>(i % n), Traits<Pix>::kAlphaLane) ? x[i]
                                                                          : combine(op, x[i], y[i]);
}

template <class Pix>
void operandRowScalar(Op op, const Pix* a, const Operand<Pix>& operand, Pix* out,
                      std::int32_t width) {
    const auto* x = lanes(a);
    auto* z = lanes(out);
    const int n = Traits<Pix>::kLanes;
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(width) * n; ++i)
        z[i] = withOperand(op, x[i], operand.lane[i % n]);
}

template <class To, class From>
void convertRowScalar(const From* in, To* out, std::int32_t width) {
    for (std::int32_t x = 0; x < width; ++x)
        out[x] = MvPixel::convert<To>(in[x]);
}

template <class Pix>
GreyTotals greyTotalsRowScalar(const Pix* row, std::int32_t width) {
    GreyTotals totals;
    totals.minimum = HUGE_VAL;
    totals.maximum = -HUGE_VAL;
    for (std::int32_t x = 0; x < width; ++x) {
        const double g = greyOf(row[x]);
        totals.sum += g;
        totals.minimum = std::min(totals.minimum, g);
        totals.maximum = std::max(totals.maximum, g);
    }
    return totals;
}

// Bytes: from the exact sums of g and g^2 (the vectorised twin forms the
// same integer sums in another order).
template <class Pix>
double greySquaredDeviationRowScalar(const Pix* row, std::int32_t width, double centre) {
    if constexpr (sizeof(typename Traits<Pix>::Lane) == 1) {
        std::uint64_t sum = 0, squares = 0;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint64_t g = static_cast<std::uint64_t>(greyOf(row[x]));
            sum += g;
            squares += g * g;
        }
        return squaredDeviationFromSums(sum, squares, width, centre);
    } else {
        double squares = 0.0;
        for (std::int32_t x = 0; x < width; ++x) {
            const double d = greyOf(row[x]) - centre;
            squares += d * d;
        }
        return squares;
    }
}

#define MV_INSTANTIATE_FOR_PIXEL(Pix)                                                           \
    template Operand<Pix> makeOperand<Pix>(Op, double, double, double);                         \
    template bool dividesByZero<Pix>(const Operand<Pix>&);                                      \
    template void combineRowScalar<Pix>(Op, const Pix*, const Pix*, Pix*, std::int32_t);        \
    template void operandRowScalar<Pix>(Op, const Pix*, const Operand<Pix>&, Pix*, std::int32_t); \
    template GreyTotals greyTotalsRowScalar<Pix>(const Pix*, std::int32_t);                     \
    template double greySquaredDeviationRowScalar<Pix>(const Pix*, std::int32_t, double);
MV_FOR_EACH_PIXEL(MV_INSTANTIATE_FOR_PIXEL)
#undef MV_INSTANTIATE_FOR_PIXEL

#define MV_INSTANTIATE_CONVERSION(To, From) \
    template void convertRowScalar<To, From>(const From*, To*, std::int32_t);
MV_FOR_EACH_CONVERSION(MV_INSTANTIATE_CONVERSION)
#undef MV_INSTANTIATE_CONVERSION

} // namespace MvPixelKernels
