// Rendering of drawing-command lists as SVG, and the window writer.
#include "SvgWindow.h"

#include "PngPicture.h"

#include "morvane/MvGWorld.h"
#include "morvane/MvGraphics.h"
#include "morvane/MvMovieApi.h"
#include "morvane/MvParser.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

constexpr int kFontSize = 12;
constexpr int kLineHeight = 14;
constexpr std::size_t kMaxFileNameBytes = 100;

// True when bytes form valid UTF-8 (no overlong forms or surrogates).
bool isValidUtf8(const std::string& bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        std::size_t extra;
        std::uint32_t code;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= bytes.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            unsigned char d = static_cast<unsigned char>(bytes[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        static const std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// Escapes one line of script text for an XML text node. Texts are bytes:
// valid UTF-8 is kept, anything else is read as Latin-1; control characters,
// which XML cannot carry, become U+FFFD.
std::string xmlText(const std::string& bytes) {
    const bool utf8 = isValidUtf8(bytes);
    std::string out;
    for (char ch : bytes) {
        unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (c < 0x20 && c != '\t') {
                out += "\xEF\xBF\xBD";
            } else if (c >= 0x80 && !utf8) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += ch;
            }
        }
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (true) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

// Collects consecutive pen commands into one path element.
class PathBuilder {
public:
    void moveTo(int x, int y) {
        data_ << (data_.tellp() > 0 ? " " : "") << "M " << x << ' ' << y;
        penX_ = x;
        penY_ = y;
        open_ = true;
    }
    void lineTo(int x, int y) {
        if (!open_)
            moveTo(penX_, penY_);
        data_ << " L " << x << ' ' << y;
        penX_ = x;
        penY_ = y;
    }
    void flush(std::ostream& out) {
        if (data_.tellp() > 0)
            out << "  <path d=\"" << data_.str()
                << "\" fill=\"none\" stroke=\"black\" stroke-width=\"1\"/>\n";
        data_.str("");
        data_.clear();
        open_ = false;
    }

private:
    std::ostringstream data_;
    // The pen starts at the window's origin and stays where the last pen
    // command left it, across other commands.
    int penX_ = 0;
    int penY_ = 0;
    bool open_ = false;
};

void writePlaceholder(std::ostream& out, int x, int y, int width, int height,
                      const char* label) {
    int w = width - x > 0 ? width - x : 1;
    int h = height - y > 0 ? height - y : 1;
    out << "  <rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << w << "\" height=\"" << h
        << "\" fill=\"#dddddd\" stroke=\"#888888\"/>\n";
    out << "  <text x=\"" << x + 4 << "\" y=\"" << y + kLineHeight
        << "\" font-family=\"monospace\" font-size=\"" << kFontSize << "\">" << label
        << "</text>\n";
}

// An image command: the buffer's pixels as an embedded PNG picture of the
// buffer's size, or the placeholder when they cannot be read.
void writeImage(std::ostream& out, MvGraphicsCommand& command, int width, int height) {
    MvGWorld* buffer = command.getVsGWorld().get();
    std::string png, error;
    if (!pixelBufferPng(buffer, png, error)) {
        writePlaceholder(out, command.getX(), command.getY(), width, height, "image");
        return;
    }
    out << "  <image x=\"" << command.getX() << "\" y=\"" << command.getY() << "\" width=\""
        << MvGWorldGetWidth(buffer) << "\" height=\"" << MvGWorldGetHeight(buffer)
        << "\" preserveAspectRatio=\"none\" href=\"data:image/png;base64," << base64Encode(png)
        << "\"/>\n";
}

constexpr int kMovieCaption = 20;

// A movie shows as its first frame with its frame count written under it.
void writeMovie(std::ostream& out, MvGraphicsCommand& command, int width, int height) {
    const std::int32_t frames = MvMovieHandleGetFrameCount(command.getMovie());
    mv_auto_value<MvGWorld> first(MvMovieHandleCreateFirstFrame(command.getMovie()));
    std::string png, error;
    if (frames < 0 || !first.get() || !pixelBufferPng(first.get(), png, error)) {
        writePlaceholder(out, command.getX(), command.getY(), width, height, "movie");
    } else {
        out << "  <image x=\"" << command.getX() << "\" y=\"" << command.getY()
            << "\" width=\"" << MvGWorldGetWidth(first.get()) << "\" height=\""
            << MvGWorldGetHeight(first.get())
            << "\" preserveAspectRatio=\"none\" href=\"data:image/png;base64,"
            << base64Encode(png) << "\"/>\n";
    }
    if (frames >= 0)
        out << "  <text x=\"" << command.getX() << "\" y=\""
            << command.getY() + (first.get() ? MvGWorldGetHeight(first.get()) : 0) + 14
            << "\" font-family=\"sans-serif\" font-size=\"12\">" << frames
            << (frames == 1 ? " frame" : " frames") << "</text>\n";
}

} // namespace

std::string renderSvg(const MvGraphics& picture) {
    std::int16_t width16 = 0, height16 = 0;
    picture.getSize(width16, height16);
    const int width = width16 > 0 ? width16 : 0;
    int height = height16 > 0 ? height16 : 0;
    // A movie's frame count is written under its picture.
    for (MvGraphicsCommand* command : *picture.getCommandList())
        if (command->getID() == kGraphicsMovie) {
            height += kMovieCaption;
            break;
        }

    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\""
        << height << "\" viewBox=\"0 0 " << width << ' ' << height << "\">\n";
    if (picture.fullEraseNeeded())
        out << "  <rect x=\"0\" y=\"0\" width=\"" << width << "\" height=\"" << height
            << "\" fill=\"white\"/>\n";

    PathBuilder path;
    for (MvGraphicsCommand* command : *picture.getCommandList()) {
        const int x = command->getX();
        const int y = command->getY();
        switch (command->getID()) {
        case kGraphicsMoveTo:
            path.moveTo(x, y);
            break;
        case kGraphicsLineTo:
            path.lineTo(x, y);
            break;
        case kGraphicsText: {
            path.flush(out);
            std::vector<std::string> lines = splitLines(command->getString());
            out << "  <text x=\"" << x << "\" y=\"" << y << "\" font-family=\"monospace\""
                << " font-size=\"" << kFontSize << "\" xml:space=\"preserve\">";
            if (lines.size() == 1) {
                out << xmlText(lines.front());
            } else {
                for (std::size_t i = 0; i < lines.size(); ++i)
                    out << "<tspan x=\"" << x << "\" y=\""
                        << y + static_cast<int>(i) * kLineHeight << "\">" << xmlText(lines[i])
                        << "</tspan>";
            }
            out << "</text>\n";
            break;
        }
        case kGraphicsImage:
            path.flush(out);
            writeImage(out, *command, width, height);
            break;
        case kGraphicsMovie:
            path.flush(out);
            writeMovie(out, *command, width, height);
            break;
        }
    }
    path.flush(out);
    out << "</svg>\n";
    return out.str();
}

std::string safeFileName(const std::string& title) {
    std::string name;
    for (char ch : title) {
        const bool keep = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                          (ch >= '0' && ch <= '9') || ch == '-' || ch == '_' || ch == '.';
        if (name.empty() && ch == '.')
            continue;   // no hidden files, no "." or ".."
        name += keep ? ch : '_';
        if (name.size() >= kMaxFileNameBytes)
            break;
    }
    return name.empty() ? "window" : name;
}

SvgWindowWriter::SvgWindowWriter(std::string folder) : folder_(std::move(folder)) {}

std::string SvgWindowWriter::fileFor(const MvWindow* window, const std::string& title) {
    auto key = std::make_pair(window, title);
    auto found = names_.find(key);
    if (found != names_.end())
        return found->second;
    const std::string base = safeFileName(title);
    std::string name = base;
    for (int n = 2; taken_.count(name); ++n)
        name = base + "-" + std::to_string(n);
    taken_.insert(name);
    names_.emplace(key, name);
    return name;
}

bool SvgWindowWriter::poll(MvParser* session) {
    struct Pending {
        const MvWindow* window;
        std::string title;
        mv_auto_value<MvGraphics> picture;
    };
    std::vector<Pending> pending;

    // Under the window-list lock no window can go away. The flag is cleared
    // before the picture is taken, so a picture installed meanwhile sets it
    // again and is written at the next poll.
    MvParserGetWindowList(session);
    for (long i = 0;; ++i) {
        MvWindow* window = MvParserGetWindow(session, i);
        if (!window)
            break;
        if (!window->getUpdateFlag())
            continue;
        window->setUpdateFlag(false);
        pending.push_back({window, window->getTitle(), window->getVsGraphics()});
    }
    MvParserReleaseWindowList(session);

    // The counted references keep the pictures alive while they are written.
    bool ok = true;
    for (Pending& item : pending) {
        if (!item.picture)
            continue;
        const std::string path = folder_ + "/" + fileFor(item.window, item.title) + ".svg";
        const std::string temporary = path + ".tmp";
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file << renderSvg(*item.picture);
            if (!file.flush())
                ok = false;
        }
        if (ok && std::rename(temporary.c_str(), path.c_str()) != 0)
            ok = false;
        if (!ok) {
            std::remove(temporary.c_str());
            if (!reportedFailure_)
                std::fprintf(stderr, "morvane: cannot write %s\n", path.c_str());
            reportedFailure_ = true;
            break;
        }
    }
    return ok;
}
