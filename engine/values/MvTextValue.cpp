// Texts: concatenation, indexing, substrings, padding element changes and
// coercion by stream extraction.
#include "MvTextValue.h"

#include "MvIndex.h"
#include "MvListValue.h"
#include "MvMemoryRequest.h"
#include "MvNumberValue.h"
#include "MvReplacingFile.h"
#include "MvVectorValue.h"
#include "MvEntryGuard.h"
#include "morvane/MvException.h"
#include "morvane/MvProperties.h"
#include "morvane/MvScalarApi.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <sstream>

namespace {

[[noreturn]] void raiseNegativeIndex() { MvRaise("Text index is negative!"); }

[[noreturn]] void raiseOutOfRange(std::int64_t i) {
    std::ostringstream message;
    message << "Text index (" << i << ") out of range.";
    MvRaise(message.str());
}

[[noreturn]] void raiseOutOfRange(std::int64_t i, std::int64_t j) {
    std::ostringstream message;
    message << "Text index (" << i << "," << j << ") out of range.";
    MvRaise(message.str());
}

// Element changes may write beyond the end (the gap is padded with blanks)
// but never before the start, and never grow a text without bound.
std::size_t checkedWritePosition(std::int64_t i) {
    if (i < 0)
        raiseNegativeIndex();
    if (i > MvTextValue::kMaxLength)
        raiseOutOfRange(i);
    return static_cast<std::size_t>(i);
}

// A text about to reach size characters must fit the memory limit.
void checkSize(std::uint64_t size) { MvCheckMemoryRequest(size, 1, "text"); }

void padTo(std::string& text, std::size_t position) {
    if (position > text.size())
        text.append(position - text.size(), ' ');
}

} // namespace

MvTextValue::MvTextValue(std::istream& in) {
    char chunk[255];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        checkSize(std::uint64_t(text.size()) + static_cast<std::uint64_t>(in.gcount()));
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    }
}

MvValue* MvTextValue::Clone() { return new MvTextValue(text); }

MvTypeEnum MvTextValue::GetType() { return MvTypeText; }

std::string MvTextValue::GetText() { return text; }

void MvTextValue::AppendText(const char* more) {
    if (!more)
        return;
    std::size_t length = std::strlen(more);
    checkSize(std::uint64_t(text.size()) + length);
    text.append(more, length);
}

void MvTextValue::Coerce(MvValueHolder& result, MvTypeEnum target) {
    if (target == MvTypeNumber) {
        std::istringstream in(text + "\n");
        double number = 0.0;
        if (!(in >> number))
            number = 0.0;
        result = new MvNumberValue(number);
        return;
    }
    if (target == MvTypeVector) {
        std::istringstream in(text + "\n");
        MvVectorValue* vector = new MvVectorValue();
        result = vector;
        for (double number; in >> number;)
            vector->values.push_back(number);
        return;
    }
    if (target == MvTypeList) {
        // At most one word in two characters, each a text in the list.
        MvCheckMemoryRequest(text.size() / 2 + 1, sizeof(MvTextValue) + sizeof(MvValueHolder),
                             "list");
        std::istringstream in(text + "\n");
        MvListValue* list = new MvListValue();
        result = list;
        for (std::string word; in >> word;)
            list->append(MvValueHolder(new MvTextValue(std::move(word))));
        return;
    }
    MvValue::Coerce(result, target);
}

// Written as a plain text file without a header, so it loads back as text.
void MvTextValue::SaveToFile(const char* path) {
    MvReplacingFile file(path, std::ios::out);
    file.stream() << text;
    file.commit();
}

int MvTextValue::GetPropertyId(const char* name) {
    if (MvPropertyIdFromName(name) == MvPropLength)
        return MvPropLength;
    return MvValue::GetPropertyId(name);
}

MvValue* MvTextValue::GetProperty(int propertyId) {
    if (propertyId == MvPropLength)
        return new MvNumberValue(static_cast<double>(text.size()));
    return MvValue::GetProperty(propertyId);
}

void MvTextValue::Add(MvValueHolder& result, MvValueHolder& operand) {
    std::string tail = operand->GetText();
    checkSize(std::uint64_t(text.size()) + tail.size());
    if (result.get() == this) {
        text += tail;
        return;
    }
    if (result.get() && result->GetType() == MvTypeText)
        static_cast<MvTextValue*>(result.get())->text = text + tail;
    else
        result = new MvTextValue(text + tail);
}

void MvTextValue::Append(MvValueHolder& element) {
    std::string piece = element->GetText();
    checkSize(std::uint64_t(text.size()) + piece.size());
    text += piece;
}

void MvTextValue::Prepend(MvValueHolder& element) {
    std::string piece = element->GetText();
    checkSize(std::uint64_t(text.size()) + piece.size());
    text.insert(0, piece);
}

void MvTextValue::Insert(MvValueHolder& element, MvValue* index) {
    std::size_t position = checkedWritePosition(MvIndexFromValue(index));
    std::string piece = element->GetText();
    checkSize(std::uint64_t(std::max(position, text.size())) + piece.size());
    if (position >= text.size()) {
        padTo(text, position);
        text += piece;
    } else {
        text.insert(position, piece);
    }
}

void MvTextValue::SetElement(MvValue* index, MvValue* newValue) {
    std::size_t position = checkedWritePosition(MvIndexFromValue(index));
    std::string piece = newValue->GetText();
    checkSize(std::uint64_t(std::max(position, text.size())) + piece.size());
    if (position >= text.size()) {
        padTo(text, position);
        text += piece;
    } else {
        text.replace(position, 1, piece);
    }
}

// A negative index counts from the end as i + n - 1, so -1 is the second
// last character.
MvValueHolder MvTextValue::GetElement(MvValue* index, bool) {
    const std::int64_t n = static_cast<std::int64_t>(text.size());
    std::int64_t i = MvIndexFromValue(index);
    if (i < 0) {
        i += n - 1;
        if (i < 0)
            raiseNegativeIndex();
    }
    if (i >= n)
        raiseOutOfRange(i);
    return MvValueHolder(new MvTextValue(text.substr(static_cast<std::size_t>(i), 1)));
}

// text[i, j]: positions i through j inclusive; a j of 0 means "to the end".
MvValueHolder MvTextValue::GetElement2(MvValue* first, MvValue* last) {
    const std::int64_t n = static_cast<std::int64_t>(text.size());
    std::int64_t i = MvIndexFromValue(first);
    std::int64_t j = MvIndexFromValue(last);
    if (i < 0)
        i += n - 1;
    if (j < 0)
        j += n - 1;
    if (j == 0)
        j = n - 1;
    if (i > j)
        MvRaise("Second index must be smaller than the first.");
    if (i < 0)
        raiseNegativeIndex();
    if (i >= n || j >= n)
        raiseOutOfRange(i, j);
    return MvValueHolder(new MvTextValue(
        text.substr(static_cast<std::size_t>(i), static_cast<std::size_t>(j - i + 1))));
}

bool MvTextValue::IsEqual(MvValue* other) { return text == other->GetText(); }

MvValue* MvTextCreate(const char* text) {
    MV_GUARDED_ENTRY(nullptr, return new MvTextValue(text ? text : ""););
}

MvValue* MvTextCreateFromPointer(const char* bytes, std::uint32_t length) {
    MV_GUARDED_ENTRY(nullptr,
        return new MvTextValue(bytes ? std::string(bytes, length) : std::string()););
}

const char* MvTextGetTextPtr(MvTextValue* text) { return text ? text->text.c_str() : ""; }

void MvTextDelete(MvValue* value) { delete value; }
