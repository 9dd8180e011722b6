// Flat functions over lists.
//
// A list made here starts with one reference and no holders, like every
// value from a ...Create function. Elements are held by counted reference.
#ifndef MORVANE_MVLISTAPI_H
#define MORVANE_MVLISTAPI_H

#include "MvExport.h"
#include "MvValue.h"

class MvListValue;

MV_C_API MvValue* MvListCreate();
// The list itself when value is a list, else null.
MV_C_API MvListValue* MvValueAsList(MvValue* value);
// Appends element. An element nobody holds yet (fresh from a ...Create
// function) is taken over by the list: the caller must not delete it.
MV_C_API void MvListAppend(MvListValue* list, MvValue* element);
MV_C_API void MvListDelete(MvValue* value);

#endif
