// Glyph rendering through FreeType: each glyph outline is flipped into image
// coordinates (y down) and handed to FreeType's anti-aliasing rasteriser in
// direct mode, which reports coverage spans instead of filling a bitmap, so
// no glyph bitmap is ever allocated and only the clipped part of a glyph is
// rasterised.
#include "image/MvFontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

#ifndef MORVANE_DEFAULT_FONT
#define MORVANE_DEFAULT_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
#endif

struct MvFontFace::FreeTypeState {
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    FreeTypeState() = default;
    FreeTypeState(const FreeTypeState&) = delete;
    FreeTypeState& operator=(const FreeTypeState&) = delete;
    ~FreeTypeState() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

namespace {

// FreeType's own texts for its error codes (its library may be built
// without them), taken from its error list.
struct FreeTypeErrorText {
    int code;
    const char* text;
};

#undef FTERRORS_H_
#define FT_ERRORDEF(e, v, s) {v, s},
#define FT_ERROR_START_LIST {
#define FT_ERROR_END_LIST {0, nullptr}};
const FreeTypeErrorText kFreeTypeErrors[] =
#include FT_ERRORS_H

std::string freeTypeReason(FT_Error error) {
    for (const FreeTypeErrorText* entry = kFreeTypeErrors; entry->text; ++entry)
        if (entry->code == error)
            return entry->text;
    return "FreeType error " + std::to_string(error);
}

// Floor and ceiling of a 26.6 fixed-point coordinate, in whole pixels.
std::int64_t floorPixel(std::int64_t position) {
    return position >= 0 ? position / 64 : -((-position + 63) / 64);
}
std::int64_t ceilPixel(std::int64_t position) { return -floorPixel(-position); }

// A clip box whose origin has been moved to (originX, originY), so that the
// coordinates FreeType sees stay small (its spans carry 16-bit positions).
struct SpanTarget {
    MvCoverageSink* sink;
    std::int32_t originX;
    std::int32_t originY;
    std::int32_t width;
    std::int32_t height;
};

void forwardSpans(int y, int count, const FT_Span* spans, void* user) {
    const SpanTarget& target = *static_cast<const SpanTarget*>(user);
    if (y < 0 || y >= target.height)
        return;
    for (int i = 0; i < count; ++i) {
        const std::int32_t start = std::max<std::int32_t>(spans[i].x, 0);
        const std::int32_t end = std::min<std::int32_t>(spans[i].x + spans[i].len, target.width);
        if (start < end && spans[i].coverage != 0)
            target.sink->span(target.originY + y, target.originX + start, end - start,
                              spans[i].coverage);
    }
}

// Rasterises the outline of the loaded glyph with its origin at (penX,
// baseline) (26.6 image coordinates) into the part of clip it covers.
void renderOutline(FT_Library library, FT_Outline& outline, std::int64_t penX,
                   std::int64_t baseline, const MvClipBox& clip, MvCoverageSink& sink) {
    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    const std::int64_t left = std::max<std::int64_t>(floorPixel(penX + box.xMin), clip.left);
    const std::int64_t right = std::min<std::int64_t>(ceilPixel(penX + box.xMax), clip.right);
    const std::int64_t top = std::max<std::int64_t>(floorPixel(baseline - box.yMax), clip.top);
    const std::int64_t bottom = std::min<std::int64_t>(ceilPixel(baseline - box.yMin), clip.bottom);
    if (left >= right || top >= bottom)
        return;

    SpanTarget target{&sink, static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                      static_cast<std::int32_t>(right - left),
                      static_cast<std::int32_t>(bottom - top)};
    FT_Matrix flip{0x10000, 0, 0, -0x10000};
    FT_Outline_Transform(&outline, &flip);
    FT_Outline_Translate(&outline, static_cast<FT_Pos>(penX - left * 64),
                         static_cast<FT_Pos>(baseline - top * 64));

    FT_Raster_Params params{};
    params.source = &outline;
    params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
    params.gray_spans = forwardSpans;
    params.user = &target;
    params.clip_box.xMin = 0;
    params.clip_box.yMin = 0;
    params.clip_box.xMax = target.width;
    params.clip_box.yMax = target.height;
    FT_Outline_Render(library, &outline, &params);
}

bool isLineBreak(char32_t code) { return code == U'\n' || code == U'\r'; }

} // namespace

MvFontFace::MvFontFace(std::string path) : path_(std::move(path)) {}

MvFontFace::~MvFontFace() = default;

bool MvFontFace::loadLocked(std::string& error) {
    if (!tried_) {
        tried_ = true;
        auto state = std::make_unique<FreeTypeState>();
        FT_Error status = FT_Init_FreeType(&state->library);
        if (status != 0) {
            state->library = nullptr;
            loadError_ = "the font library could not start (" + freeTypeReason(status) + ")";
        } else if ((status = FT_New_Face(state->library, path_.c_str(), 0, &state->face)) != 0) {
            state->face = nullptr;
            loadError_ = "the font file '" + path_ + "' could not be loaded (" +
                         freeTypeReason(status) + ")";
        } else if (!FT_IS_SCALABLE(state->face)) {
            loadError_ = "the font file '" + path_ + "' holds no outline font";
        } else if (FT_Select_Charmap(state->face, FT_ENCODING_UNICODE) != 0) {
            loadError_ = "the font file '" + path_ + "' has no Unicode character map";
        } else {
            state_ = std::move(state);
        }
    }
    if (!state_)
        error = loadError_;
    return state_ != nullptr;
}

bool MvFontFace::draw(const std::u32string& text, const MvTextPlacement& placement,
                      MvCoverageSink& sink, std::string& error) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!loadLocked(error))
        return false;
    const MvClipBox& clip = placement.clip;
    // A size that is no positive number draws nothing, like an empty text.
    if (text.empty() || clip.empty() || !(placement.pixelSize > 0.0))
        return true;

    FT_Face face = state_->face;
    const double size = std::min(placement.pixelSize, kLargestPixelSize);
    const FT_F26Dot6 charSize = std::max<FT_F26Dot6>(1, std::lround(size * 64.0));
    const FT_Error status = FT_Set_Char_Size(face, 0, charSize, 72, 72);
    if (status != 0) {
        error = "the font file '" + path_ + "' cannot be scaled to size " +
                std::to_string(size) + " (" + freeTypeReason(status) + ")";
        return false;
    }

    const std::int64_t ascender = face->size->metrics.ascender;
    const std::int64_t lineHeight = std::max<std::int64_t>(face->size->metrics.height, 64);
    // Glyphs reach at most about one em beyond their pen position.
    const std::int64_t reach = (static_cast<std::int64_t>(std::ceil(size)) + 2) * 64;
    const bool kerning = FT_HAS_KERNING(face);
    const std::int64_t lineStart = static_cast<std::int64_t>(placement.left) * 64;
    std::int64_t penX = lineStart;
    std::int64_t baseline = static_cast<std::int64_t>(placement.top) * 64 + ascender;
    FT_UInt previous = 0;

    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (isLineBreak(code)) {
            if (code == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n')
                ++i;
            penX = lineStart;
            baseline += lineHeight;
            previous = 0;
            if (baseline - ascender - reach >= static_cast<std::int64_t>(clip.bottom) * 64)
                break;   // every further line lies below the clip box
            continue;
        }
        // Pens only move right along a line: past the clip box, the rest of
        // the line is invisible.
        if (penX - reach >= static_cast<std::int64_t>(clip.right) * 64)
            continue;
        if (code == U'\t')
            code = U' ';
        if (code < 0x20 || code == 0x7F)
            continue;
        const FT_UInt glyph = FT_Get_Char_Index(face, code);
        if (kerning && previous != 0 && glyph != 0) {
            FT_Vector delta;
            if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &delta) == 0)
                penX += delta.x;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_BITMAP) != 0)
            continue;
        FT_GlyphSlot slot = face->glyph;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE &&
            baseline + reach > static_cast<std::int64_t>(clip.top) * 64 &&
            baseline - reach < static_cast<std::int64_t>(clip.bottom) * 64 &&
            penX + reach > static_cast<std::int64_t>(clip.left) * 64)
            renderOutline(state_->library, slot->outline, penX, baseline, clip, sink);
        penX += slot->advance.x;
        previous = glyph;
    }
    return true;
}

MvFontFace& MvProcessFontFace() {
    static MvFontFace face([] {
        const char* chosen = std::getenv("MORVANE_FONT");
        return std::string(chosen && *chosen ? chosen : MORVANE_DEFAULT_FONT);
    }());
    return face;
}
