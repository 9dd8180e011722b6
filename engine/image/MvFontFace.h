// MvFontFace: one outline font, loaded through FreeType on first use, that
// turns a line of character codes into anti-aliased coverage spans.
//
// Images draw their text with the process font (MvProcessFontFace): the file
// named by the MORVANE_FONT environment variable when it is set, otherwise
// the default font the build was configured with. The font is loaded once,
// lazily, and kept until the library is unloaded; a font that cannot be
// loaded is not retried, and every drawing request is then refused with the
// reason. FreeType's library and face objects are not safe to share between
// threads, so every use of them happens under the face's own lock (script
// sessions may run on several threads at once).
#ifndef MORVANE_ENGINE_MVFONTFACE_H
#define MORVANE_ENGINE_MVFONTFACE_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// A clipping rectangle in pixel coordinates; right and bottom are exclusive.
struct MvClipBox {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    bool empty() const { return left >= right || top >= bottom; }
};

// Receives one horizontal run of pixels x .. x + length - 1 of row y, all
// with the same coverage (1 .. 255). Runs lie inside the clipping box.
class MvCoverageSink {
public:
    virtual void span(std::int32_t y, std::int32_t x, std::int32_t length,
                      std::uint8_t coverage) = 0;

protected:
    ~MvCoverageSink() = default;
};

// Where a text is drawn: the pen starts with the top of the first line at
// (left, top); pixels outside clip are never touched.
struct MvTextPlacement {
    std::int32_t left;
    std::int32_t top;
    double pixelSize;     // the em size in pixels
    MvClipBox clip;
};

class MvFontFace {
public:
    // The largest em size drawn; larger sizes are drawn at this one (a
    // glyph is then already far larger than any image it could fit).
    static constexpr double kLargestPixelSize = 4096.0;

    explicit MvFontFace(std::string path);
    ~MvFontFace();
    MvFontFace(const MvFontFace&) = delete;
    MvFontFace& operator=(const MvFontFace&) = delete;

    const std::string& path() const { return path_; }

    // Draws the text (Unicode code points; '\n', '\r' and "\r\n" start a
    // new line) into sink. Returns false, with the reason in error, when
    // the font cannot be loaded; nothing is drawn then.
    bool draw(const std::u32string& text, const MvTextPlacement& placement, MvCoverageSink& sink,
              std::string& error);

private:
    struct FreeTypeState;

    bool loadLocked(std::string& error);

    std::string path_;
    std::mutex lock_;
    bool tried_ = false;
    std::string loadError_;
    std::unique_ptr<FreeTypeState> state_;
};

// The font of the process, created on first use and destroyed when the
// library is unloaded.
MvFontFace& MvProcessFontFace();

#endif
