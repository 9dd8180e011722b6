// A boolean: true or false, stored as one byte.
#ifndef MORVANE_ENGINE_MVBOOLEANVALUE_H
#define MORVANE_ENGINE_MVBOOLEANVALUE_H

#include "morvane/MvValue.h"

#include <iosfwd>

class MV_EXPORT MvBooleanValue : public MvValue {
public:
    explicit MvBooleanValue(bool v = false) : value(v) {}
    // Reads the one-byte body of a value file (non-zero is true).
    explicit MvBooleanValue(std::istream& in);

    MvValue* Clone() override;
    MvTypeEnum GetType() override;
    void Write(std::ostream& out) override;
    bool IsEqual(MvValue* other) override;
    bool And(MvValue* other) override;
    bool Or(MvValue* other) override;
    bool Not() override;
    std::string GetText() override;
    bool GetBoolean() override;

    bool value;
};

#endif
