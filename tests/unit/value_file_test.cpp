// Saving single values to files and loading them back: the header, the
// bodies of numbers and booleans, plain text files, and broken files.
#include "thrown_message.h"
#include "morvane/MvShared.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes littleEndian32(std::uint32_t v) {
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
}

Bytes littleEndianDouble(double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    Bytes out;
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<unsigned char>(bits >> (8 * i)));
    return out;
}

Bytes header(std::uint32_t type) {
    Bytes out = {0xAA, 0xAA, 0xAA, 0xAA};
    Bytes t = littleEndian32(type);
    out.insert(out.end(), t.begin(), t.end());
    return out;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Each test works in a directory of its own that is removed afterwards.
class ValueFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "mv_value_file_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    std::string path(const char* name) const { return (dir_ / name).string(); }

    void writeFile(const std::string& file, const Bytes& content) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(content.data()),
                  static_cast<std::streamsize>(content.size()));
        ASSERT_TRUE(out.good());
    }

    Bytes readFile(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    MvValueHolder saveAndLoad(MvValue* value, const char* name) {
        std::string file = path(name);
        value->SaveToFile(file.c_str());
        return MvValueHolder(LoadValueFromFile(file.c_str()));
    }

    MvValueHolder load(const std::string& file) {
        return MvValueHolder(LoadValueFromFile(file.c_str()));
    }

    fs::path dir_;
};

TEST_F(ValueFile, NumbersRoundTrip) {
    const double samples[] = {0.0, 5.0, -3.0, 0.1, -2.75e-3, 1.0 / 3.0, 1e300,
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::infinity()};
    for (double v : samples) {
        MvValueHolder original(MvNumberCreate(v));
        MvValueHolder loaded = saveAndLoad(original.get(), "n.val");
        ASSERT_TRUE(loaded) << v;
        EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeNumber) << v;
        EXPECT_EQ(MvNumberGetDoubleValue(loaded.get()), v) << v;
        EXPECT_TRUE(original->IsEqual(loaded.get())) << v;
    }
}

TEST_F(ValueFile, NegativeZeroKeepsItsSign) {
    MvValueHolder original(MvNumberCreate(-0.0));
    MvValueHolder loaded = saveAndLoad(original.get(), "z.val");
    EXPECT_TRUE(std::signbit(MvNumberGetDoubleValue(loaded.get())));
}

TEST_F(ValueFile, NumberFileBytes) {
    MvValueHolder n(MvNumberCreate(-1234.5625));
    std::string file = path("number.val");
    n->SaveToFile(file.c_str());
    EXPECT_EQ(readFile(file), header(0) + littleEndianDouble(-1234.5625));
    // 1.0 is 3F F0 00 .. 00; stored lowest byte first.
    MvValueHolder one(MvNumberCreate(1.0));
    one->SaveToFile(file.c_str());
    EXPECT_EQ(readFile(file), (Bytes{0xAA, 0xAA, 0xAA, 0xAA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0,
                                     0x3F}));
}

TEST_F(ValueFile, SavingReplacesAnExistingFile) {
    std::string file = path("replace.val");
    writeFile(file, Bytes(100, 'x'));
    MvValueHolder n(MvNumberCreate(2.0));
    n->SaveToFile(file.c_str());
    EXPECT_EQ(readFile(file), header(0) + littleEndianDouble(2.0));
}

TEST_F(ValueFile, BooleansRoundTripAndFileBytes) {
    for (bool v : {true, false}) {
        MvValueHolder original(MvBooleanCreate(v));
        std::string file = path("bool.val");
        original->SaveToFile(file.c_str());
        EXPECT_EQ(readFile(file), header(1) + Bytes{static_cast<unsigned char>(v ? 1 : 0)}) << v;
        MvValueHolder loaded = load(file);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeBoolean);
        EXPECT_EQ(loaded->GetBoolean(), v);
        EXPECT_TRUE(original->IsEqual(loaded.get()));
    }
}

TEST_F(ValueFile, AnyNonZeroBooleanByteIsTrue) {
    std::string file = path("bool.val");
    writeFile(file, header(1) + Bytes{0x7F});
    MvValueHolder loaded = load(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeBoolean);
    EXPECT_TRUE(loaded->GetBoolean());
    EXPECT_EQ(loaded->GetText(), "true");
}

TEST_F(ValueFile, TextSavesWithoutHeaderAndLoadsBack) {
    const std::string samples[] = {"hello", "", "two\nlines\n", "crlf\r\nend", "tab\there",
                                   std::string(1000, 'q')};
    for (const std::string& s : samples) {
        MvValueHolder original(
            MvTextCreateFromPointer(s.data(), static_cast<std::uint32_t>(s.size())));
        std::string file = path("text.txt");
        original->SaveToFile(file.c_str());
        EXPECT_EQ(readFile(file), bytesOf(s));
        MvValueHolder loaded = load(file);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeText);
        EXPECT_EQ(loaded->GetText(), s);
    }
}

TEST_F(ValueFile, FileWithoutHeaderLoadsAsText) {
    std::string file = path("plain.txt");
    writeFile(file, bytesOf("hello\n"));
    MvValueHolder loaded = load(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeText);
    EXPECT_EQ(loaded->GetText(), "hello\n");
}

TEST_F(ValueFile, NearlyAHeaderLoadsAsText) {
    std::string file = path("almost.txt");
    Bytes almost = Bytes{0xAA, 0xAA, 0xAA, 0xAB} + littleEndian32(0) + littleEndianDouble(1.0);
    writeFile(file, almost);
    MvValueHolder loaded = load(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeText);
    EXPECT_EQ(bytesOf(loaded->GetText()), almost);
}

TEST_F(ValueFile, FilesShorterThanTheMarkerLoadAsText) {
    const Bytes samples[] = {{}, {'a'}, {0xAA}, {0xAA, 0xAA, 0xAA}, {'a', 'b', 'c'}};
    for (const Bytes& content : samples) {
        std::string file = path("short");
        writeFile(file, content);
        MvValueHolder loaded = load(file);
        ASSERT_TRUE(loaded) << content.size();
        EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeText) << content.size();
        EXPECT_EQ(bytesOf(loaded->GetText()), content) << content.size();
    }
}

TEST_F(ValueFile, EmptyFileLoadsAsEmptyText) {
    std::string file = path("empty");
    writeFile(file, {});
    MvValueHolder loaded = load(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeText);
    EXPECT_EQ(loaded->GetText(), "");
}

TEST_F(ValueFile, HeaderWithTextTypeLoadsTheBodyAsText) {
    std::string file = path("text.val");
    std::string body("a\0b\nc", 5);
    writeFile(file, header(8) + bytesOf(body));
    MvValueHolder loaded = load(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(MvValueGetMvType(loaded.get()), MvTypeText);
    EXPECT_EQ(loaded->GetText(), body);

    writeFile(file, header(8));
    MvValueHolder empty = load(file);
    ASSERT_TRUE(empty);
    EXPECT_EQ(MvValueGetMvType(empty.get()), MvTypeText);
    EXPECT_EQ(empty->GetText(), "");
}

TEST_F(ValueFile, UnknownTypesNameThePathAsGiven) {
    for (std::uint32_t type : {3u, 4u, 16u, 17u, 0xFFFFFFFFu}) {
        std::string file = path("unknown.val");
        writeFile(file, header(type) + littleEndianDouble(1.0));
        EXPECT_EQ(messageOf([&] { load(file); }),
                  "file \"" + file + "\" is of an unknown type.")
            << type;
    }
}

TEST_F(ValueFile, UnknownTypeWithARelativePath) {
    std::string file = path("rel.val");
    writeFile(file, header(3));
    fs::path previous = fs::current_path();
    fs::current_path(dir_);
    std::string message = messageOf([&] { LoadValueFromFile("./rel.val"); });
    fs::current_path(previous);
    EXPECT_EQ(message, "file \"./rel.val\" is of an unknown type.");
}

TEST_F(ValueFile, MarkerWithoutTypeIsAnError) {
    std::string file = path("marker-only");
    writeFile(file, {0xAA, 0xAA, 0xAA, 0xAA, 0x00});
    EXPECT_NE(messageOf([&] { load(file); }), kNoException);
}

TEST_F(ValueFile, MissingFile) {
    std::string file = path("does-not-exist.val");
    EXPECT_EQ(messageOf([&] { load(file); }), "file \"" + file + "\" cannot be found.");
    std::string nested = path("no-such-dir/x.val");
    EXPECT_EQ(messageOf([&] { load(nested); }), "file \"" + nested + "\" cannot be found.");
}

// A folder is not a file: the loader must report it like a missing file
// rather than let a stream failure escape.
TEST_F(ValueFile, FolderIsNotAFile) {
    std::string folder = path("folder");
    fs::create_directory(folder);
    EXPECT_EQ(messageOf([&] { load(folder); }), "file \"" + folder + "\" cannot be found.");
}

TEST_F(ValueFile, TruncatedNumberBodyIsAnError) {
    Bytes full = header(0) + littleEndianDouble(3.0);
    for (std::size_t keep : {8u, 9u, 12u, 15u}) {
        std::string file = path("truncated.val");
        writeFile(file, Bytes(full.begin(), full.begin() + keep));
        EXPECT_NE(messageOf([&] { load(file); }), kNoException) << keep;
    }
}

TEST_F(ValueFile, TruncatedBooleanBodyIsAnError) {
    std::string file = path("truncated.val");
    writeFile(file, header(1));
    EXPECT_NE(messageOf([&] { load(file); }), kNoException);
}

TEST_F(ValueFile, TrailingBytesAfterANumberAreIgnored) {
    std::string file = path("long.val");
    writeFile(file, header(0) + littleEndianDouble(6.5) + bytesOf("junk"));
    MvValueHolder loaded = load(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(MvNumberGetDoubleValue(loaded.get()), 6.5);
}

// A save that fails part way leaves nothing behind: no new file, no
// temporary file, and an existing file keeps its old content.
TEST_F(ValueFile, AFailedSaveLeavesNoPartialFile) {
    MvValueHolder none(MvNoValueCreate());
    std::string file = path("none.val");
    EXPECT_EQ(messageOf([&] { none->SaveToFile(file.c_str()); }),
              "File error(Cannot write undefined type to file)");
    EXPECT_FALSE(fs::exists(file));

    writeFile(file, header(0) + littleEndianDouble(7.0));
    EXPECT_EQ(messageOf([&] { none->SaveToFile(file.c_str()); }),
              "File error(Cannot write undefined type to file)");
    EXPECT_EQ(readFile(file), header(0) + littleEndianDouble(7.0));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ValueFile, SavingOverAFolderFailsAndLeavesTheFolder) {
    MvValueHolder n(MvNumberCreate(1.0));
    std::string folder = path("folder");
    fs::create_directory(folder);
    EXPECT_EQ(messageOf([&] { n->SaveToFile(folder.c_str()); }),
              "file \"" + folder + "\" could not be written.");
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ValueFile, SavingIntoAMissingFolderIsAnError) {
    MvValueHolder n(MvNumberCreate(1.0));
    std::string file = path("no-such-dir/n.val");
    EXPECT_NE(messageOf([&] { n->SaveToFile(file.c_str()); }), kNoException);
}

std::istringstream streamOf(const Bytes& content) {
    return std::istringstream(std::string(content.begin(), content.end()));
}

TEST(ReadValue, NumberAndBooleanBodies) {
    std::istringstream in = streamOf(littleEndian32(0) + littleEndianDouble(-0.125));
    MvValueHolder n(ReadValue(in));
    ASSERT_TRUE(n);
    EXPECT_EQ(MvValueGetMvType(n.get()), MvTypeNumber);
    EXPECT_EQ(MvNumberGetDoubleValue(n.get()), -0.125);

    std::istringstream in2 = streamOf(littleEndian32(1) + Bytes{0});
    MvValueHolder b(ReadValue(in2));
    ASSERT_TRUE(b);
    EXPECT_EQ(MvValueGetMvType(b.get()), MvTypeBoolean);
    EXPECT_FALSE(b->GetBoolean());
}

TEST(ReadValue, ReadsOnlyItsBody) {
    std::istringstream in =
        streamOf(littleEndian32(0) + littleEndianDouble(1.5) + littleEndian32(1) + Bytes{1});
    MvValueHolder first(ReadValue(in));
    MvValueHolder second(ReadValue(in));
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(MvNumberGetDoubleValue(first.get()), 1.5);
    EXPECT_EQ(MvValueGetMvType(second.get()), MvTypeBoolean);
    EXPECT_TRUE(second->GetBoolean());
}

TEST(ReadValue, TextTakesTheRestOfTheStream) {
    // Lengths around the 255-byte read chunk.
    for (std::size_t length : {0u, 1u, 254u, 255u, 256u, 510u, 511u, 2000u}) {
        std::string body;
        for (std::size_t i = 0; i < length; ++i)
            body += static_cast<char>(i % 256);
        std::istringstream in = streamOf(littleEndian32(8) + bytesOf(body));
        MvValueHolder t(ReadValue(in));
        ASSERT_TRUE(t) << length;
        EXPECT_EQ(MvValueGetMvType(t.get()), MvTypeText) << length;
        EXPECT_EQ(t->GetText(), body) << length;
    }
}

TEST(ReadValue, UnknownTypesYieldNull) {
    for (std::uint32_t type : {3u, 4u, 6u, 7u, 11u, 16u, 17u, 0x80000000u, 0xFFFFFFFFu}) {
        std::istringstream in = streamOf(littleEndian32(type) + littleEndianDouble(1.0));
        MvValue* v = ReadValue(in);
        EXPECT_EQ(v, nullptr) << type;
        MvNumberDelete(v);
    }
}

TEST(ReadValue, TruncatedBodiesRaise) {
    std::istringstream in = streamOf(littleEndian32(0) + Bytes{1, 2, 3});
    EXPECT_NE(messageOf([&] { MvValueHolder v(ReadValue(in)); }), kNoException);
    std::istringstream in2 = streamOf(littleEndian32(1));
    EXPECT_NE(messageOf([&] { MvValueHolder v(ReadValue(in2)); }), kNoException);
}

TEST(LoadValueFromURL, UnrecognisedEnding) {
    EXPECT_EQ(messageOf([] { LoadValueFromURL("http://example.com/a.xyz"); }),
              "The URL \"http://example.com/a.xyz\" does not have a recognized ending.");
    EXPECT_EQ(messageOf([] { LoadValueFromURL(""); }),
              "The URL \"\" does not have a recognized ending.");
}

} // namespace
