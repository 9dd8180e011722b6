#include "MvDateTimeValue.h"
#include "MvEntryGuard.h"
#include "MvTextValue.h"
#include "morvane/MvDateTimeApi.h"

MvDateTime* MvDateTimeCreate() { MV_GUARDED_ENTRY(nullptr, return new MvDateTime();); }

void MvDateTimeDelete(MvDateTime* date) { delete date; }

MvValue* MvDateTimeToString(MvDateTime* date) {
    MV_GUARDED_ENTRY(nullptr, return new MvTextValue(date ? date->text() : std::string()););
}

MvValue* MvDateTimeValueCreate(const MvDateTime* date) {
    MV_GUARDED_ENTRY(nullptr,
        return date ? new MvDateTimeValue(*date) : new MvDateTimeValue(););
}
