// A list: an ordered sequence of values held by counted reference.
//
// Putting a value into a list stores a further reference to the same object;
// a clone shares the elements. Changing an element through the list goes
// through GetElement with forWrite set, which makes the element unique first.
//
// Lists never contain themselves, directly or through the lists they hold:
// storing a value that would close such a cycle stores a copy instead (see
// admit). Everything that walks a list relies on this: the text form, the
// value-file writer and the destructor would otherwise never end.
#ifndef MORVANE_ENGINE_MVLISTVALUE_H
#define MORVANE_ENGINE_MVLISTVALUE_H

#include "morvane/MvValue.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <vector>

class MvListValue;

// The elements of a list as the rest of the engine sees them: read only.
// Every change goes through MvListValue, which keeps lists free of cycles.
class MvListElements {
public:
    MvListElements() = default;
    MvListElements(const MvListElements&) = delete;
    MvListElements& operator=(const MvListElements&) = delete;

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    const std::vector<MvValueHolder>& items() const { return items_; }
    const MvValueHolder& operator[](std::size_t i) const { return items_[i]; }
    std::vector<MvValueHolder>::const_iterator begin() const { return items_.begin(); }
    std::vector<MvValueHolder>::const_iterator end() const { return items_.end(); }

private:
    friend class MvListValue;
    std::vector<MvValueHolder> items_;
};

class MV_EXPORT MvListValue : public MvValue {
public:
    MvListValue() = default;
    ~MvListValue() override;

    // Reads a value-file list body (a count, then each element's type and
    // body) into a new list. Raises MvFileException for a malformed body or
    // lists nested too deeply.
    static MvListValue* read(std::istream& in);

    MvValue* Clone() override;
    MvTypeEnum GetType() override;
    void Display(MvGraphics* picture) override;
    void Coerce(MvValueHolder& result, MvTypeEnum target) override;
    void Write(std::ostream& out) override;
    MvValue* GetProperty(int propertyId) override;
    int GetPropertyId(const char* name) override;
    void Append(MvValueHolder& element) override;
    void Prepend(MvValueHolder& element) override;
    void Insert(MvValueHolder& element, MvValue* index) override;
    MvValueHolder GetElement(MvValue* index, bool forWrite) override;
    void SetElement(MvValue* index, MvValue* newValue) override;
    void DeleteElement(MvValue* index) override;
    std::string GetText() override;

    // Appends element as Append does, for native code building a list.
    void append(const MvValueHolder& element);
    void reserve(std::size_t count) { elements.items_.reserve(count); }

    // The element at a position, for native code: raises "List index is
    // negative!" or the out-of-range error. The list keeps its reference.
    MvValue* elementAt(std::int32_t position);

    MvListElements elements;

private:
    static MvListValue* asList(MvValue* value);

    void insertAt(const MvValueHolder& element, std::uint32_t position);

    // What to store for element: element itself, or a copy of it that does
    // not reach this list when storing element would close a cycle.
    MvValueHolder admit(const MvValueHolder& element);

    // The only places where elements change: they keep containingLists_ of
    // the list elements up to date. None of them checks for cycles.
    void pushBack(MvValueHolder stored);
    void placeAt(std::size_t position, MvValueHolder stored);
    void replaceAt(std::size_t position, MvValueHolder stored);
    void removeAt(std::size_t position);
    // Moves every element to the end of pending, leaving this list empty.
    void moveElementsTo(std::vector<MvValueHolder>& pending);

    void noteHeld(const MvValueHolder& element);
    void noteReleased(const MvValueHolder& element);

    // How many element slots of lists hold this list. While it is 0 no value
    // can reach this list through lists, so storing into it needs no search
    // for a cycle. Atomic because an element may be shared by lists that
    // different threads change.
    std::atomic<std::uint32_t> containingLists_{0};
};

#endif
