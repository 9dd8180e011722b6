// A number: one IEEE double.
#ifndef MORVANE_ENGINE_MVNUMBERVALUE_H
#define MORVANE_ENGINE_MVNUMBERVALUE_H

#include "MvSmallObjectCache.h"
#include "morvane/MvValue.h"

#include <iosfwd>

class MV_EXPORT MvNumberValue : public MvValue {
    using Cache = MvSmallObjectCache<24>;

public:
    explicit MvNumberValue(double v = 0.0) : value(v) {}
    // Reads the 8-byte little-endian body of a value file.
    explicit MvNumberValue(std::istream& in);

    // Scripts make and drop these at every step: freed blocks are reused.
    static void* operator new(std::size_t size) { return Cache::allocate(size); }
    static void operator delete(void* block, std::size_t size) noexcept {
        Cache::release(block, size);
    }

    MvValue* Clone() override;
    MvTypeEnum GetType() override;
    void Coerce(MvValueHolder& result, MvTypeEnum target) override;
    void Write(std::ostream& out) override;
    MvValue* Negate() override;
    MvValue* Sin() override;
    MvValue* Cos() override;
    MvValue* Tan() override;
    MvValue* Asin() override;
    MvValue* Acos() override;
    MvValue* Atan() override;
    MvValue* Sqrt() override;
    MvValue* Exp() override;
    MvValue* Log() override;
    MvValue* Ln() override;
    MvValue* Round() override;
    MvValue* Floor() override;
    MvValue* Ceil() override;
    MvValue* Abs() override;
    MvValue* Difference(MvValue* other, double threshold, bool useThreshold) override;
    MvValue* Pow(MvValue* exponent) override;
    void Add(MvValueHolder& result, MvValueHolder& operand) override;
    void Subtract(MvValueHolder& result, MvValueHolder& operand) override;
    void Multiply(MvValueHolder& result, MvValueHolder& operand) override;
    void Divide(MvValueHolder& result, MvValueHolder& operand) override;
    bool IsEqual(MvValue* other) override;
    bool IsLess(MvValue* other) override;
    bool IsLessOrEqual(MvValue* other) override;
    bool IsGreater(MvValue* other) override;
    bool IsGreaterOrEqual(MvValue* other) override;
    bool IsNotEqual(MvValue* other) override;
    std::string GetText() override;
    double GetNumber() override;

    // The text of a number as a script prints it (%g, 6 significant digits).
    static std::string format(double v);
    // What round does to a number.
    static double roundHalfUp(double v);

    double value;
};

// The block cache above is sized for this layout.
static_assert(sizeof(MvNumberValue) == 24, "update the cache size");

#endif
