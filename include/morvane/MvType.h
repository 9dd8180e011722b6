// The kinds of script values and sets of kinds.
//
// MvTypeEnum numbers are part of the plug-in interface and of the value file
// format: they never change. 3 and 4 are reserved and name no kind.
// MvType is a set of kinds plus a by-reference flag, passed by value across
// the plug-in interface, so its layout is fixed at 18 bytes.
#ifndef MORVANE_MVTYPE_H
#define MORVANE_MVTYPE_H

#include "MvExport.h"

#include <iosfwd>

enum MvTypeEnum {
    MvTypeNumber = 0,
    MvTypeBoolean = 1,
    MvTypeVector = 2,
    MvTypeReserved3 = 3,
    MvTypeReserved4 = 4,
    MvTypeColor = 5,
    MvTypeVideoSource = 6,
    MvTypeMovie = 7,
    MvTypeText = 8,
    MvTypeDate = 9,
    MvTypeList = 10,
    MvTypeVideoOutput = 11,
    MvTypeFrameMono = 12,
    MvTypeFrame = 13,
    MvTypeImageMono = 14,
    MvTypeImage = 15,
    MvTypeUndefined = 16
};

constexpr int MvTypeCount = 17;

class MV_EXPORT MvType {
public:
    MvType();                    // the empty set
    MvType(MvTypeEnum t);        // {t}
    static MvType MvTypeAny();   // all 17 members, the reserved ones included

    MvType operator|(const MvType& other) const;   // union; reference flag clear
    MvType operator|(MvTypeEnum t) const;          // adds t; keeps the reference flag

    bool contains(MvTypeEnum t) const;
    bool isAny() const;          // all 17 members present
    bool isEmpty() const;
    void add(MvTypeEnum t);

    void setReference(bool reference);
    bool isReference() const;

    bool operator==(const MvType& other) const;
    bool operator!=(const MvType& other) const { return !(*this == other); }

    // The name of one kind; raises "Unknown type" for 3, 4 and above 16.
    static const char* typeName(MvTypeEnum t);
    // The name of one kind, or null for the reserved and out-of-range values.
    static const char* typeNameOrNull(int t);
    // The kind named by one of the 14 value-kind names, else MvTypeUndefined.
    static MvTypeEnum typeFromName(const char* name);

private:
    bool members_[MvTypeCount];
    bool reference_;
};

static_assert(sizeof(MvType) == 18, "MvType is 17 member bytes and one reference byte");

MV_EXPORT MvType operator|(MvTypeEnum a, MvTypeEnum b);

// "any", "none", a single name, or "(" names " | " ... ")" in kind order.
MV_EXPORT std::ostream& operator<<(std::ostream& out, const MvType& type);

#endif
