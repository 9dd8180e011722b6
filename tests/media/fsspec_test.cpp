// File specifications, temporary file names, the media version, and writes
// that fail without changing anything.
#include "media_support.h"
#include "morvane/MvFile.h"
#include "morvane/MvMedia.h"

#include <ctime>
#include <cstdio>
#include <unistd.h>

namespace {

class FileSpecs : public MediaFolderTest {
protected:
    void SetUp() override {
        MediaFolderTest::SetUp();
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        previous_ = here;
        ASSERT_EQ(chdir(folder_.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(previous_.c_str()), 0);
        MediaFolderTest::TearDown();
    }

    std::string previous_;
};

const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// The name a temporary file made at when gets, sequence n.
std::string tempName(std::time_t when, int n) {
    std::tm t{};
    localtime_r(&when, &t);
    return std::string("MvTemp_") + kMonths[t.tm_mon] + std::to_string(t.tm_mday) + "_" +
           std::to_string(t.tm_hour) + std::to_string(t.tm_min) + std::to_string(t.tm_sec) + "_" +
           std::to_string(n) + ".mov";
}

} // namespace

TEST_F(FileSpecs, ExistingAndMissingFiles) {
    writeBytes(at("there.txt"), "x");
    MvFSSpec spec;
    EXPECT_EQ(MvFile("there.txt").getFSSpec(spec), 0);
    EXPECT_EQ(spec.path, at("there.txt"));
    // A missing file is no error: a new file is made through its
    // file specification.
    MvFSSpec missing;
    EXPECT_EQ(MvFile("not-yet.png").getFSSpec(missing), kMvFileNotFound);
    EXPECT_EQ(missing.path, at("not-yet.png"));
    EXPECT_EQ(MvFile(at("folder-less")).getFSSpec(missing), kMvFileNotFound);
    // Copies and assignments name the same file.
    MvFile original("there.txt");
    MvFile copy(original);
    MvFile assigned;
    assigned = copy;
    EXPECT_EQ(assigned.path(), at("there.txt"));
}

TEST_F(FileSpecs, FoldersInTheWayRaiseTheirStatusText) {
    MvFSSpec spec;
    EXPECT_EQ(thrownMessage([&] { MvFile("no-folder/x.png").getFSSpec(spec); }),
              "Directory not found.");
    writeBytes(at("plain"), "x");
    EXPECT_EQ(thrownMessage([&] { MvFile("plain/x.png").getFSSpec(spec); }),
              "AppleTalk: Directory not found or incomplete pathname.");
    EXPECT_EQ(thrownMessage([&] { MvFile(std::string(5000, 'n')).getFSSpec(spec); }),
              "Bad filename.");
}

TEST_F(FileSpecs, TheFlatFunctions) {
    MvFile* here = MvFileCreate();
    ASSERT_NE(here, nullptr);
    EXPECT_EQ(here->path(), folder_.string());
    MvFileDelete(here);
    MvFile* named = MvFileCreateFromPath("a/../b.png");
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->path(), at("b.png"));
    MvFileDelete(named);
    MvFileDelete(nullptr);
    EXPECT_EQ(MvSetTempFileLocation(-1, 42), -1);
    EXPECT_EQ(MvSetTempFileLocation(7, 0), 7);
}

TEST_F(FileSpecs, TemporaryNamesCountUpPastExistingFiles) {
    // The clock may tick between the name and the check: try again then.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const std::time_t before = std::time(nullptr);
        MvFSSpec first;
        MvCreateTempFileSpec(&first);
        writeBytes(first.path, "taken");
        MvFSSpec second;
        MvCreateTempFileSpec(&second);
        MvFSSpec again;
        MvCreateTempFileSpec(&again);
        const std::time_t after = std::time(nullptr);
        if (before != after) {
            std::filesystem::remove(first.path);
            continue;
        }
        EXPECT_EQ(first.path, at(tempName(before, 0)));
        EXPECT_EQ(second.path, at(tempName(before, 1)));
        // A name handed out but not written is handed out again.
        EXPECT_EQ(again.path, second.path);
        EXPECT_FALSE(std::filesystem::exists(second.path));
        return;
    }
    FAIL() << "the clock never stood still for three names";
}

TEST_F(FileSpecs, TemporaryNamesHaveNoLeadingZeros) {
    const std::time_t before = std::time(nullptr);
    MvFSSpec spec;
    MvCreateTempFileSpec(&spec);
    const std::time_t after = std::time(nullptr);
    const std::string name = std::filesystem::path(spec.path).filename().string();
    bool matched = false;
    for (std::time_t t = before; t <= after; ++t)
        matched = matched || name == tempName(t, 0);
    EXPECT_TRUE(matched) << name;
    // At 22:09:05 on 4 December the name is MvTemp_DEC4_2295_0.mov.
    std::tm december{};
    december.tm_year = 126;
    december.tm_mon = 11;
    december.tm_mday = 4;
    december.tm_hour = 22;
    december.tm_min = 9;
    december.tm_sec = 5;
    december.tm_isdst = -1;
    EXPECT_EQ(tempName(std::mktime(&december), 0), "MvTemp_DEC4_2295_0.mov");
    EXPECT_EQ(std::filesystem::path(spec.path).parent_path(), folder_);
    EXPECT_NE(messageOf([] { MvCreateTempFileSpec(nullptr); }), kNoException);
}

TEST(MediaVersion, IsTheMediaLibrarysMajorAndMinor) {
    const std::int32_t version = MvGetQuickTimeVersion();
    EXPECT_GT(version, 0);
    EXPECT_EQ(version & ~0xFFFF, 0);
    std::string text;
    if (!runTool("ffprobe -version", &text))
        GTEST_SKIP() << "ffprobe is missing";
    const std::size_t at = text.find("libavformat");
    ASSERT_NE(at, std::string::npos) << text;
    int major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + at, "libavformat %d. %d.", &major, &minor), 2) << text;
    EXPECT_EQ(version >> 8, major);
    EXPECT_EQ(version & 0xFF, minor);
}

class FailedWrites : public MediaFolderTest {};

TEST_F(FailedWrites, AMissingFolderFailsAndWritesNothing) {
    OwnedValue frame = colourFrame(4, 4, testPattern);
    setCompression(frame.get(), "PNG");
    EXPECT_EQ(thrownMessage([&] { frame->SaveToFile(at("none/x.png").c_str()); }),
              "Directory not found.");
    EXPECT_FALSE(std::filesystem::exists(at("none")));
}

TEST_F(FailedWrites, AnEncoderThatRefusesLeavesTheOldFile) {
    OwnedValue old = colourFrame(4, 4, testPattern);
    setCompression(old.get(), "PNG");
    old->SaveToFile(at("keep.tga").c_str());
    const std::string before = fileBytes(at("keep.tga"));
    // TGA, GIF and WebP cannot hold a row this wide.
    for (const char* type : {"TGA", "GIF", "WebP"}) {
        SCOPED_TRACE(type);
        OwnedValue wide(MvFrameColorCreate(70000, 1));
        setCompression(wide.get(), type);
        const std::string message =
            thrownMessage([&] { wide->SaveToFile(at("keep.tga").c_str()); });
        EXPECT_NE(message.find(at("keep.tga")), std::string::npos) << message;
        EXPECT_NE(message.find(type), std::string::npos) << message;
        EXPECT_EQ(fileBytes(at("keep.tga")), before);
    }
    // No temporary file is left beside it.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(FailedWrites, EmptyFramesAndFoldersInTheWay) {
    OwnedValue empty(MvFrameColorCreate(0, 0));
    EXPECT_EQ(thrownMessage([&] { empty->SaveToFile(at("empty.jpg").c_str()); }),
              "Can't create a frame or image with zero area.");
    EXPECT_FALSE(std::filesystem::exists(at("empty.jpg")));
    OwnedValue row(MvFrameMonoCreate(5, 0));
    EXPECT_NE(messageOf([&] { row->SaveToFile(at("row.png").c_str()); }), kNoException);
    // A folder in place of the file.
    std::filesystem::create_directory(at("taken.png"));
    OwnedValue frame = colourFrame(3, 3, testPattern);
    EXPECT_NE(messageOf([&] { frame->SaveToFile(at("taken.png").c_str()); }), kNoException);
    EXPECT_TRUE(std::filesystem::is_directory(at("taken.png")));
}

TEST_F(FailedWrites, AClosedFolder) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold for root";
    OwnedValue frame = colourFrame(3, 3, testPattern);
    std::filesystem::create_directory(at("closed"));
    std::filesystem::permissions(at("closed"), std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::owner_exec);
    const std::string message = messageOf([&] { frame->SaveToFile(at("closed/x.jpg").c_str()); });
    EXPECT_NE(message.find("closed/x.jpg"), std::string::npos) << message;
}
