// Shared pieces of the media tests: a scratch folder per test, frames with
// known pixels, loading and saving through the value-file interface, and
// the outside tools (ImageMagick, ffprobe) that make and check files.
#ifndef MORVANE_TESTS_MEDIA_SUPPORT_H
#define MORVANE_TESTS_MEDIA_SUPPORT_H

#include "thrown_message.h"
#include "morvane/MvImageApi.h"
#include "morvane/MvScalarApi.h"
#include "morvane/MvShared.h"
#include "morvane/MvValueFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

struct OwnedValueDeleter {
    void operator()(MvValue* v) const { delete v; }
};
using OwnedValue = std::unique_ptr<MvValue, OwnedValueDeleter>;

// A fresh folder for each test, removed afterwards.
class MediaFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "morvane-media-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string at(const std::string& name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

// Standard output of a shell command (standard error dropped), and whether
// it succeeded.
inline bool runTool(const std::string& command, std::string* output = nullptr) {
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return false;
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, got);
    const int status = pclose(pipe);
    if (output)
        *output = text;
    return status == 0;
}

inline bool haveTool(const char* name) {
    return runTool(std::string("command -v ") + name + " >/dev/null");
}

inline std::string quoted(const std::string& path) { return "'" + path + "'"; }

// One 8-bit pixel as ImageMagick and the frames see it.
struct Rgba {
    int red, green, blue, alpha;
};

inline Rgba colourPixel(MvValue* frame, int x, int y) {
    std::uint32_t argb;
    std::memcpy(&argb, MvFrameColorGetLine(frame, y) + 4 * x, 4);
    return Rgba{int(argb >> 16 & 0xFF), int(argb >> 8 & 0xFF), int(argb & 0xFF), int(argb >> 24)};
}

inline int greyPixel(MvValue* frame, int x, int y) { return MvFrameMonoGetLine(frame, y)[x]; }

// A w x h colour frame whose pixel (x, y) is f(x, y).
template <class F>
OwnedValue colourFrame(int w, int h, F f) {
    OwnedValue frame(MvFrameColorCreate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba p = f(x, y);
            MvFrameColorSetPixelARGB(frame.get(), x, y,
                                     std::uint32_t(p.alpha) << 24 | std::uint32_t(p.red) << 16 |
                                         std::uint32_t(p.green) << 8 | std::uint32_t(p.blue));
        }
    return frame;
}

template <class F>
OwnedValue greyFrame(int w, int h, F f) {
    OwnedValue frame(MvFrameMonoCreate(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            MvFrameMonoGetLine(frame.get(), y)[x] = static_cast<unsigned char>(f(x, y));
    return frame;
}

// Smooth colours (kind to lossy codecs) with a few hard edges.
inline Rgba testPattern(int x, int y) {
    return Rgba{(x * 4) % 256, (y * 5) % 256, ((x + y) * 3) % 256, 255};
}

// newValue is held (and released) the way the evaluator holds values.
inline void setProperty(MvValue* value, const char* name, MvValue* newValue) {
    MvValueHolder held(newValue);
    value->SetProperty(value->GetPropertyId(name), held.get());
}

inline void setCompression(MvValue* frame, const std::string& name) {
    setProperty(frame, "compression", MvTextCreate(name.c_str()));
}

inline std::string compressionOf(MvValue* frame) {
    MvValueHolder text(frame->GetProperty(frame->GetPropertyId("compression")));
    return text->GetText();
}

inline void setQuality(MvValue* frame, double quality) {
    setProperty(frame, "quality", MvNumberCreate(quality));
}

inline OwnedValue load(const std::string& path) { return OwnedValue(LoadValueFromFile(path.c_str())); }

// The names the compression lookup offers, read from its failure message.
inline std::vector<std::string> availableCompressions() {
    OwnedValue frame(MvFrameColorCreate(1, 1));
    const std::string message = messageOf([&] { setCompression(frame.get(), ""); });
    std::vector<std::string> names;
    std::istringstream lines(message);
    std::string line;
    while (std::getline(lines, line))
        if (line.size() > 6 && line.compare(0, 5, "    \"") == 0 && line.back() == '"')
            names.push_back(line.substr(5, line.size() - 6));
    return names;
}

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

#endif
