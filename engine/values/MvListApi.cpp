#include "MvListValue.h"
#include "morvane/MvListApi.h"

MvValue* MvListCreate() { return new MvListValue(); }

MvListValue* MvValueAsList(MvValue* value) {
    return value && value->GetType() == MvTypeList ? static_cast<MvListValue*>(value) : nullptr;
}

// Adopting the raw pointer takes over the creator's reference of a fresh
// value and adds one to a value that is already held.
void MvListAppend(MvListValue* list, MvValue* element) { list->elements.emplace_back(element); }

void MvListDelete(MvValue* value) { delete value; }
