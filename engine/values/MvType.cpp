// Sets of value kinds and the kind names.
#include "morvane/MvException.h"
#include "morvane/MvType.h"

#include <cstring>
#include <ostream>

namespace {

// Indexed by MvTypeEnum; the reserved kinds 3 and 4 have no name.
const char* const kTypeNames[MvTypeCount] = {
    "number", "boolean", "vector", nullptr,   nullptr,       "color",
    "videosource", "movie", "text", "date",   "list",        "video_output",
    "frame_mono", "frame", "image_mono", "image", "undefined"};

// The names a script may write for a kind ("undefined" is not one of them).
const MvTypeEnum kNamedKinds[] = {
    MvTypeNumber, MvTypeBoolean, MvTypeVector, MvTypeColor,     MvTypeVideoSource,
    MvTypeVideoOutput, MvTypeMovie, MvTypeText, MvTypeDate,     MvTypeList,
    MvTypeFrameMono, MvTypeFrame, MvTypeImageMono, MvTypeImage};

} // namespace

MvType::MvType() : members_{}, reference_(false) {}

MvType::MvType(MvTypeEnum t) : MvType() { add(t); }

MvType MvType::MvTypeAny() {
    MvType all;
    for (bool& member : all.members_)
        member = true;
    return all;
}

MvType MvType::operator|(const MvType& other) const {
    MvType both;
    for (int i = 0; i < MvTypeCount; ++i)
        both.members_[i] = members_[i] || other.members_[i];
    return both;
}

MvType MvType::operator|(MvTypeEnum t) const {
    MvType widened = *this;
    widened.add(t);
    return widened;
}

MvType operator|(MvTypeEnum a, MvTypeEnum b) {
    MvType pair(a);
    pair.add(b);
    return pair;
}

bool MvType::contains(MvTypeEnum t) const {
    return t >= 0 && t < MvTypeCount && members_[t];
}

bool MvType::isAny() const {
    for (bool member : members_)
        if (!member)
            return false;
    return true;
}

bool MvType::isEmpty() const {
    for (bool member : members_)
        if (member)
            return false;
    return true;
}

void MvType::add(MvTypeEnum t) {
    if (t >= 0 && t < MvTypeCount)
        members_[t] = true;
}

void MvType::setReference(bool reference) { reference_ = reference; }

bool MvType::isReference() const { return reference_; }

bool MvType::operator==(const MvType& other) const {
    return std::memcmp(members_, other.members_, sizeof members_) == 0 &&
           reference_ == other.reference_;
}

const char* MvType::typeNameOrNull(int t) {
    return t >= 0 && t < MvTypeCount ? kTypeNames[t] : nullptr;
}

const char* MvType::typeName(MvTypeEnum t) {
    const char* name = typeNameOrNull(t);
    if (!name)
        MvRaise("Unknown type");
    return name;
}

MvTypeEnum MvType::typeFromName(const char* name) {
    if (!name)
        return MvTypeUndefined;
    for (MvTypeEnum kind : kNamedKinds)
        if (std::strcmp(kTypeNames[kind], name) == 0)
            return kind;
    return MvTypeUndefined;
}

std::ostream& operator<<(std::ostream& out, const MvType& type) {
    if (type.isAny())
        return out << "any";
    int count = 0;
    for (int i = 0; i < MvTypeCount; ++i)
        count += type.contains(MvTypeEnum(i));
    if (count == 0)
        return out << "none";
    if (count > 1)
        out << '(';
    bool first = true;
    for (int i = 0; i < MvTypeCount; ++i) {
        if (!type.contains(MvTypeEnum(i)))
            continue;
        if (!first)
            out << " | ";
        first = false;
        const char* name = MvType::typeNameOrNull(i);
        if (name)
            out << name;
        else
            out << "reserved" << i;
    }
    if (count > 1)
        out << ')';
    return out;
}
