// A vector: a packed sequence of doubles with element-wise arithmetic and
// statistics. It grows when an element beyond its end is set or inserted.
#ifndef MORVANE_ENGINE_MVVECTORVALUE_H
#define MORVANE_ENGINE_MVVECTORVALUE_H

#include "morvane/MvValue.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <vector>

class MV_EXPORT MvVectorValue : public MvValue {
public:
    MvVectorValue() = default;
    explicit MvVectorValue(std::vector<double> v) : values(std::move(v)) {}
    // Reads a value-file body: a count, then that many doubles.
    explicit MvVectorValue(std::istream& in);

    MvValue* Clone() override;
    MvTypeEnum GetType() override;
    void Display(MvGraphics* picture) override;
    void Coerce(MvValueHolder& result, MvTypeEnum target) override;
    void Write(std::ostream& out) override;
    MvValue* GetProperty(int propertyId) override;
    int GetPropertyId(const char* name) override;
    MvValue* Sdev() override;
    MvValue* Average() override;
    MvValue* Max() override;
    MvValue* Min() override;
    MvValue* Negate() override;
    MvValue* Difference(MvValue* other, double threshold, bool useThreshold) override;
    void Add(MvValueHolder& result, MvValueHolder& operand) override;
    void Subtract(MvValueHolder& result, MvValueHolder& operand) override;
    void Multiply(MvValueHolder& result, MvValueHolder& operand) override;
    void Divide(MvValueHolder& result, MvValueHolder& operand) override;
    bool CanHoldResult(MvTypeEnum resultType, MvValue* left) override;
    void Append(MvValueHolder& element) override;
    void Prepend(MvValueHolder& element) override;
    void Insert(MvValueHolder& element, MvValue* index) override;
    MvValueHolder GetElement2(MvValue* i, MvValue* j) override;
    MvValueHolder GetElement(MvValue* index, bool forWrite) override;
    void SetElement(MvValue* index, MvValue* newValue) override;
    bool IsEqual(MvValue* other) override;
    std::string GetText() override;
    const std::vector<double>* GetVector() override;
    MvColor GetColor() override;

    double average() const;
    double sdev() const;
    // The first largest (smallest) element and its position; an empty
    // vector gives -9e99 (9e99) at position 0.
    double max(std::size_t& position) const;
    double min(std::size_t& position) const;

    // The element at a position, for native code: raises "Vector index is
    // negative!" or the out-of-range error.
    double elementAt(std::int32_t position) const;

    // The furthest a vector grows by setting or inserting beyond its end.
    static constexpr std::size_t kMaxGrowth = std::size_t(1) << 28;

    std::vector<double> values;

private:
    void growTo(std::uint32_t size, std::uint32_t room = 0);
};

#endif
