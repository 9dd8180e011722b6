#include "MvDateTimeValue.h"
#include "MvTextValue.h"
#include "morvane/MvDateTimeApi.h"

MvDateTime* MvDateTimeCreate() { return new MvDateTime(); }

void MvDateTimeDelete(MvDateTime* date) { delete date; }

MvValue* MvDateTimeToString(MvDateTime* date) { return new MvTextValue(date->text()); }

MvValue* MvDateTimeValueCreate(const MvDateTime* date) {
    return date ? new MvDateTimeValue(*date) : new MvDateTimeValue();
}
