// A list: an ordered sequence of values held by counted reference.
//
// Putting a value into a list stores a further reference to the same object;
// a clone shares the elements. Changing an element through the list goes
// through GetElement with forWrite set, which makes the element unique first.
#ifndef MORVANE_ENGINE_MVLISTVALUE_H
#define MORVANE_ENGINE_MVLISTVALUE_H

#include "morvane/MvValue.h"

#include <cstdint>
#include <iosfwd>
#include <vector>

class MV_EXPORT MvListValue : public MvValue {
public:
    MvListValue() = default;
    // Reads a value-file body: a count, then each element's type and body.
    explicit MvListValue(std::istream& in);

    MvValue* Clone() override;
    MvTypeEnum GetType() override;
    void Display(MvGraphics* picture) override;
    void Coerce(MvValueHolder& result, MvTypeEnum target) override;
    void Write(std::ostream& out) override;
    MvValue* GetProperty(int propertyId) override;
    int GetPropertyId(const char* name) override;
    void Append(MvValueHolder& element) override;
    void Prepend(MvValueHolder& element) override;
    void Insert(MvValueHolder& element, MvValue* index) override;
    MvValueHolder GetElement(MvValue* index, bool forWrite) override;
    void SetElement(MvValue* index, MvValue* newValue) override;
    void DeleteElement(MvValue* index) override;
    std::string GetText() override;

    // The element at a position, for native code: raises "List index is
    // negative!" or the out-of-range error. The list keeps its reference.
    MvValue* elementAt(std::int32_t position);

    std::vector<MvValueHolder> elements;

private:
    void insertAt(MvValueHolder& element, std::uint32_t position);
    void readElements(std::istream& in);
};

#endif
