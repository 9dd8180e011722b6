// A colour: three double channels. Arithmetic works channel by channel with
// a number, a three-element vector or another colour; the order comparisons
// compare intensities.
#ifndef MORVANE_ENGINE_MVCOLORVALUE_H
#define MORVANE_ENGINE_MVCOLORVALUE_H

#include "morvane/MvColor.h"
#include "morvane/MvValue.h"

#include <iosfwd>
#include <string>

class MV_EXPORT MvColorValue : public MvValue {
public:
    MvColorValue() = default;
    explicit MvColorValue(const MvColor& c) : color(c) {}
    // Reads a value-file body: red, green and blue as doubles.
    explicit MvColorValue(std::istream& in);

    MvValue* Clone() override;
    MvTypeEnum GetType() override;
    void Coerce(MvValueHolder& result, MvTypeEnum target) override;
    void Write(std::ostream& out) override;
    MvValue* GetProperty(int propertyId) override;
    int GetPropertyId(const char* name) override;
    MvValue* Negate() override;
    MvValue* Difference(MvValue* other, double threshold, bool useThreshold) override;
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
    MvColor GetColor() override;

    // The three channels with the number formatting, separated by blanks.
    static std::string format(const MvColor& c);

    MvColor color;
};

#endif
