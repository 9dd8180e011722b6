#include "MvNumberValue.h"
#include "MvVectorValue.h"
#include "morvane/MvVectorApi.h"

MvValue* MvVectorCreate() { return new MvVectorValue(); }

MvVectorValue* MvValueAsVector(MvValue* value) {
    return value && value->GetType() == MvTypeVector ? static_cast<MvVectorValue*>(value)
                                                     : nullptr;
}

void MvVectorAppend(MvVectorValue* vector, double element) { vector->values.push_back(element); }

std::int32_t MvVectorSize(MvVectorValue* vector) {
    return static_cast<std::int32_t>(vector->values.size());
}

double MvVectorGetValueAt(MvVectorValue* vector, std::int32_t index) {
    return vector->values[static_cast<std::size_t>(index)];
}

void MvVectorSetValueAt(MvVectorValue* vector, std::int32_t index, double element) {
    MvNumberValue position(index);
    MvNumberValue number(element);
    vector->SetElement(&position, &number);
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
