#include "MvNoValue.h"

#include "MvEntryGuard.h"
#include "morvane/MvException.h"
#include "morvane/MvScalarApi.h"

MvValue* MvNoValue::Clone() {
    MvRaise("Operation attempted on NULL value. Function may not have returned a result.");
}

MvTypeEnum MvNoValue::GetType() { return MvTypeUndefined; }

MvValue* MvNoValueCreate() { MV_GUARDED_ENTRY(nullptr, return new MvNoValue();); }
