// Vectors: elements and sub-vectors, growth, text form, coercions and the
// value-file body. Arithmetic and statistics have files of their own.
#include "MvVectorValue.h"

#include "MvColorValue.h"
#include "MvElementIndex.h"
#include "MvListValue.h"
#include "MvLittleEndian.h"
#include "MvMemoryRequest.h"
#include "MvNumberValue.h"
#include "morvane/MvException.h"
#include "morvane/MvProperties.h"

#include <algorithm>
#include <sstream>

namespace {

[[noreturn]] void raiseOutOfRange(std::uint64_t i) {
    std::ostringstream message;
    message << "Vector index (" << i << ") out of range.";
    MvRaise(message.str());
}

[[noreturn]] void raiseOutOfRange(std::uint32_t i, std::uint32_t j) {
    std::ostringstream message;
    message << "Vector index (" << i << "," << j << ") out of range.";
    MvRaise(message.str());
}

[[noreturn]] void raiseReadFailure() { throw new MvFileException("Reading vector data failed."); }

bool isVector(MvValue* v) { return v && v->GetType() == MvTypeVector; }

// The numbers an element operation puts into a vector: all of a vector's
// elements (copied, so a vector may be put into itself) or one number.
std::vector<double> numbersOf(MvValue* element) {
    if (isVector(element))
        return *element->GetVector();
    return {element->GetNumber()};
}

// A vector of size elements must fit the memory limit.
void checkSize(std::uint64_t size) { MvCheckMemoryRequest(size, sizeof(double), "vector"); }

} // namespace

// The count is not trusted for reserving memory: a forged body runs out of
// bytes long before a large count is reached.
MvVectorValue::MvVectorValue(std::istream& in) {
    std::uint32_t count;
    if (!MvLittleEndian::readU32(in, count))
        raiseReadFailure();
    values.reserve(std::min<std::uint32_t>(count, 1u << 16));
    for (std::uint32_t i = 0; i < count; ++i) {
        double v;
        if (!MvLittleEndian::readDouble(in, v))
            raiseReadFailure();
        values.push_back(v);
    }
}

MvValue* MvVectorValue::Clone() { return new MvVectorValue(values); }

MvTypeEnum MvVectorValue::GetType() { return MvTypeVector; }

void MvVectorValue::Write(std::ostream& out) {
    MvLittleEndian::writeU32(out, static_cast<std::uint32_t>(values.size()));
    for (double v : values)
        MvLittleEndian::writeDouble(out, v);
}

std::string MvVectorValue::GetText() {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += '\t';
        text += MvNumberValue::format(values[i]);
    }
    return text;
}

const std::vector<double>* MvVectorValue::GetVector() { return &values; }

MvColor MvVectorValue::GetColor() {
    if (values.size() != 3)
        MvRaise("The vector {" + GetText() + "}\n\tNeeds three components to represent a color.\n");
    return MvColor{values[0], values[1], values[2]};
}

void MvVectorValue::Coerce(MvValueHolder& result, MvTypeEnum target) {
    switch (target) {
    case MvTypeNumber:
        if (values.size() != 1)
            throw new MvCoercionException(MvTypeVector, MvTypeNumber,
                                          "Vector must have exactly one element.");
        result = new MvNumberValue(values[0]);
        return;
    case MvTypeColor:
        if (values.size() == 1)
            result = new MvColorValue(MvColor{values[0], values[0], values[0]});
        else if (values.size() == 3)
            result = new MvColorValue(MvColor{values[0], values[1], values[2]});
        else
            throw new MvCoercionException(MvTypeVector, MvTypeColor,
                                          "Vector must have 1 or 3 elements.");
        return;
    case MvTypeList: {
        MvCheckMemoryRequest(values.size(), sizeof(MvNumberValue) + sizeof(MvValueHolder),
                             "list");
        MvListValue* list = new MvListValue();
        result = list;
        list->reserve(values.size());
        for (double v : values)
            list->append(MvValueHolder(new MvNumberValue(v)));
        return;
    }
    default:
        MvValue::Coerce(result, target);
    }
}

int MvVectorValue::GetPropertyId(const char* name) {
    if (MvPropertyIdFromName(name) == MvPropLength)
        return MvPropLength;
    return MvValue::GetPropertyId(name);
}

MvValue* MvVectorValue::GetProperty(int propertyId) {
    if (propertyId == MvPropLength)
        return new MvNumberValue(static_cast<double>(values.size()));
    return MvValue::GetProperty(propertyId);
}

void MvVectorValue::Append(MvValueHolder& element) {
    MvValue* e = element.get();
    if (!isVector(e) && !(e && e->GetType() == MvTypeNumber))
        throw new MvOperatorException("append");
    std::vector<double> more = numbersOf(e);
    checkSize(std::uint64_t(values.size()) + more.size());
    values.insert(values.end(), more.begin(), more.end());
}

void MvVectorValue::Prepend(MvValueHolder& element) {
    std::vector<double> more = numbersOf(element.get());
    checkSize(std::uint64_t(values.size()) + more.size());
    values.insert(values.begin(), more.begin(), more.end());
}

// Beyond the end the gap is filled with zeros first; they stay even when
// the element then turns out to have no number.
void MvVectorValue::Insert(MvValueHolder& element, MvValue* index) {
    std::uint32_t position = MvElementIndexFromValue(index);
    growTo(position);
    std::vector<double> more = numbersOf(element.get());
    checkSize(std::uint64_t(values.size()) + more.size());
    values.insert(values.begin() + position, more.begin(), more.end());
}

void MvVectorValue::SetElement(MvValue* index, MvValue* newValue) {
    std::uint32_t position = MvElementIndexFromValue(index);
    double v = newValue->GetNumber();
    if (position < values.size()) {
        values[position] = v;
        return;
    }
    growTo(position, 1);
    values.push_back(v);
}

// room is what the caller adds right after the zeros: reserving it now
// keeps the vector from doubling its storage for the one element.
void MvVectorValue::growTo(std::uint32_t size, std::uint32_t room) {
    if (std::uint64_t(size) + room <= values.size())
        return;
    if (size > kMaxGrowth)
        raiseOutOfRange(size);
    checkSize(std::uint64_t(size) + room);
    if (size > values.size()) {
        values.reserve(std::size_t(size) + room);
        values.resize(size, 0.0);
    }
}

MvValueHolder MvVectorValue::GetElement(MvValue* index, bool) {
    std::uint32_t position = MvElementIndexFromValue(index);
    if (position >= values.size())
        raiseOutOfRange(position);
    return MvValueHolder(new MvNumberValue(values[position]));
}

// v[i, j]: elements i through j inclusive; a j of 0 means "to the end".
MvValueHolder MvVectorValue::GetElement2(MvValue* first, MvValue* last) {
    const std::uint32_t n = static_cast<std::uint32_t>(values.size());
    std::uint32_t i = MvElementIndexFromValue(first);
    std::uint32_t j = MvElementIndexFromValue(last);
    if (j == 0)
        j = n - 1;
    if (i > j)
        MvRaise("Second index must be smaller than the first.");
    if (i >= n || j >= n)
        raiseOutOfRange(i, j);
    return MvValueHolder(
        new MvVectorValue(std::vector<double>(values.begin() + i, values.begin() + j + 1)));
}

bool MvVectorValue::IsEqual(MvValue* other) {
    if (!isVector(other))
        throw new MvOperatorException("equality");
    return values == *other->GetVector();
}

double MvVectorValue::elementAt(std::int32_t position) const {
    if (position < 0)
        MvRaise("Vector index is negative!");
    if (static_cast<std::size_t>(position) >= values.size())
        raiseOutOfRange(static_cast<std::uint32_t>(position));
    return values[static_cast<std::size_t>(position)];
}
