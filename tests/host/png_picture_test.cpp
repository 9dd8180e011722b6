// The host's pictures of pixel buffers: lines in every buffer format to RGB,
// PNG encoding (checked by decoding it again), base64, and the <image>
// element a window's SVG gets for an image command.
#include "PngPicture.h"
#include "SvgWindow.h"

#include "morvane/MvException.h"
#include "morvane/MvGraphics.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace {

// Decodes PNG bytes into RGB (libpng's own reader); false when they are no PNG.
bool decodePng(const std::string& png, RgbPicture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<std::int32_t>(image.width);
    picture.height = static_cast<std::int32_t>(image.height);
    picture.rgb.assign(PNG_IMAGE_SIZE(image), 0);
    const bool ok = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

std::string base64Decode(const std::string& text) {
    static const std::string kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::uint32_t group = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=')
            break;
        group = group << 6 | static_cast<std::uint32_t>(kDigits.find(c));
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((group >> bits) & 0xFF);
        }
    }
    return out;
}

const std::string kPngSignature("\x89PNG\r\n\x1a\n", 8);

// A buffer from the flat interface, its pixels set through line access.
MvGWorld* patternedBuffer(int width, int height) {
    MvGWorld* buffer = MvGWorldCreate(width, height);
    MvGWorldLock(buffer);
    for (int y = 0; y < height; ++y) {
        unsigned char* line = MvGWorldGetLineWrite(buffer, y);
        for (int x = 0; x < width; ++x) {
            line[4 * x] = static_cast<unsigned char>(x * 7);        // blue
            line[4 * x + 1] = static_cast<unsigned char>(y * 11);   // green
            line[4 * x + 2] = static_cast<unsigned char>(x + y);    // red
            line[4 * x + 3] = static_cast<unsigned char>(x % 2 ? 0 : 255);
        }
    }
    MvGWorldUnlock(buffer);
    return buffer;
}

TEST(PngPicture, Base64FollowsTheStandardVectors) {
    EXPECT_EQ(base64Encode(""), "");
    EXPECT_EQ(base64Encode("f"), "Zg==");
    EXPECT_EQ(base64Encode("fo"), "Zm8=");
    EXPECT_EQ(base64Encode("foo"), "Zm9v");
    EXPECT_EQ(base64Encode("foob"), "Zm9vYg==");
    EXPECT_EQ(base64Encode("fooba"), "Zm9vYmE=");
    EXPECT_EQ(base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(base64Encode(std::string("\xff\x00\xfe", 3)), "/wD+");
}

TEST(PngPicture, LinesOfEveryFormatBecomeOpaqueRgb) {
    RgbPicture picture;
    const unsigned char bgra[] = {1, 2, 3, 0, 10, 20, 30, 255};
    ASSERT_TRUE(appendRgbLine(picture, bgra, 2, kMvPixelFormatBGRA, nullptr));
    const unsigned char grey[] = {0, 128, 255};
    ASSERT_TRUE(appendRgbLine(picture, grey, 3, kMvPixelFormatGrey8, nullptr));
    const MvColorTable table{{0, 0xFF00, 0x8012, 0x00FF}, {1, 0x1234, 0x5678, 0x9ABC}};
    const unsigned char indices[] = {1, 0, 2, 255};
    ASSERT_TRUE(appendRgbLine(picture, indices, 4, kMvPixelFormatIndexed8, &table));
    ASSERT_TRUE(appendRgbLine(picture, indices, 1, kMvPixelFormatIndexed8, nullptr));
    const std::vector<unsigned char> expected{3,   2,    1,    30,   20,   10,   0, 0,  0,
                                              128, 128,  128,  255,  255,  255,  0x12,
                                              0x56, 0x9A, 0xFF, 0x80, 0x00, 0, 0, 0, 0, 0,
                                              0,   0,    0,    0};
    EXPECT_EQ(picture.rgb, expected);
    EXPECT_FALSE(appendRgbLine(picture, grey, 3, 32, nullptr));
}

TEST(PngPicture, EncodedPicturesDecodeToTheSamePixels) {
    for (int width : {1, 2, 3, 17, 67}) {
        for (int height : {1, 2, 5}) {
            RgbPicture picture;
            picture.width = width;
            picture.height = height;
            for (int i = 0; i < width * height * 3; ++i)
                picture.rgb.push_back(static_cast<unsigned char>(i * 37 + width));
            std::string png, error;
            ASSERT_TRUE(encodePng(picture, png, error)) << error;
            EXPECT_EQ(png.compare(0, 8, kPngSignature), 0);
            RgbPicture decoded;
            ASSERT_TRUE(decodePng(png, decoded));
            EXPECT_EQ(decoded.width, width);
            EXPECT_EQ(decoded.height, height);
            EXPECT_EQ(decoded.rgb, picture.rgb) << width << " x " << height;
        }
    }
}

TEST(PngPicture, PicturesWithoutPixelsAreRefused) {
    std::string png, error;
    RgbPicture empty;
    EXPECT_FALSE(encodePng(empty, png, error));
    EXPECT_FALSE(error.empty());
    RgbPicture short_;
    short_.width = 2;
    short_.height = 2;
    short_.rgb.assign(11, 0);   // one byte missing
    EXPECT_FALSE(encodePng(short_, png, error));
    EXPECT_FALSE(pixelBufferPng(nullptr, png, error));
}

TEST(PngPicture, ANewBufferIsOpaqueBlack) {
    MvGWorld* buffer = MvGWorldCreate(3, 2);
    std::string png, error;
    ASSERT_TRUE(pixelBufferPng(buffer, png, error)) << error;
    RgbPicture decoded;
    ASSERT_TRUE(decodePng(png, decoded));
    EXPECT_EQ(decoded.width, 3);
    EXPECT_EQ(decoded.height, 2);
    EXPECT_EQ(decoded.rgb, std::vector<unsigned char>(18, 0));
    EXPECT_EQ(buffer->getLockCount(), 0) << "the buffer is unlocked again";
    MvGWorldDelete(buffer);
}

TEST(PngPicture, ABufferIsReadThroughItsLines) {
    MvGWorld* buffer = patternedBuffer(5, 3);
    std::string png, error;
    ASSERT_TRUE(pixelBufferPng(buffer, png, error)) << error;
    RgbPicture decoded;
    ASSERT_TRUE(decodePng(png, decoded));
    ASSERT_EQ(decoded.rgb.size(), 45u);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const unsigned char* rgb = &decoded.rgb[3 * (y * 5 + x)];
            EXPECT_EQ(rgb[0], x + y);
            EXPECT_EQ(rgb[1], y * 11);
            EXPECT_EQ(rgb[2], x * 7);
        }
    MvGWorldDelete(buffer);
}

TEST(PngPicture, AnImageCommandEmbedsItsBufferAtItsPosition) {
    mv_auto_value<MvGraphics> picture(new MvGraphics);
    picture->setSize(20, 10);
    mv_auto_value<MvGWorld> buffer(patternedBuffer(4, 3));
    picture->addImage(buffer, 6, 2);
    picture->addText("caption", 1, 9);
    const std::string svg = renderSvg(*picture);

    EXPECT_EQ(svg.find("fill=\"white\""), std::string::npos) << "an image needs no erase";
    std::smatch match;
    ASSERT_TRUE(std::regex_search(
        svg, match,
        std::regex("<image x=\"6\" y=\"2\" width=\"4\" height=\"3\" [^>]*"
                   "href=\"data:image/png;base64,([A-Za-z0-9+/=]+)\"/>")))
        << svg;
    const std::string png = base64Decode(match[1].str());
    EXPECT_EQ(png.compare(0, 8, kPngSignature), 0);
    RgbPicture decoded;
    ASSERT_TRUE(decodePng(png, decoded));
    EXPECT_EQ(decoded.width, 4);
    EXPECT_EQ(decoded.height, 3);
    EXPECT_LT(svg.find("<image"), svg.find(">caption</text>")) << "commands keep their order";
}

TEST(PngPicture, AnUnreadableBufferLeavesThePlaceholder) {
    mv_auto_value<MvGraphics> picture(new MvGraphics);
    mv_auto_value<MvGWorld> buffer(MvGWorldCreate(2, 2));
    MvGWorldLock(buffer.get());
    MvGWorldUnlock(buffer.get());
    try {
        MvGWorldUnlock(buffer.get());   // the count is now below zero for good
    } catch (MvException* e) {
        delete e;
    }
    picture->addImage(buffer, 0, 0);
    const std::string svg = renderSvg(*picture);
    EXPECT_EQ(svg.find("<image"), std::string::npos);
    EXPECT_NE(svg.find(">image</text>"), std::string::npos);
}

} // namespace
