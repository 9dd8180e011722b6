// Reading the clipboard in a script through the host's clipboard: a movie
// copied there comes back as a movie, text as text, a PNG picture as a
// colour frame, in that order; an empty clipboard and damaged pictures are
// clear errors.
#include "movie_support.h"
#include "morvane/MvHostServices.h"
#include "morvane/MvPlugin.h"

namespace {

// What the host's clipboard holds; null members hold nothing.
struct HostClipboard {
    std::unique_ptr<std::string> text;
    std::unique_ptr<std::string> png;
    int imageReads = 0;
};

void putText(void* context, const char* text) {
    static_cast<HostClipboard*>(context)->text = std::make_unique<std::string>(text);
}

const char* getText(void* context) {
    const auto* clipboard = static_cast<HostClipboard*>(context);
    return clipboard->text ? clipboard->text->c_str() : nullptr;
}

const unsigned char* getImage(void* context, size_t* size) {
    auto* clipboard = static_cast<HostClipboard*>(context);
    ++clipboard->imageReads;
    if (!clipboard->png)
        return nullptr;
    *size = clipboard->png->size();
    return reinterpret_cast<const unsigned char*>(clipboard->png->data());
}

class ClipboardReadTest : public MovieFolderTest {
protected:
    void SetUp() override {
        MovieFolderTest::SetUp();
        // Frame.GetAlpha shows the alpha the pictures brought.
        if (!MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Frame"))
            MvPluginRegistryInitInternal();
        MvSetClipboardCallbacks(putText, getText, &clipboard_);
        MvSetClipboardImageCallback(getImage, &clipboard_);
    }
    void TearDown() override {
        MvSetClipboardImageCallback(nullptr, nullptr);
        MvSetClipboardCallbacks(nullptr, nullptr, nullptr);
        MovieFolderTest::TearDown();
    }

    // A PNG file ImageMagick makes with its arguments, as bytes.
    std::string png(const std::string& arguments) {
        const std::string path = at("made.png");
        std::filesystem::remove(path);
        EXPECT_TRUE(runTool("convert " + arguments + " " + quoted("png:" + path))) << arguments;
        return fileBytes(path);
    }
    void holdPicture(const std::string& bytes) {
        clipboard_.png = std::make_unique<std::string>(bytes);
    }
    void holdText(const std::string& text) {
        clipboard_.text = std::make_unique<std::string>(text);
    }

    HostClipboard clipboard_;
};

const char* const kDescribe = "set f to ClipBoard; print type of f; print width of f;"
                              "print height of f;";

TEST_F(ClipboardReadTest, AnEmptyClipboardIsAnError) {
    EXPECT_EQ(run("set x to ClipBoard;"), "error: Scrap is empty");
    holdText("");   // no text at all
    EXPECT_EQ(run("set x to ClipBoard;"), "error: Scrap is empty");
    holdPicture("");
    EXPECT_EQ(run("set x to ClipBoard;"), "error: Scrap is empty");
    // The process's own clipboard, without a host, starts out the same.
    MvSetClipboardImageCallback(nullptr, nullptr);
    MvSetClipboardCallbacks(nullptr, nullptr, nullptr);
    EXPECT_EQ(run("set ClipBoard to \"\"; set x to ClipBoard;"), "error: Scrap is empty");
    EXPECT_EQ(run("set ClipBoard to \"own\"; print ClipBoard;"), "own\n");
}

TEST_F(ClipboardReadTest, TextComesBeforeThePicture) {
    holdPicture(png("-size 3x2 xc:red"));
    holdText("x");
    EXPECT_EQ(run("set t to ClipBoard; print type of t; print t;"), "text\nx\n");
    EXPECT_EQ(clipboard_.imageReads, 0);
    holdText("two\nlines");
    EXPECT_EQ(run("print ClipBoard;"), "two\nlines\n");
}

TEST_F(ClipboardReadTest, PngPicturesReadAsColourFrames) {
    holdPicture(png("-size 3x2 xc:'rgb(10,20,30)' -fill 'rgb(200,100,50)' -draw 'point 2,1'"
                    " -define png:color-type=2"));
    EXPECT_EQ(run(std::string(kDescribe) + "print f[0, 0] * 255; print f[2, 1] * 255;"
                                           "print Frame.GetAlpha(f)[2, 1] * 255;"),
              "frame\n3\n2\n10 20 30\n200 100 50\n255 255 255\n");
    // One pixel, grey, palette, 16 bits a sample, transparency.
    holdPicture(png("-size 1x1 xc:'rgb(1,2,3)' -define png:color-type=2"));
    EXPECT_EQ(run(std::string(kDescribe) + "print f[0, 0] * 255;"), "frame\n1\n1\n1 2 3\n");
    holdPicture(png("-size 2x3 xc:'gray(102)' -define png:color-type=0 -depth 8"));
    EXPECT_EQ(run(std::string(kDescribe) + "print f[1, 2] * 255;"), "frame\n2\n3\n102 102 102\n");
    holdPicture(png("-size 4x1 xc:'rgb(0,0,255)' -fill 'rgb(0,255,0)' -draw 'point 3,0'"
                    " -define png:color-type=3"));
    EXPECT_EQ(run(std::string(kDescribe) + "print f[0, 0] * 255; print f[3, 0] * 255;"),
              "frame\n4\n1\n0 0 255\n0 255 0\n");
    holdPicture(png("-size 2x2 xc:'rgb(51,102,153)' -depth 16 -define png:color-type=2"));
    EXPECT_EQ(run(std::string(kDescribe) + "print f[1, 1] * 255;"), "frame\n2\n2\n51 102 153\n");
    holdPicture(png("-size 2x1 xc:'rgba(10,20,30,0.2)' -define png:color-type=6"));
    EXPECT_EQ(run("set f to ClipBoard; print Frame.GetAlpha(f)[0, 0] * 255;"), "51 51 51\n");
}

TEST_F(ClipboardReadTest, DamagedPicturesAreRefused) {
    const std::string good = png("-size 40x30 gradient:red-blue -define png:color-type=2");
    const std::size_t pixels = good.find("IDAT");
    ASSERT_NE(pixels, std::string::npos);
    std::string noisy = good;
    for (std::size_t i = 40; i < noisy.size(); i += 7)
        noisy[i] = static_cast<char>(noisy[i] ^ 0x55);
    for (const std::string& bytes :
         {good.substr(0, 1), good.substr(0, 8), good.substr(0, 33), good.substr(0, good.size() / 2),
          good.substr(0, pixels + 10), noisy, std::string(1000, '\0'),
          std::string("not a picture at all")}) {
        SCOPED_TRACE(bytes.size());
        holdPicture(bytes);
        const std::string out = run("set f to ClipBoard; print \"read\";");
        EXPECT_EQ(out.rfind("error: Could not read the picture on the clipboard (", 0), 0u) << out;
    }
    holdPicture(good);
    EXPECT_EQ(run(kDescribe), "frame\n40\n30\n");
}

TEST_F(ClipboardReadTest, MoviesComeBackFromTheClipboard) {
    ASSERT_TRUE(makeMovie("clip.mp4", 6, "-c:v libx264 -g 3 -pix_fmt yuv420p"));
    EXPECT_EQ(run("set m to file \"" + at("clip.mp4") + "\"; set ClipBoard to m;"
                  "set n to ClipBoard; print type of n; print length of n; print width of n;"),
              "movie\n6\n64\n");
    ASSERT_TRUE(clipboard_.text);
    EXPECT_EQ(clipboard_.text->rfind("file://", 0), 0u);
    // A file URI that names no movie is plain text.
    for (const std::string& text : {"file://" + at("missing.mov"), "file://" + at("clip.txt"),
                                   "file://" + at("clip.mp4") + "\nmore"}) {
        holdText(text);
        EXPECT_EQ(run("set t to ClipBoard; print type of t;"), "text\n") << text;
    }
}

} // namespace
