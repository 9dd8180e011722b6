// Damaged and odd image files: every one gives a clear error that names the
// file, or loads as what it is (text) where nothing says it is an image; no
// crash, no half-made value. Run under the sanitizers, nothing leaks.
#include "media_support.h"

#include <random>
#include <unistd.h>

namespace {

class MalformedImageFiles : public MediaFolderTest {
protected:
    // A small but real file of each kind, made by the engine itself.
    std::string goodFile(const std::string& compression) {
        OwnedValue frame = colourFrame(48, 32, testPattern);
        setCompression(frame.get(), compression);
        const std::string path = at("good");
        frame->SaveToFile(path.c_str());
        return fileBytes(path);
    }

    // Loading path fails with a message naming it.
    void expectNamedError(const std::string& name, const std::string& bytes) {
        SCOPED_TRACE(name + " (" + std::to_string(bytes.size()) + " bytes)");
        const std::string path = at(name);
        writeBytes(path, bytes);
        const std::string message = thrownMessage([&] { load(path); });
        EXPECT_NE(message.find(path), std::string::npos) << message;
    }
};

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

} // namespace

TEST_F(MalformedImageFiles, TruncatedFilesFailWithTheirName) {
    for (const char* type : {"PNG", "JPEG", "GIF", "BMP", "TIFF", "WebP", "QOI", "SGI"}) {
        const std::string good = goodFile(type);
        ASSERT_GT(good.size(), 64u);
        const std::string ending = std::string(".") + (std::string(type) == "JPEG" ? "jpg" : type);
        for (std::size_t size : {std::size_t(1), std::size_t(4), std::size_t(12), std::size_t(40),
                                 good.size() / 3, good.size() / 2, good.size() - 16}) {
            expectNamedError(std::string("cut-") + std::to_string(size) + ending,
                             good.substr(0, size));
        }
    }
}

TEST_F(MalformedImageFiles, RandomBytesBehindARealHeaderFail) {
    const std::string png = goodFile("PNG");
    const std::string jpeg = goodFile("JPEG");
    for (unsigned seed = 1; seed <= 12; ++seed) {
        expectNamedError("noise-" + std::to_string(seed) + ".png",
                         png.substr(0, 8) + randomBytes(600 * seed, seed));
        expectNamedError("noise-header-" + std::to_string(seed) + ".png",
                         png.substr(0, 33) + randomBytes(600 * seed, seed));
        expectNamedError("noise-" + std::to_string(seed) + ".jpg",
                         jpeg.substr(0, 3) + randomBytes(600 * seed, seed));
        expectNamedError("noise-tables-" + std::to_string(seed) + ".jpg",
                         jpeg.substr(0, jpeg.size() / 4) + randomBytes(600 * seed, seed));
    }
}

TEST_F(MalformedImageFiles, DamageInsideAFileFails) {
    // A flipped byte in the compressed data of a PNG breaks its checksum.
    std::string png = goodFile("PNG");
    png[png.size() / 2] = static_cast<char>(png[png.size() / 2] ^ 0x5A);
    expectNamedError("flipped.png", png);
    // A PNG whose header claims a size far beyond its data.
    std::string huge = goodFile("PNG");
    huge.replace(16, 8, std::string("\x00\x01\x00\x00\x00\x01\x00\x00", 8));
    expectNamedError("huge.png", huge);
}

TEST_F(MalformedImageFiles, AWrongHeaderOrNoBytesUnderAnImageEndingFail) {
    std::string png = goodFile("PNG");
    png[1] = 'Q';
    expectNamedError("wrong-header.png", png);
    expectNamedError("empty.png", "");
    expectNamedError("empty.jpg", "");
    expectNamedError("text.gif", "just some words, not a picture\n");
    expectNamedError("zeros.tga", std::string(300, '\0'));
}

TEST_F(MalformedImageFiles, FilesThatSayNothingOfImagesLoadAsText) {
    for (const std::string& bytes : {std::string(), std::string("hello"),
                                     std::string(5000, '\0'), randomBytes(3000, 99)}) {
        const std::string path = at("plain.txt");
        writeBytes(path, bytes);
        OwnedValue value = load(path);
        ASSERT_EQ(MvValueGetMvType(value.get()), MvTypeText);
        EXPECT_EQ(value->GetText(), bytes);
    }
}

TEST_F(MalformedImageFiles, FoldersAndOddNames) {
    std::filesystem::create_directory(at("folder.png"));
    EXPECT_EQ(thrownMessage([&] { load(at("folder.png")); }),
              "file \"" + at("folder.png") + "\" cannot be found.");
    EXPECT_EQ(thrownMessage([&] { load(at("missing.png")); }),
              "file \"" + at("missing.png") + "\" cannot be found.");

    // Names with blanks, quotes, non-ASCII letters and no ending at all.
    OwnedValue frame = colourFrame(6, 4, testPattern);
    setCompression(frame.get(), "PNG");
    for (const char* name : {"with blank.png", "qu\"ote's.png", "gr\xC3\xBC\xC3\x9F.png", "-dash",
                             "no ending", ".hidden"}) {
        SCOPED_TRACE(name);
        frame->SaveToFile(at(name).c_str());
        OwnedValue back = load(at(name));
        EXPECT_EQ(MvValueGetMvType(back.get()), MvTypeFrame);
        EXPECT_EQ(colourPixel(back.get(), 5, 3).red, testPattern(5, 3).red);
    }
}

TEST_F(MalformedImageFiles, AFileWithoutReadPermission) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold for root";
    OwnedValue frame = colourFrame(6, 4, testPattern);
    setCompression(frame.get(), "PNG");
    frame->SaveToFile(at("closed.png").c_str());
    std::filesystem::permissions(at("closed.png"), std::filesystem::perms::none);
    const std::string message = thrownMessage([&] { load(at("closed.png")); });
    EXPECT_NE(message.find(at("closed.png")), std::string::npos) << message;
}
