#include "MvEntryGuard.h"
#include "MvListValue.h"
#include "morvane/MvListApi.h"

MvValue* MvListCreate() { MV_GUARDED_ENTRY(nullptr, return new MvListValue();); }

MvListValue* MvValueAsList(MvValue* value) {
    return value && value->GetType() == MvTypeList ? static_cast<MvListValue*>(value) : nullptr;
}

// Adopting the raw pointer takes over the creator's reference of a fresh
// value and adds one to a value that is already held. A list appended to
// itself is the one element not taken over: the caller still owns the list,
// and the list receives a copy of itself.
void MvListAppend(MvListValue* list, MvValue* element) {
    MV_GUARDED_VOID_ENTRY(
        if (list && element == list) {
            list->append(MvValueHolder(list->Clone()));
            return;
        }
        MvValueHolder held(element);   // freed here when there is no list
        if (list)
            list->append(held););
}

void MvListDelete(MvValue* value) { delete value; }
