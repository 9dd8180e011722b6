// Flat functions over date-time records.
#ifndef MORVANE_MVDATETIMEAPI_H
#define MORVANE_MVDATETIMEAPI_H

#include "MvDateTime.h"
#include "MvExport.h"
#include "MvValue.h"

// A heap record set to now; free it with MvDateTimeDelete.
MV_C_API MvDateTime* MvDateTimeCreate();
MV_C_API void MvDateTimeDelete(MvDateTime* date);
// A new text value with the date's text.
MV_C_API MvValue* MvDateTimeToString(MvDateTime* date);
// A new date value holding a copy of the record (now for null).
MV_C_API MvValue* MvDateTimeValueCreate(const MvDateTime* date);

#endif
