// Booleans. Both operands of and/or are evaluated by the caller: there is
// no short-circuit at this level.
#include "MvBooleanValue.h"

#include "MvEntryGuard.h"
#include "morvane/MvException.h"
#include "morvane/MvScalarApi.h"

#include <istream>
#include <ostream>

MvBooleanValue::MvBooleanValue(std::istream& in) : value(false) {
    char byte;
    if (!in.get(byte))
        throw new MvFileException("Reading boolean data failed.");
    value = byte != 0;
}

MvValue* MvBooleanValue::Clone() { return new MvBooleanValue(value); }

MvTypeEnum MvBooleanValue::GetType() { return MvTypeBoolean; }

void MvBooleanValue::Write(std::ostream& out) { out.put(value ? 1 : 0); }

bool MvBooleanValue::IsEqual(MvValue* other) { return value == other->GetBoolean(); }

bool MvBooleanValue::And(MvValue* other) { return other->GetBoolean() && value; }

bool MvBooleanValue::Or(MvValue* other) {
    bool o = other->GetBoolean();
    return value || o;
}

bool MvBooleanValue::Not() { return !value; }

std::string MvBooleanValue::GetText() { return value ? "true" : "false"; }

bool MvBooleanValue::GetBoolean() { return value; }

MvValue* MvBooleanValue::shared(bool value) {
    static const MvValueHolder sharedTrue(new MvBooleanValue(true));
    static const MvValueHolder sharedFalse(new MvBooleanValue(false));
    return value ? sharedTrue.get() : sharedFalse.get();
}

MvValue* MvBooleanCreate(bool value) { MV_GUARDED_ENTRY(nullptr, return new MvBooleanValue(value);); }
