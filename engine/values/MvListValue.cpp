// Lists: indexing with copy on write, insertion, text form and the
// conversion of number lists to vectors and of vector lists to images.
#include "MvListValue.h"

#include "MvElementIndex.h"
#include "MvLittleEndian.h"
#include "MvNumberValue.h"
#include "MvVectorValue.h"
#include "image/MvImageFactory.h"
#include "morvane/MvException.h"
#include "morvane/MvProperties.h"
#include "morvane/MvValueFile.h"

#include <sstream>

namespace {

// A value file can nest lists in lists; a crafted file must not be able to
// exhaust the stack of the reader (or later of the destructor).
constexpr int kMaxReadDepth = 1000;
thread_local int readDepth = 0;

class ReadDepthGuard {
public:
    ReadDepthGuard() {
        if (readDepth >= kMaxReadDepth)
            throw new MvFileException("Reading list data failed: lists nested too deeply.");
        ++readDepth;
    }
    ~ReadDepthGuard() { --readDepth; }
    ReadDepthGuard(const ReadDepthGuard&) = delete;
    ReadDepthGuard& operator=(const ReadDepthGuard&) = delete;
};

[[noreturn]] void raiseReadFailure() { throw new MvFileException("Reading list data failed."); }

[[noreturn]] void raiseOutOfRange(std::uint32_t i) {
    std::ostringstream message;
    message << "List index (" << i << ") out of range.";
    MvRaise(message.str());
}

} // namespace

MvListValue::MvListValue(std::istream& in) {
    ReadDepthGuard guard;
    readElements(in);
}

// The count is not trusted for reserving memory: a truncated or forged body
// runs out of bytes long before a large count is reached.
void MvListValue::readElements(std::istream& in) {
    std::uint32_t count;
    if (!MvLittleEndian::readU32(in, count))
        raiseReadFailure();
    for (std::uint32_t i = 0; i < count; ++i) {
        MvValue* element = ReadValue(in);
        if (!element)
            raiseReadFailure();
        elements.emplace_back(element);
    }
}

MvValue* MvListValue::Clone() {
    MvListValue* copy = new MvListValue();
    copy->elements = elements;
    return copy;
}

MvTypeEnum MvListValue::GetType() { return MvTypeList; }

void MvListValue::Coerce(MvValueHolder& result, MvTypeEnum target) {
    if (target == MvTypeVector) {
        MvValueHolder vector(new MvVectorValue());
        std::vector<double>& values = static_cast<MvVectorValue*>(vector.get())->values;
        values.reserve(elements.size());
        for (MvValueHolder& element : elements)
            values.push_back(element->GetNumber());
        result = vector;
        return;
    }
    if (target == MvTypeImageMono) {
        result = MvImageMonoFromRows(elements);
        return;
    }
    MvValue::Coerce(result, target);
}

void MvListValue::Write(std::ostream& out) {
    MvLittleEndian::writeU32(out, static_cast<std::uint32_t>(elements.size()));
    for (MvValueHolder& element : elements) {
        MvLittleEndian::writeU32(out, static_cast<std::uint32_t>(element->GetType()));
        element->Write(out);
    }
}

int MvListValue::GetPropertyId(const char* name) {
    if (MvPropertyIdFromName(name) == MvPropLength)
        return MvPropLength;
    return MvValue::GetPropertyId(name);
}

MvValue* MvListValue::GetProperty(int propertyId) {
    if (propertyId == MvPropLength)
        return new MvNumberValue(static_cast<double>(elements.size()));
    return MvValue::GetProperty(propertyId);
}

void MvListValue::Append(MvValueHolder& element) { elements.push_back(element); }

void MvListValue::Prepend(MvValueHolder& element) { insertAt(element, 0); }

void MvListValue::Insert(MvValueHolder& element, MvValue* index) {
    insertAt(element, MvElementIndexFromValue(index));
}

// Only positions before an existing element are accepted: the end of a
// list is reached with Append, so prepending to an empty list fails too.
void MvListValue::insertAt(MvValueHolder& element, std::uint32_t position) {
    if (position >= elements.size())
        MvRaise("Cannot insert an element after the end of a list");
    elements.insert(elements.begin() + position, element);
}

MvValueHolder MvListValue::GetElement(MvValue* index, bool forWrite) {
    std::uint32_t position = MvElementIndexFromValue(index);
    if (position >= elements.size())
        raiseOutOfRange(position);
    MvValueHolder& element = elements[position];
    if (forWrite && !element.isUnique())
        element = element->Clone();
    return element;
}

void MvListValue::SetElement(MvValue* index, MvValue* newValue) {
    std::uint32_t position = MvElementIndexFromValue(index);
    if (position >= elements.size())
        MvRaise("Index too big. Use append to add elements to the end of a list.");
    if (!newValue)
        MvRaise("Operation attempted on NULL value. Function may not have returned a result.");
    elements[position] = newValue;
}

void MvListValue::DeleteElement(MvValue* index) {
    std::uint32_t position = MvElementIndexFromValue(index);
    if (position >= elements.size())
        MvRaise("Index too big. Can't delete elements not in the list.");
    elements.erase(elements.begin() + position);
}

std::string MvListValue::GetText() {
    std::string text;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += elements[i]->GetText();
    }
    return text;
}

MvValue* MvListValue::elementAt(std::int32_t position) {
    if (position < 0)
        MvRaise("List index is negative!");
    if (static_cast<std::uint32_t>(position) >= elements.size())
        raiseOutOfRange(static_cast<std::uint32_t>(position));
    return elements[static_cast<std::size_t>(position)].get();
}
