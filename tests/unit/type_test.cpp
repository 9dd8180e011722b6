// The type vocabulary: MvType sets and their text, type names both ways, the
// property-name table both ways, and the fixed result-type and coercion
// tables of the arithmetic dispatch.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string text(const MvType& t) {
    std::ostringstream out;
    out << t;
    return out.str();
}

MvTypeEnum E(int i) { return static_cast<MvTypeEnum>(i); }

// The 15 kinds that have names, with those names, in enumeration order.
const std::vector<std::pair<MvTypeEnum, std::string>>& namedKinds() {
    static const std::vector<std::pair<MvTypeEnum, std::string>> kinds = {
        {MvTypeNumber, "number"},         {MvTypeBoolean, "boolean"},
        {MvTypeVector, "vector"},         {MvTypeColor, "color"},
        {MvTypeVideoSource, "videosource"}, {MvTypeMovie, "movie"},
        {MvTypeText, "text"},             {MvTypeDate, "date"},
        {MvTypeList, "list"},             {MvTypeVideoOutput, "video_output"},
        {MvTypeFrameMono, "frame_mono"},  {MvTypeFrame, "frame"},
        {MvTypeImageMono, "image_mono"},  {MvTypeImage, "image"},
        {MvTypeUndefined, "undefined"}};
    return kinds;
}

// ---------------------------------------------------------------------------
// MvType sets

TEST(TypeSet, LayoutIsSeventeenMemberBytesThenReferenceByte) {
    EXPECT_EQ(sizeof(MvType), 18u);
    MvType t = MvTypeText | MvTypeImage;
    t.setReference(true);
    unsigned char bytes[18];
    std::memcpy(bytes, &t, sizeof bytes);
    for (int i = 0; i < 17; ++i)
        EXPECT_EQ(bytes[i] != 0, i == MvTypeText || i == MvTypeImage) << "byte " << i;
    EXPECT_NE(bytes[17], 0);

    MvType plain(MvTypeNumber);
    std::memcpy(bytes, &plain, sizeof bytes);
    EXPECT_NE(bytes[0], 0);
    for (int i = 1; i < 18; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(TypeSet, EmptySet) {
    MvType t;
    EXPECT_TRUE(t.isEmpty());
    EXPECT_FALSE(t.isAny());
    EXPECT_FALSE(t.isReference());
    for (int i = 0; i < MvTypeCount; ++i)
        EXPECT_FALSE(t.contains(E(i))) << i;
    EXPECT_EQ(text(t), "none");
}

TEST(TypeSet, AnyHasAllSeventeenIncludingReserved) {
    MvType t = MvType::MvTypeAny();
    EXPECT_TRUE(t.isAny());
    EXPECT_FALSE(t.isEmpty());
    EXPECT_FALSE(t.isReference());
    for (int i = 0; i < MvTypeCount; ++i)
        EXPECT_TRUE(t.contains(E(i))) << i;
    EXPECT_EQ(text(t), "any");
}

TEST(TypeSet, SixteenMembersAreNotAny) {
    // Built up from the empty set: one member short of the full set is not
    // "any", whichever member is missing (the reserved ones included).
    for (int missing = 0; missing < MvTypeCount; ++missing) {
        MvType t;
        for (int i = 0; i < MvTypeCount; ++i)
            if (i != missing)
                t.add(E(i));
        EXPECT_FALSE(t.isAny()) << missing;
        t.add(E(missing));
        EXPECT_TRUE(t.isAny()) << missing;
        EXPECT_EQ(t, MvType::MvTypeAny()) << missing;
    }
}

TEST(TypeSet, SingleMemberPrintsItsName) {
    for (const auto& [kind, name] : namedKinds()) {
        MvType t(kind);
        EXPECT_FALSE(t.isEmpty());
        EXPECT_FALSE(t.isAny());
        EXPECT_FALSE(t.isReference());
        EXPECT_TRUE(t.contains(kind));
        EXPECT_EQ(text(t), name);
    }
}

TEST(TypeSet, SeveralMembersPrintInEnumerationOrder) {
    EXPECT_EQ(text(MvTypeText | MvTypeNumber), "(number | text)");
    EXPECT_EQ(text(MvTypeNumber | MvTypeText), "(number | text)");
    EXPECT_EQ(text(MvType(MvTypeUndefined) | MvTypeImage | MvTypeBoolean),
              "(boolean | image | undefined)");
    EXPECT_EQ(text(MvType(MvTypeFrame) | MvTypeFrameMono | MvTypeImageMono | MvTypeImage),
              "(frame_mono | frame | image_mono | image)");
}

TEST(TypeSet, AllNamedKindsButNotReserved) {
    MvType t;
    std::string expected = "(";
    for (const auto& [kind, name] : namedKinds()) {
        t.add(kind);
        if (expected.size() > 1)
            expected += " | ";
        expected += name;
    }
    expected += ")";
    EXPECT_FALSE(t.isAny());
    EXPECT_EQ(text(t), expected);
}

TEST(TypeSet, EnumPairOperator) {
    MvType t = MvTypeColor | MvTypeDate;
    EXPECT_TRUE(t.contains(MvTypeColor));
    EXPECT_TRUE(t.contains(MvTypeDate));
    EXPECT_FALSE(t.contains(MvTypeNumber));
    EXPECT_FALSE(t.isReference());
    // The same kind twice is a one-member set.
    MvType same = MvTypeList | MvTypeList;
    EXPECT_EQ(same, MvType(MvTypeList));
    EXPECT_EQ(text(same), "list");
}

TEST(TypeSet, UnionOfSetsClearsReferenceFlag) {
    MvType a(MvTypeNumber);
    a.setReference(true);
    MvType b(MvTypeText);
    b.setReference(true);
    MvType u = a | b;
    EXPECT_TRUE(u.contains(MvTypeNumber));
    EXPECT_TRUE(u.contains(MvTypeText));
    EXPECT_FALSE(u.isReference());
    // The operands themselves are unchanged.
    EXPECT_TRUE(a.isReference());
    EXPECT_FALSE(a.contains(MvTypeText));
    EXPECT_EQ(text(u), "(number | text)");
}

TEST(TypeSet, AddingOneKindKeepsReferenceFlag) {
    MvType a(MvTypeNumber);
    a.setReference(true);
    MvType r = a | MvTypeVector;
    EXPECT_TRUE(r.isReference());
    EXPECT_TRUE(r.contains(MvTypeNumber));
    EXPECT_TRUE(r.contains(MvTypeVector));
    EXPECT_FALSE(a.contains(MvTypeVector));

    MvType plain(MvTypeNumber);
    EXPECT_FALSE((plain | MvTypeVector).isReference());
}

TEST(TypeSet, ReferenceFlagToggles) {
    MvType t(MvTypeList);
    t.setReference(true);
    EXPECT_TRUE(t.isReference());
    t.setReference(false);
    EXPECT_FALSE(t.isReference());
    // The flag does not change membership or the text.
    t.setReference(true);
    EXPECT_EQ(text(t), "list");
}

TEST(TypeSet, AddIsIdempotent) {
    MvType t;
    t.add(MvTypeMovie);
    t.add(MvTypeMovie);
    EXPECT_EQ(t, MvType(MvTypeMovie));
    EXPECT_EQ(text(t), "movie");
}

// ---------------------------------------------------------------------------
// Type names

TEST(TypeNames, EveryNamedKind) {
    for (const auto& [kind, name] : namedKinds()) {
        EXPECT_STREQ(MvType::typeName(kind), name.c_str());
        EXPECT_STREQ(MvType::typeNameOrNull(kind), name.c_str());
    }
}

TEST(TypeNames, ReservedAndOutOfRangeRaise) {
    for (int bad : {3, 4, 17, 18, 1000}) {
        EXPECT_EQ(thrownMessage([bad] { MvType::typeName(E(bad)); }), "Unknown type") << bad;
        EXPECT_EQ(MvType::typeNameOrNull(bad), nullptr) << bad;
    }
}

TEST(TypeNames, FromNameForTheFourteenKinds) {
    for (const auto& [kind, name] : namedKinds()) {
        if (kind == MvTypeUndefined)
            continue;
        EXPECT_EQ(MvType::typeFromName(name.c_str()), kind) << name;
    }
}

TEST(TypeNames, FromNameOtherwiseUndefined) {
    for (const char* name : {"undefined", "Number", "NUMBER", "", "num", "numbers", " number",
                             "number ", "video_source", "videooutput", "image mono", "any",
                             "none"})
        EXPECT_EQ(MvType::typeFromName(name), MvTypeUndefined) << '"' << name << '"';
}

// ---------------------------------------------------------------------------
// Property names

const std::array<const char*, 44>& propertyNames() {
    // Index = id; 0 and 28 have no name.
    static const std::array<const char*, 44> names = {
        nullptr,        "type",       "frame",       "width",
        "height",       "size",       "offset",      "length",
        "red",          "green",      "blue",        "intensity",
        "duration",     "frame_rate", "compression", "overlay_compression",
        "depth",        "graphics_mode", "quality",  "temporal_quality",
        "name",         "movie",      "time_code",   "second",
        "minute",       "hour",       "day_of_week", "day_of_month",
        nullptr,        "month",      "year",        "mask",
        "SafeAppendMode", "trigger",  "hue",         "saturation",
        "brightness",   "black_level", "white_level", "contrast",
        "sharpness",    "gamma",      "input",       "input_format"};
    return names;
}

TEST(PropertyTable, NameToIdForEveryName) {
    for (int id = 1; id <= 43; ++id) {
        const char* name = propertyNames()[id];
        if (!name)
            continue;
        EXPECT_EQ(MvPropertyIdFromName(name), id) << name;
    }
}

TEST(PropertyTable, IdToNameForEveryId) {
    for (int id = 1; id <= 43; ++id) {
        const char* name = propertyNames()[id];
        if (!name)
            continue;
        EXPECT_STREQ(MvPropertyNameFromId(id), name) << id;
    }
}

TEST(PropertyTable, EnumeratorsMatchTheTable) {
    EXPECT_EQ(MvPropType, 1);
    EXPECT_EQ(MvPropLength, 7);
    EXPECT_EQ(MvPropDayOfMonth, 27);
    EXPECT_EQ(MvPropUnnamed28, 28);
    EXPECT_EQ(MvPropMonth, 29);
    EXPECT_EQ(MvPropSafeAppendMode, 32);
    EXPECT_EQ(MvPropInputFormat, 43);
    EXPECT_EQ(MvPropertyIdCount, 43);
}

TEST(PropertyTable, UnnamedAndOutOfRangeIdsRaise) {
    for (int bad : {28, 0, 44, -1, 100})
        EXPECT_EQ(thrownMessage([bad] { MvPropertyNameFromId(bad); }), "Unknown property name")
            << bad;
}

TEST(PropertyTable, UnknownNamesGiveZero) {
    for (const char* name : {"", "Width", "TYPE", "safeappendmode", "widths", "widt",
                             "frame rate", "day of week", "unknown", "28"})
        EXPECT_EQ(MvPropertyIdFromName(name), 0) << '"' << name << '"';
}

// ---------------------------------------------------------------------------
// Result-type tables

using Table = std::array<std::array<MvTypeEnum, 17>, 17>;

Table undefinedTable() {
    Table t;
    for (auto& row : t)
        row.fill(MvTypeUndefined);
    return t;
}

void define(Table& t, MvTypeEnum left, std::initializer_list<MvTypeEnum> rights,
            MvTypeEnum result) {
    for (MvTypeEnum r : rights)
        t[left][r] = result;
}

// Rows shared by subtraction, multiplication and division.
void defineCommonRows(Table& t) {
    define(t, MvTypeNumber, {MvTypeNumber}, MvTypeNumber);
    define(t, MvTypeVector, {MvTypeNumber, MvTypeVector}, MvTypeVector);
    define(t, MvTypeColor, {MvTypeNumber, MvTypeVector, MvTypeColor}, MvTypeColor);
    define(t, MvTypeFrameMono, {MvTypeNumber, MvTypeColor, MvTypeFrameMono}, MvTypeFrameMono);
    define(t, MvTypeFrame, {MvTypeNumber, MvTypeColor, MvTypeFrameMono, MvTypeFrame},
           MvTypeFrame);
    define(t, MvTypeImageMono, {MvTypeNumber, MvTypeColor, MvTypeFrameMono, MvTypeImageMono},
           MvTypeImageMono);
    define(t, MvTypeImage,
           {MvTypeNumber, MvTypeColor, MvTypeFrameMono, MvTypeFrame, MvTypeImageMono, MvTypeImage},
           MvTypeImage);
}

Table expectedAdd() {
    Table t = undefinedTable();
    define(t, MvTypeNumber, {MvTypeNumber}, MvTypeNumber);
    define(t, MvTypeNumber, {MvTypeText}, MvTypeText);
    define(t, MvTypeBoolean, {MvTypeText}, MvTypeText);
    define(t, MvTypeVector, {MvTypeNumber, MvTypeVector}, MvTypeVector);
    define(t, MvTypeVector, {MvTypeText}, MvTypeText);
    define(t, MvTypeColor, {MvTypeNumber, MvTypeVector, MvTypeColor}, MvTypeColor);
    define(t, MvTypeColor, {MvTypeText}, MvTypeText);
    define(t, MvTypeMovie,
           {MvTypeMovie, MvTypeFrameMono, MvTypeFrame, MvTypeImageMono, MvTypeImage}, MvTypeMovie);
    define(t, MvTypeText,
           {MvTypeNumber, MvTypeBoolean, MvTypeVector, MvTypeColor, MvTypeText, MvTypeDate},
           MvTypeText);
    define(t, MvTypeDate, {MvTypeNumber}, MvTypeDate);
    define(t, MvTypeDate, {MvTypeText}, MvTypeText);
    define(t, MvTypeFrameMono, {MvTypeNumber, MvTypeColor, MvTypeText, MvTypeFrameMono},
           MvTypeFrameMono);
    define(t, MvTypeFrame, {MvTypeNumber, MvTypeColor, MvTypeText, MvTypeFrameMono, MvTypeFrame},
           MvTypeFrame);
    define(t, MvTypeImageMono,
           {MvTypeNumber, MvTypeColor, MvTypeText, MvTypeFrameMono, MvTypeImageMono},
           MvTypeImageMono);
    define(t, MvTypeImage,
           {MvTypeNumber, MvTypeColor, MvTypeText, MvTypeFrameMono, MvTypeFrame, MvTypeImageMono,
            MvTypeImage},
           MvTypeImage);
    return t;
}

Table expectedSubtract() {
    Table t = undefinedTable();
    defineCommonRows(t);
    define(t, MvTypeDate, {MvTypeNumber}, MvTypeDate);
    define(t, MvTypeDate, {MvTypeDate}, MvTypeNumber);
    return t;
}

Table expectedMultiplyOrDivide() {
    Table t = undefinedTable();
    defineCommonRows(t);
    return t;
}

void compareTable(MvArithmeticOp op, const Table& expected, const char* opName) {
    int mismatches = 0;
    for (int l = 0; l < 17; ++l)
        for (int r = 0; r < 17; ++r) {
            MvTypeEnum got = MvResultType(op, E(l), E(r));
            if (got != expected[l][r]) {
                ++mismatches;
                ADD_FAILURE() << opName << " (" << l << ", " << r << "): expected "
                              << expected[l][r] << ", got " << got;
            }
        }
    EXPECT_EQ(mismatches, 0) << opName;
}

TEST(ResultTypeTable, Add) { compareTable(MvArithmeticOp::Add, expectedAdd(), "add"); }

TEST(ResultTypeTable, Subtract) {
    compareTable(MvArithmeticOp::Subtract, expectedSubtract(), "subtract");
}

TEST(ResultTypeTable, Multiply) {
    compareTable(MvArithmeticOp::Multiply, expectedMultiplyOrDivide(), "multiply");
}

TEST(ResultTypeTable, Divide) {
    compareTable(MvArithmeticOp::Divide, expectedMultiplyOrDivide(), "divide");
}

TEST(ResultTypeTable, TellingCells) {
    // A few cells spelled out, so a failure reads plainly.
    EXPECT_EQ(MvResultType(MvArithmeticOp::Add, MvTypeNumber, MvTypeText), MvTypeText);
    EXPECT_EQ(MvResultType(MvArithmeticOp::Add, MvTypeText, MvTypeNumber), MvTypeText);
    EXPECT_EQ(MvResultType(MvArithmeticOp::Add, MvTypeBoolean, MvTypeNumber), MvTypeUndefined);
    EXPECT_EQ(MvResultType(MvArithmeticOp::Add, MvTypeNumber, MvTypeVector), MvTypeUndefined);
    EXPECT_EQ(MvResultType(MvArithmeticOp::Add, MvTypeText, MvTypeFrame), MvTypeUndefined);
    EXPECT_EQ(MvResultType(MvArithmeticOp::Add, MvTypeFrame, MvTypeText), MvTypeFrame);
    EXPECT_EQ(MvResultType(MvArithmeticOp::Subtract, MvTypeDate, MvTypeDate), MvTypeNumber);
    EXPECT_EQ(MvResultType(MvArithmeticOp::Subtract, MvTypeText, MvTypeText), MvTypeUndefined);
    EXPECT_EQ(MvResultType(MvArithmeticOp::Multiply, MvTypeDate, MvTypeNumber), MvTypeUndefined);
    EXPECT_EQ(MvResultType(MvArithmeticOp::Divide, MvTypeFrameMono, MvTypeFrame),
              MvTypeUndefined);
}

// ---------------------------------------------------------------------------
// Coercion table

TEST(CoercionTable, EveryCell) {
    std::array<std::array<bool, 17>, 17> expected{};
    for (int i = 0; i < 17; ++i)
        expected[i][i] = true;  // every type coerces to itself
    auto allow = [&expected](MvTypeEnum from, std::initializer_list<MvTypeEnum> targets) {
        for (MvTypeEnum to : targets)
            expected[from][to] = true;
    };
    allow(MvTypeNumber, {MvTypeVector, MvTypeColor, MvTypeText});
    allow(MvTypeBoolean, {MvTypeText});
    allow(MvTypeVector, {MvTypeNumber, MvTypeColor, MvTypeText, MvTypeList});
    allow(MvTypeColor, {MvTypeNumber, MvTypeVector, MvTypeText});
    allow(MvTypeVideoSource, {MvTypeText});
    allow(MvTypeMovie, {MvTypeText});
    allow(MvTypeText, {MvTypeNumber, MvTypeVector, MvTypeList});
    allow(MvTypeDate, {MvTypeText});
    allow(MvTypeList, {MvTypeVector, MvTypeText, MvTypeImageMono});
    allow(MvTypeVideoOutput, {MvTypeText});
    for (MvTypeEnum image : {MvTypeFrameMono, MvTypeFrame, MvTypeImageMono, MvTypeImage})
        allow(image, {MvTypeText, MvTypeFrameMono, MvTypeFrame, MvTypeImageMono, MvTypeImage});

    int mismatches = 0;
    for (int f = 0; f < 17; ++f)
        for (int t = 0; t < 17; ++t)
            if (MvCoercionExists(E(f), E(t)) != expected[f][t]) {
                ++mismatches;
                ADD_FAILURE() << "coercion (" << f << " -> " << t << "): expected "
                              << expected[f][t];
            }
    EXPECT_EQ(mismatches, 0);
}

TEST(CoercionTable, UndefinedReachesOnlyItself) {
    for (int t = 0; t < 16; ++t)
        EXPECT_FALSE(MvCoercionExists(MvTypeUndefined, E(t))) << t;
    EXPECT_TRUE(MvCoercionExists(MvTypeUndefined, MvTypeUndefined));
    // Nothing coerces to the no-value but the no-value.
    for (int f = 0; f < 16; ++f)
        EXPECT_FALSE(MvCoercionExists(E(f), MvTypeUndefined)) << f;
}

} // namespace
