// Deeply nested lists: freed without recursion at any depth; the text form,
// comparison with a text, saving and loading stop at 1000 nested lists with
// an error, and a save that stops leaves no file behind.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kLimit = 1000;   // the deepest nesting the walks accept
const std::string kTooDeep = "The value is nested too deeply.";

// depth lists, each holding the next; the innermost holds the number 7.
MvValueHolder nested(int depth) {
    MvValue* inner = MvListCreate();
    MvListAppend(MvValueAsList(inner), MvNumberCreate(7));
    for (int level = 1; level < depth; ++level) {
        MvValue* outer = MvListCreate();
        MvListAppend(MvValueAsList(outer), inner);
        inner = outer;
    }
    return MvValueHolder(inner);
}

std::string littleEndian32(std::uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// A list body nesting depth lists around the empty innermost one.
std::string nestedBody(int depth) {
    std::string body;
    for (int level = 1; level < depth; ++level)
        body += littleEndian32(MvTypeList) + littleEndian32(1);
    return body + littleEndian32(MvTypeList) + littleEndian32(0);
}

class NestingFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "mv_nesting_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

TEST(Nesting, AMillionNestedListsAreFreedWithoutRecursion) {
    MvValueHolder deep = nested(1000000);
    // A second holder of an inner part: freeing the outer part must leave it.
    MvValueHolder middle = deep;
    for (int i = 0; i < 10; ++i)
        middle = middle->GetElement(MvValueHolder(MvNumberCreate(0)).get(), false);
    deep.release();
    EXPECT_EQ(MvValueGetMvType(middle.get()), MvTypeList);
    middle.release();
}

TEST(Nesting, ManyShallowListsSharingOneDeepListAreFreed) {
    MvValueHolder deep = nested(200000);
    MvValueHolder wide(MvListCreate());
    for (int i = 0; i < 1000; ++i)
        wide->Append(deep);
    deep.release();
    wide.release();
}

TEST(Nesting, TextFormStopsBeyondTheLimit) {
    MvValueHolder atLimit = nested(kLimit);
    EXPECT_EQ(atLimit->GetText(), "7");
    MvValueHolder beyond = nested(kLimit + 1);
    EXPECT_EQ(messageOf([&] { beyond->GetText(); }), kTooDeep);
    MvValueHolder asText;
    EXPECT_EQ(messageOf([&] { beyond->Coerce(asText, MvTypeText); }), kTooDeep);
    MvValueHolder word(MvTextCreate("7"));
    EXPECT_EQ(messageOf([&] { word->IsEqual(beyond.get()); }), kTooDeep);
    EXPECT_TRUE(word->IsEqual(atLimit.get()));
    MvValueHolder million = nested(1000000);
    EXPECT_EQ(messageOf([&] { million->GetText(); }), kTooDeep);
}

TEST_F(NestingFiles, SavingAtTheLimitLoadsBackAndBeyondLeavesNoFile) {
    MvValueHolder atLimit = nested(kLimit);
    atLimit->SaveToFile(path("limit.val").c_str());
    MvValueHolder loaded(LoadValueFromFile(path("limit.val").c_str()));
    EXPECT_EQ(loaded->GetText(), "7");

    MvValueHolder beyond = nested(kLimit + 1);
    EXPECT_EQ(messageOf([&] { beyond->SaveToFile(path("beyond.val").c_str()); }), kTooDeep);
    MvValueHolder million = nested(1000000);
    EXPECT_EQ(messageOf([&] { million->SaveToFile(path("limit.val").c_str()); }), kTooDeep);
    // Only the first file is there, unchanged.
    EXPECT_EQ(entries(), 1u);
    MvValueHolder again(LoadValueFromFile(path("limit.val").c_str()));
    EXPECT_EQ(again->GetText(), "7");
}

TEST(Nesting, ReadingStopsBeyondTheLimit) {
    std::istringstream atLimit(littleEndian32(MvTypeList) + nestedBody(kLimit).substr(4));
    MvValueHolder loaded(ReadValue(atLimit));
    ASSERT_EQ(MvValueGetMvType(loaded.get()), MvTypeList);

    const std::string tooDeep = "File error(Reading list data failed: lists nested too deeply.)";
    for (int depth : {kLimit + 1, 100000}) {
        std::istringstream beyond(littleEndian32(MvTypeList) + nestedBody(depth).substr(4));
        EXPECT_EQ(messageOf([&] { delete ReadValue(beyond); }), tooDeep) << depth;
    }
}

TEST(Nesting, WritingABodyStopsBeyondTheLimit) {
    MvValueHolder beyond = nested(kLimit + 1);
    std::ostringstream out;
    EXPECT_EQ(messageOf([&] { beyond->Write(out); }), kTooDeep);
}

} // namespace
