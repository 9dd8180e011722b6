// The colour tables of the fractal pictures.
#include "image/MvColourTable.h"

#include <cmath>

namespace {

// The share of one primary at position v (turns, 0..1) of the wheel.
double primary(double v) {
    if (v < 1.0 / 6.0)
        return 6.0 * v;
    if (v < 0.5)
        return 1.0;
    if (v < 2.0 / 3.0)
        return 4.0 - 6.0 * v;
    return 0.0;
}

double turns(double h) { return h - std::floor(h); }

std::uint32_t channel(double share, double s) {
    const double v = (share * s + 1.0 - s) * 255.9;
    if (!(v > 0))
        return 0;
    return v >= 255.0 ? 255u : static_cast<std::uint32_t>(v);
}

} // namespace

std::uint32_t MvHueColour(double h, double s) {
    const std::uint32_t red = channel(primary(turns(h + 1.0 / 3.0)), s);
    const std::uint32_t green = channel(primary(turns(h)), s);
    const std::uint32_t blue = channel(primary(turns(h + 2.0 / 3.0)), s);
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

ColourTable::ColourTable(std::int32_t entries_, std::int32_t base_)
    : table(static_cast<std::size_t>(entries_)), entries(entries_), base(base_),
      limit(base_ + entries_) {}

ColourTable::~ColourTable() = default;

ColourTableCycle::ColourTableCycle(std::int32_t numberColours) : ColourTable(numberColours, 1) {
    for (std::int32_t i = 0; i < entries; ++i)
        table[i] = MvHueColour(static_cast<double>(i) / entries, 1.0);
}

std::uint32_t ColourTableCycle::colourOf(std::int32_t count) const {
    if (count < 0)
        return kInside;
    return table[static_cast<std::size_t>((count - 1) % entries)];
}

ColourTableSpiral::ColourTableSpiral(std::int32_t numberColours, double winding,
                                     std::int32_t base_)
    : ColourTable(static_cast<std::int32_t>(numberColours * winding), base_) {
    const double step = entries > 0 ? 1.0 / entries : 0.0;
    double saturation = 1.0 - step;
    for (std::int32_t i = 0; i < entries; ++i, saturation -= step)
        table[i] = MvHueColour(static_cast<double>(base + i - 1) / numberColours, saturation);
}

std::uint32_t ColourTableSpiral::colourOf(std::int32_t count) const {
    if (count < 0)
        return kInside;
    if (count >= limit || count < base)
        return 0x00FFFFFFu;
    return table[static_cast<std::size_t>(count - base)];
}

ColourTableLog::ColourTableLog(std::int32_t numberColours, double gradient, std::int32_t base_)
    : ColourTable(numberColours, base_) {
    const double k = 0.75 / (1.0 - std::exp(-(entries - 1) * gradient));
    for (std::int32_t i = 0; i < entries; ++i)
        table[i] = MvHueColour((1.0 - std::exp(-i * gradient)) * k, 1.0);
}

std::uint32_t ColourTableLog::colourOf(std::int32_t count) const {
    if (count < 0)
        return kInside;
    if (count >= limit)
        return table.back();
    return table[static_cast<std::size_t>(count < base ? 0 : count - base)];
}
