// A date: one date-time record. A new date is "now"; dates move by seconds,
// subtract to seconds and compare by their difference.
#ifndef MORVANE_ENGINE_MVDATETIMEVALUE_H
#define MORVANE_ENGINE_MVDATETIMEVALUE_H

#include "morvane/MvDateTime.h"
#include "morvane/MvValue.h"

#include <iosfwd>
#include <string>

class MV_EXPORT MvDateTimeValue : public MvValue {
public:
    MvDateTimeValue() = default;
    explicit MvDateTimeValue(const MvDateTime& d) : date(d) {}
    // Reads a value-file body (layout in the source of Write).
    explicit MvDateTimeValue(std::istream& in);

    MvValue* Clone() override;
    MvTypeEnum GetType() override;
    void Write(std::ostream& out) override;
    MvValue* GetProperty(int propertyId) override;
    int GetPropertyId(const char* name) override;
    void SetProperty(int propertyId, MvValue* newValue) override;
    void Add(MvValueHolder& result, MvValueHolder& operand) override;
    void Subtract(MvValueHolder& result, MvValueHolder& operand) override;
    bool IsEqual(MvValue* other) override;
    bool IsLess(MvValue* other) override;
    bool IsLessOrEqual(MvValue* other) override;
    bool IsGreater(MvValue* other) override;
    bool IsGreaterOrEqual(MvValue* other) override;
    bool IsNotEqual(MvValue* other) override;
    std::string GetText() override;
    MvDateTime* GetDate() override;

    MvDateTime date;

private:
    // This date minus the other, which must be a date (else the operator
    // error with op).
    double secondsAfter(MvValue* other, const char* op);
};

#endif
