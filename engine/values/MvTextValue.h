// A text: a string of 8-bit characters, changed in place by the element
// operations.
#ifndef MORVANE_ENGINE_MVTEXTVALUE_H
#define MORVANE_ENGINE_MVTEXTVALUE_H

#include "morvane/MvValue.h"

#include <iosfwd>
#include <string>

class MV_EXPORT MvTextValue : public MvValue {
public:
    MvTextValue() = default;
    explicit MvTextValue(const char* s) : text(s ? s : "") {}
    explicit MvTextValue(std::string s) : text(std::move(s)) {}
    // Takes every remaining byte of a value-file body.
    explicit MvTextValue(std::istream& in);

    MvValue* Clone() override;
    MvTypeEnum GetType() override;
    void Coerce(MvValueHolder& result, MvTypeEnum target) override;
    void SaveToFile(const char* path) override;
    MvValue* GetProperty(int propertyId) override;
    int GetPropertyId(const char* name) override;
    void Add(MvValueHolder& result, MvValueHolder& operand) override;
    void Append(MvValueHolder& element) override;
    void Prepend(MvValueHolder& element) override;
    void Insert(MvValueHolder& element, MvValue* index) override;
    MvValueHolder GetElement2(MvValue* i, MvValue* j) override;
    MvValueHolder GetElement(MvValue* index, bool forWrite) override;
    void SetElement(MvValue* index, MvValue* newValue) override;
    bool IsEqual(MvValue* other) override;
    std::string GetText() override;

    virtual void AppendText(const char* more);

    // The longest text the element operations will build by padding.
    static constexpr std::int64_t kMaxLength = std::int64_t(1) << 30;

    std::string text;
};

#endif
