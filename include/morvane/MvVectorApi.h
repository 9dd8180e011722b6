// Flat functions over vectors, and the vector search of the built-in Find.
#ifndef MORVANE_MVVECTORAPI_H
#define MORVANE_MVVECTORAPI_H

#include "MvExport.h"
#include "MvValue.h"

#include <cstdint>

class MvVectorValue;

MV_C_API MvValue* MvVectorCreate();
// The vector itself when value is a vector, else null.
MV_C_API MvVectorValue* MvValueAsVector(MvValue* value);
MV_C_API void MvVectorAppend(MvVectorValue* vector, double element);
MV_C_API std::int32_t MvVectorSize(MvVectorValue* vector);
// An index outside 0 .. size - 1 raises the index error a script would get.
MV_C_API double MvVectorGetValueAt(MvVectorValue* vector, std::int32_t index);
// As setting an element from a script: an index at or beyond the end first
// extends the vector with zeros.
MV_C_API void MvVectorSetValueAt(MvVectorValue* vector, std::int32_t index, double element);
MV_C_API double MvVectorAverage(MvVectorValue* vector);
MV_C_API double MvVectorSdev(MvVectorValue* vector);
MV_C_API double MvVectorMax(MvVectorValue* vector);
MV_C_API double MvVectorMin(MvVectorValue* vector);
// The position and value of the first largest (smallest) element.
MV_C_API void MvVectorUnaryMax(MvVectorValue* vector, std::int32_t* index, double* value);
MV_C_API void MvVectorUnaryMin(MvVectorValue* vector, std::int32_t* index, double* value);
MV_C_API void MvVectorDelete(MvValue* value);

// Where what (a number, or a vector taken as a window) fits vector best: a
// new vector {position, squared difference}, per element for a window. The
// first of equal fits wins.
MV_EXPORT MvValue* FindInVector(MvValue* vector, MvValue* what);

#endif
