// Lists: indexing with copy on write, insertion, text form, destruction
// without recursion, and the conversion of number lists to vectors and of
// vector lists to images.
#include "MvListValue.h"

#include "MvElementIndex.h"
#include "MvImageMakers.h"
#include "MvMemoryRequest.h"
#include "MvNesting.h"
#include "MvNumberValue.h"
#include "MvVectorValue.h"
#include "morvane/MvException.h"
#include "morvane/MvProperties.h"

#include <sstream>

namespace {

[[noreturn]] void raiseOutOfRange(std::uint32_t i) {
    std::ostringstream message;
    message << "List index (" << i << ") out of range.";
    MvRaise(message.str());
}

} // namespace

// A list nested a million deep would free its elements through a million
// nested destructor calls. Instead the elements of every list about to die
// are moved onto one work list here, so each list dies empty.
MvListValue::~MvListValue() {
    bool holdsLists = false;
    for (const MvValueHolder& element : elements)
        if (asList(element.get())) {
            holdsLists = true;
            break;
        }
    if (!holdsLists)
        return;   // the elements go with the array, no list among them
    std::vector<MvValueHolder> pending;
    moveElementsTo(pending);
    while (!pending.empty()) {
        MvValueHolder element = std::move(pending.back());
        pending.pop_back();
        MvListValue* list = asList(element.get());
        if (list && element.isUnique())
            list->moveElementsTo(pending);
    }   // element is released here: a list among them is freed, now empty
}

MvListValue* MvListValue::asList(MvValue* value) {
    return value && value->GetType() == MvTypeList ? static_cast<MvListValue*>(value) : nullptr;
}

void MvListValue::noteHeld(const MvValueHolder& element) {
    if (MvListValue* list = asList(element.get()))
        list->containingLists_.fetch_add(1, std::memory_order_relaxed);
}

void MvListValue::noteReleased(const MvValueHolder& element) {
    if (MvListValue* list = asList(element.get()))
        list->containingLists_.fetch_sub(1, std::memory_order_relaxed);
}

void MvListValue::pushBack(MvValueHolder stored) {
    elements.items_.push_back(std::move(stored));
    noteHeld(elements.items_.back());
}

void MvListValue::placeAt(std::size_t position, MvValueHolder stored) {
    auto placed = elements.items_.insert(elements.items_.begin() + position, std::move(stored));
    noteHeld(*placed);
}

void MvListValue::replaceAt(std::size_t position, MvValueHolder stored) {
    MvValueHolder& slot = elements.items_[position];
    noteHeld(stored);
    noteReleased(slot);
    slot = std::move(stored);
}

void MvListValue::removeAt(std::size_t position) {
    noteReleased(elements.items_[position]);
    elements.items_.erase(elements.items_.begin() + position);
}

void MvListValue::moveElementsTo(std::vector<MvValueHolder>& pending) {
    std::vector<MvValueHolder>& items = elements.items_;
    for (const MvValueHolder& element : items)
        noteReleased(element);
    if (pending.empty()) {
        pending.swap(items);
    } else {
        pending.insert(pending.end(), std::make_move_iterator(items.begin()),
                       std::make_move_iterator(items.end()));
    }
    items.clear();
}

MvValue* MvListValue::Clone() {
    MvListValue* copy = new MvListValue();
    copy->reserve(elements.size());
    for (const MvValueHolder& element : elements)
        copy->pushBack(element);
    return copy;
}

MvTypeEnum MvListValue::GetType() { return MvTypeList; }

void MvListValue::Coerce(MvValueHolder& result, MvTypeEnum target) {
    if (target == MvTypeVector) {
        MvValueHolder vector(new MvVectorValue());
        std::vector<double>& values = static_cast<MvVectorValue*>(vector.get())->values;
        values.reserve(elements.size());
        for (const MvValueHolder& element : elements)
            values.push_back(element->GetNumber());
        result = vector;
        return;
    }
    const MvImageMakers& images = MvInstalledImageMakers();
    if (target == MvTypeImageMono && images.monoFromRows) {
        result = MvValueHolder(images.monoFromRows(elements.items()));
        return;
    }
    MvValue::Coerce(result, target);
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

void MvListValue::append(const MvValueHolder& element) { pushBack(admit(element)); }

void MvListValue::Append(MvValueHolder& element) { append(element); }

void MvListValue::Prepend(MvValueHolder& element) { insertAt(element, 0); }

void MvListValue::Insert(MvValueHolder& element, MvValue* index) {
    insertAt(element, MvElementIndexFromValue(index));
}

// Only positions before an existing element are accepted: the end of a
// list is reached with Append, so prepending to an empty list fails too.
void MvListValue::insertAt(const MvValueHolder& element, std::uint32_t position) {
    if (position >= elements.size())
        MvRaise("Cannot insert an element after the end of a list");
    placeAt(position, admit(element));
}

MvValueHolder MvListValue::GetElement(MvValue* index, bool forWrite) {
    std::uint32_t position = MvElementIndexFromValue(index);
    if (position >= elements.size())
        raiseOutOfRange(position);
    if (forWrite && !elements[position].isUnique())
        replaceAt(position, MvValueHolder(elements[position]->Clone()));
    return elements[position];
}

void MvListValue::SetElement(MvValue* index, MvValue* newValue) {
    std::uint32_t position = MvElementIndexFromValue(index);
    if (position >= elements.size())
        MvRaise("Index too big. Use append to add elements to the end of a list.");
    if (!newValue)
        MvRaise("Operation attempted on NULL value. Function may not have returned a result.");
    replaceAt(position, admit(MvValueHolder(newValue)));
}

void MvListValue::DeleteElement(MvValue* index) {
    std::uint32_t position = MvElementIndexFromValue(index);
    if (position >= elements.size())
        MvRaise("Index too big. Can't delete elements not in the list.");
    removeAt(position);
}

// The elements' texts joined by line ends; a list element contributes its
// own joined text. Walked with an explicit stack of the lists entered.
std::string MvListValue::GetText() {
    struct Level {
        MvListValue* list;
        std::size_t next;
    };
    std::vector<Level> levels{{this, 0}};
    std::string text;
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.list->elements.size()) {
            levels.pop_back();
            continue;
        }
        if (level.next > 0)
            text += '\n';
        MvValue* element = level.list->elements[level.next++].get();
        if (MvListValue* inner = asList(element)) {
            if (levels.size() >= kMvMaxNesting)
                MvRaiseNestedTooDeeply();
            levels.push_back({inner, 0});
            continue;
        }
        std::string piece = element->GetText();
        MvCheckMemoryRequest(std::uint64_t(text.size()) + piece.size(), 1, "text");
        text += piece;
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
