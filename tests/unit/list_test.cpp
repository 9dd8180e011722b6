// Lists: element errors at the end, insertion, sharing and copy on write,
// text form, coercions, and lists saved to value files and loaded back.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

MvValueHolder number(double v) { return MvValueHolder(MvNumberCreate(v)); }
MvValueHolder text(const char* s) { return MvValueHolder(MvTextCreate(s)); }

MvValueHolder listOf(std::initializer_list<double> numbers) {
    MvValue* list = MvListCreate();
    for (double v : numbers)
        MvListAppend(MvValueAsList(list), MvNumberCreate(v));
    return MvValueHolder(list);
}

MvValueHolder vectorOf(std::initializer_list<double> numbers) {
    MvValue* vector = MvVectorCreate();
    for (double v : numbers)
        MvVectorAppend(MvValueAsVector(vector), v);
    return MvValueHolder(vector);
}

MvValue* at(MvValueHolder& list, double i) { return list->GetElement(number(i).get(), false).get(); }

// ------------------------------------------------------------ element errors

TEST(ListElements, EveryOperationFailsAtTheEndOfThreeElements) {
    MvValueHolder list = listOf({10, 20, 30});
    MvValueHolder three = number(3);
    MvValueHolder x = number(99);
    EXPECT_EQ(messageOf([&] { list->GetElement(three.get(), false); }),
              "List index (3) out of range.");
    EXPECT_EQ(messageOf([&] { list->DeleteElement(three.get()); }),
              "Index too big. Can't delete elements not in the list.");
    EXPECT_EQ(messageOf([&] { list->SetElement(three.get(), x.get()); }),
              "Index too big. Use append to add elements to the end of a list.");
    EXPECT_EQ(messageOf([&] { list->Insert(x, three.get()); }),
              "Cannot insert an element after the end of a list");
    EXPECT_EQ(list->GetText(), "10\n20\n30");
    EXPECT_EQ(at(list, 2)->GetNumber(), 30);
}

TEST(ListElements, NegativeIndexIsAVeryLargeOne) {
    MvValueHolder list = listOf({1});
    EXPECT_EQ(messageOf([&] { list->GetElement(number(-1).get(), false); }),
              "List index (4294967295) out of range.");
    // Truncation toward zero: -0.5 is position 0, 0.9 is position 0.
    EXPECT_EQ(at(list, -0.5)->GetNumber(), 1);
    EXPECT_EQ(at(list, 0.9)->GetNumber(), 1);
}

TEST(ListElements, EmptyListHasNoPositionAtAll) {
    MvValueHolder list(MvListCreate());
    MvValueHolder zero = number(0);
    MvValueHolder x = number(1);
    EXPECT_EQ(messageOf([&] { list->GetElement(zero.get(), false); }),
              "List index (0) out of range.");
    EXPECT_EQ(messageOf([&] { list->Prepend(x); }),
              "Cannot insert an element after the end of a list");
    EXPECT_EQ(messageOf([&] { list->DeleteElement(zero.get()); }),
              "Index too big. Can't delete elements not in the list.");
    list->Append(x);
    EXPECT_EQ(list->GetText(), "1");
}

TEST(ListElements, InsertPrependAndDeleteKeepTheOrder) {
    MvValueHolder list = listOf({1, 2, 3});
    MvValueHolder seven = number(7);
    MvValueHolder zero = number(0);
    list->Insert(seven, number(1).get());
    EXPECT_EQ(list->GetText(), "1\n7\n2\n3");
    list->Prepend(zero);
    EXPECT_EQ(list->GetText(), "0\n1\n7\n2\n3");
    list->DeleteElement(number(2).get());
    EXPECT_EQ(list->GetText(), "0\n1\n2\n3");
    list->SetElement(number(3).get(), text("end").get());
    EXPECT_EQ(list->GetText(), "0\n1\n2\nend");
}

// ------------------------------------------------------------ sharing

TEST(ListSharing, ElementsAreFurtherReferencesNotCopies) {
    MvValueHolder list(MvListCreate());
    MvValueHolder element = number(5);
    list->Append(element);
    list->SetElement(number(0).get(), element.get());
    EXPECT_EQ(at(list, 0), element.get());
    MvValueHolder copy(list->Clone());
    EXPECT_EQ(at(copy, 0), element.get());
}

TEST(ListSharing, ForWriteCopiesOnlyASharedElement) {
    MvValueHolder list(MvListCreate());
    MvValueHolder shared = number(5);
    list->Append(shared);
    MvListAppend(MvValueAsList(list.get()), MvNumberCreate(6));
    MvValue* alone = at(list, 1);

    MvValue* written = list->GetElement(number(0).get(), true).get();
    EXPECT_NE(written, shared.get());
    EXPECT_EQ(written->GetNumber(), 5);
    EXPECT_EQ(at(list, 0), written);
    EXPECT_EQ(list->GetElement(number(1).get(), true).get(), alone);
}

TEST(ListSharing, AppendOfAFreshValueTakesOverItsReference) {
    MvValueHolder list(MvListCreate());
    MvValue* fresh = MvNumberCreate(1);
    MvListAppend(MvValueAsList(list.get()), fresh);
    EXPECT_EQ(fresh->refCount, 1u);
    MvValueHolder held = number(2);
    MvListAppend(MvValueAsList(list.get()), held.get());
    EXPECT_EQ(held->refCount, 2u);
    EXPECT_EQ(MvValueAsList(held.get()), nullptr);
}

// ------------------------------------------------------------ text, properties, coercion

TEST(ListText, LineEndsBetweenElementsOnly) {
    EXPECT_EQ(MvValueHolder(MvListCreate())->GetText(), "");
    EXPECT_EQ(listOf({1, 2})->GetText(), "1\n2");
    MvValueHolder mixed = listOf({0.5});
    MvValueHolder vector = vectorOf({1, 2.5});
    mixed->Append(vector);
    EXPECT_EQ(mixed->GetText(), "0.5\n1\t2.5");
}

TEST(ListProperties, LengthAndType) {
    MvValueHolder list = listOf({1, 2, 3});
    ASSERT_EQ(list->GetPropertyId("length"), 7);
    EXPECT_EQ(MvValueHolder(list->GetProperty(7))->GetNumber(), 3);
    EXPECT_EQ(MvValueHolder(list->GetProperty(1))->GetText(), "list");
    EXPECT_EQ(list->GetPropertyId("width"), 0);
}

TEST(ListCoercion, NumbersToVectorAndTheRestByTheTable) {
    MvValueHolder list = listOf({1, 2.5});
    MvValueHolder r;
    list->Coerce(r, MvTypeVector);
    EXPECT_EQ(*r->GetVector(), (std::vector<double>{1, 2.5}));
    list->Coerce(r, MvTypeList);
    EXPECT_EQ(r.get(), list.get());
    list->Coerce(r, MvTypeText);
    EXPECT_EQ(r->GetText(), "1\n2.5");
    EXPECT_EQ(messageOf([&] { list->Coerce(r, MvTypeNumber); }),
              "Coercion from (list) to (number) is not possible.");
    MvValueHolder word = text("x");
    list->Append(word);
    EXPECT_EQ(messageOf([&] { list->Coerce(r, MvTypeVector); }),
              "Type mismatch error, expecting (number)");
}

TEST(ListCoercion, TextBecomesAListOfWords) {
    MvValueHolder r;
    text("a bb\tc\n")->Coerce(r, MvTypeList);
    EXPECT_EQ(r->GetText(), "a\nbb\nc");
    EXPECT_EQ(MvValueGetMvType(at(r, 1)), MvTypeText);
    text("")->Coerce(r, MvTypeList);
    EXPECT_EQ(MvValueHolder(r->GetProperty(7))->GetNumber(), 0);
}

// ------------------------------------------------------------ value files

class ListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/morvane-list-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(ListFileTest, NumberVectorColorAndDateLoadBackEqual) {
    MvValueHolder list = listOf({42});
    MvValueHolder vector = vectorOf({1, -2.5, 1e300});
    MvValueHolder color(MvColorValueCreate(0.2, 0.4, 0.6));
    MvValueHolder date(MvDateTimeValueCreate(nullptr));
    for (MvValueHolder* element : {&vector, &color, &date})
        list->Append(*element);
    list->SaveToFile(path("list.val").c_str());

    MvValueHolder loaded(LoadValueFromFile(path("list.val").c_str()));
    ASSERT_EQ(MvValueGetMvType(loaded.get()), MvTypeList);
    ASSERT_EQ(MvValueHolder(loaded->GetProperty(7))->GetNumber(), 4);
    EXPECT_TRUE(at(loaded, 0)->IsEqual(at(list, 0)));
    EXPECT_TRUE(at(loaded, 1)->IsEqual(vector.get()));
    EXPECT_TRUE(at(loaded, 2)->IsEqual(color.get()));
    EXPECT_TRUE(at(loaded, 3)->IsEqual(date.get()));
    EXPECT_EQ(at(loaded, 3)->GetText(), date->GetText());
}

TEST_F(ListFileTest, ATextElementCannotBeSaved) {
    MvValueHolder list = listOf({1});
    MvValueHolder word = text("x");
    list->Append(word);
    EXPECT_EQ(messageOf([&] { list->SaveToFile(path("bad.val").c_str()); }),
              "File error(Cannot write undefined type to file)");
}

std::string littleEndian32(std::uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

std::string readMessage(const std::string& body) {
    std::istringstream in(body);
    return messageOf([&] { delete ReadValue(in); });
}

TEST(ListFileBody, CountThenTypedElements) {
    MvValueHolder list = listOf({1});
    std::ostringstream out;
    list->Write(out);
    const std::string one("\x00\x00\x00\x00\x00\x00\xf0\x3f", 8);
    EXPECT_EQ(out.str(), littleEndian32(1) + littleEndian32(MvTypeNumber) + one);
}

TEST(ListFileBody, MalformedBodiesRaiseErrors) {
    const std::string failed = "File error(Reading list data failed.)";
    const std::string list = littleEndian32(MvTypeList);
    EXPECT_EQ(readMessage(list), failed);
    EXPECT_EQ(readMessage(list + std::string("\x01\x00", 2)), failed);
    EXPECT_EQ(readMessage(list + littleEndian32(2) + littleEndian32(MvTypeBoolean) + "\x01"),
              failed);
    EXPECT_EQ(readMessage(list + littleEndian32(0xFFFFFFFF)), failed);
    EXPECT_EQ(readMessage(list + littleEndian32(1) + littleEndian32(3)), failed);
    EXPECT_EQ(readMessage(list + littleEndian32(1) + littleEndian32(MvTypeNumber) + "abc"),
              "File error(Reading number data failed.)");
}

TEST(ListFileBody, NestingIsBounded) {
    std::string nested;
    for (int i = 0; i < 100; ++i)
        nested += littleEndian32(MvTypeList) + littleEndian32(1);
    std::istringstream shallow(nested + littleEndian32(MvTypeList) + littleEndian32(0));
    MvValueHolder loaded(ReadValue(shallow));
    EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeList);

    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += littleEndian32(MvTypeList) + littleEndian32(1);
    EXPECT_EQ(readMessage(deep), "File error(Reading list data failed: lists nested too deeply.)");
}

} // namespace
