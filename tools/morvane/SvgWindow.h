// Script windows written as SVG pictures.
#ifndef MORVANE_TOOLS_SVGWINDOW_H
#define MORVANE_TOOLS_SVGWINDOW_H

#include <map>
#include <set>
#include <string>
#include <utility>

class MvGraphics;
class MvParser;
class MvWindow;

// The SVG document of one picture: its size, a white background when the
// picture asks for a full erase, then its commands in list order (texts as
// <text>, pen moves and lines as paths, images as <image> elements holding
// the buffer's pixels as an embedded PNG picture, movies as labelled
// placeholder rectangles).
std::string renderSvg(const MvGraphics& picture);

// A window title made safe as a file name: letters, digits, '-', '_' and
// '.' are kept, every other byte becomes '_', leading dots are dropped, the
// length is limited; an empty result becomes "window".
std::string safeFileName(const std::string& title);

// Writes the windows of one session into a folder, as a host redraws them:
// a window whose update flag is set is written and its flag cleared.
class SvgWindowWriter {
public:
    // folder must exist; it is used as given (make it absolute first, since
    // a run changes the current directory).
    explicit SvgWindowWriter(std::string folder);

    // Writes every window whose update flag is set. Returns false (after a
    // message on standard error) when a file could not be written.
    bool poll(MvParser* session);

private:
    std::string fileFor(const MvWindow* window, const std::string& title);

    std::string folder_;
    // The file name given to each window (by identity and title), and the
    // names taken, so two windows never share a file.
    std::map<std::pair<const MvWindow*, std::string>, std::string> names_;
    std::set<std::string> taken_;
    bool reportedFailure_ = false;
};

#endif
