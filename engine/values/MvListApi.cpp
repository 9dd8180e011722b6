#include "MvEntryGuard.h"
#include "MvListValue.h"
#include "morvane/MvListApi.h"

MvValue* MvListCreate() { MV_GUARDED_ENTRY(nullptr, return new MvListValue();); }

MvListValue* MvValueAsList(MvValue* value) {
    return value && value->GetType() == MvTypeList ? static_cast<MvListValue*>(value) : nullptr;
}

// Adopting the raw pointer takes over the creator's reference of a fresh
// value and adds one to a value that is already held.
void MvListAppend(MvListValue* list, MvValue* element) {
    MV_GUARDED_VOID_ENTRY(
        MvValueHolder held(element);
        if (list)
            list->elements.push_back(std::move(held)););
}

void MvListDelete(MvValue* value) { delete value; }
