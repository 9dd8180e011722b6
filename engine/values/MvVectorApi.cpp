#include "MvEntryGuard.h"
#include "MvNumberValue.h"
#include "MvVectorValue.h"
#include "morvane/MvVectorApi.h"

// Creating and appending report a failure (out of memory) on the warning
// console; reading and setting elements raise errors as a script would see
// them, for the native functions that call them.

MvValue* MvVectorCreate() { MV_GUARDED_ENTRY(nullptr, return new MvVectorValue();); }

MvVectorValue* MvValueAsVector(MvValue* value) {
    return value && value->GetType() == MvTypeVector ? static_cast<MvVectorValue*>(value)
                                                     : nullptr;
}

void MvVectorAppend(MvVectorValue* vector, double element) {
    MV_GUARDED_VOID_ENTRY(
        if (vector)
            vector->values.push_back(element););
}

std::int32_t MvVectorSize(MvVectorValue* vector) {
    return vector ? static_cast<std::int32_t>(vector->values.size()) : 0;
}

double MvVectorGetValueAt(MvVectorValue* vector, std::int32_t index) {
    MV_RAISING_ENTRY(
        const long size = vector ? static_cast<long>(vector->values.size()) : 0;
        MvCheckIndex(index, 0, size - 1);
        return vector->values[static_cast<std::size_t>(index)];);
}

void MvVectorSetValueAt(MvVectorValue* vector, std::int32_t index, double element) {
    MV_RAISING_ENTRY(
        if (!vector)
            MvRaise("no vector was given");
        MvNumberValue position(index);
        MvNumberValue number(element);
        vector->SetElement(&position, &number););
}

double MvVectorAverage(MvVectorValue* vector) { return vector->average(); }

double MvVectorSdev(MvVectorValue* vector) { return vector->sdev(); }

double MvVectorMax(MvVectorValue* vector) {
    std::size_t position;
    return vector->max(position);
}

double MvVectorMin(MvVectorValue* vector) {
    std::size_t position;
    return vector->min(position);
}

void MvVectorUnaryMax(MvVectorValue* vector, std::int32_t* index, double* value) {
    std::size_t position;
    *value = vector->max(position);
    *index = static_cast<std::int32_t>(position);
}

void MvVectorUnaryMin(MvVectorValue* vector, std::int32_t* index, double* value) {
    std::size_t position;
    *value = vector->min(position);
    *index = static_cast<std::int32_t>(position);
}

void MvVectorDelete(MvValue* value) { delete value; }
