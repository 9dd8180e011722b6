// The colour tables of the fractal pictures: escape counts to colours.
//
// Each table holds its colours (32-bit 0xAARRGGBB), the number of entries,
// the base count and the limit (base + entries). The count -1 stands for
// the inside of the set and is always opaque black.
#ifndef MORVANE_ENGINE_MVCOLOURTABLE_H
#define MORVANE_ENGINE_MVCOLOURTABLE_H

#include <cstdint>
#include <vector>

// The hue wheel: h in turns (any real), s the saturation 0..1; opaque.
std::uint32_t MvHueColour(double h, double s);

class ColourTable {
public:
    static constexpr std::uint32_t kInside = 0xFF000000u;

    ColourTable(std::int32_t entries, std::int32_t base);
    virtual std::uint32_t colourOf(std::int32_t count) const = 0;
    virtual ~ColourTable();

protected:
    std::vector<std::uint32_t> table;
    std::int32_t entries;
    std::int32_t base;
    std::int32_t limit;
};

// "cycle": entry i = hue(i / N, 1); count n takes entry (n - 1) mod N.
class ColourTableCycle : public ColourTable {
public:
    explicit ColourTableCycle(std::int32_t numberColours);
    std::uint32_t colourOf(std::int32_t count) const override;
};

// "fade": trunc(N x winding) entries from the smallest count, turning round
// the wheel winding times while the saturation falls; counts past the table
// are transparent white.
class ColourTableSpiral : public ColourTable {
public:
    ColourTableSpiral(std::int32_t numberColours, double winding, std::int32_t base);
    std::uint32_t colourOf(std::int32_t count) const override;
};

// "log" and "fixedlog": N entries from base along a logarithmic ramp of
// three quarters of the wheel; counts past the table take the last entry.
class ColourTableLog : public ColourTable {
public:
    ColourTableLog(std::int32_t numberColours, double gradient, std::int32_t base);
    std::uint32_t colourOf(std::int32_t count) const override;
};

#endif
