// Flat functions over numbers, booleans, texts and the no-value.
//
// Values made here start with one reference and no holders; a value that is
// never handed to a holder is freed with the matching ...Delete function.
// All ...Delete functions delete through the virtual destructor, ignore
// null and do not look at the reference counts.
#ifndef MORVANE_MVSCALARAPI_H
#define MORVANE_MVSCALARAPI_H

#include "MvExport.h"
#include "MvValue.h"

#include <cstdint>

class MvTextValue;

MV_C_API MvValue* MvNumberCreate(double value);
MV_C_API double MvNumberGetDoubleValue(MvValue* value);
MV_C_API void MvNumberDelete(MvValue* value);

MV_C_API MvValue* MvBooleanCreate(bool value);

MV_C_API MvValue* MvTextCreate(const char* text);
MV_C_API MvValue* MvTextCreateFromPointer(const char* bytes, std::uint32_t length);
MV_C_API const char* MvTextGetTextPtr(MvTextValue* text);
MV_C_API void MvTextDelete(MvValue* value);

MV_C_API MvValue* MvNoValueCreate();

#endif
