// The source-file table and line map the scanner extends at include markers.
#include "MvSourceMap.h"

MvSourceMap::MvSourceMap() {
    files_.push_back({"Internal_Include_Error", 1, 0, 0, 0});
    files_.push_back({"", 0, 0, 0, 0});
    segments_.push_back({0, 0, 1});
}

// Segments are ordered by first line: the one that applies is the last whose
// first line is not beyond scannerLine. A line before the first segment
// (only a negative one) takes the first segment.
void MvSourceMap::mapLine(int scannerLine, int& line, int& fileIndex) const {
    std::size_t next = 0;
    while (next < segments_.size() && segments_[next].firstLine <= scannerLine)
        ++next;
    const LineSegment& segment = segments_[next == 0 ? 0 : next - 1];
    line = scannerLine - segment.offset;
    fileIndex = segment.fileIndex;
}

void MvSourceMap::writeFilePart(std::ostream& out, const SourceFileEntry& file) const {
    if (!file.name.empty())
        out << "file '" << file.name << "', ";
}

// Every parent index is a row made before its child (row 0 points at row 1,
// but the walk stops on reaching parent 0), so the walk always ends.
std::ostream& MvSourceMap::outputError(std::ostream& out, long line, long fileIndex) const {
    if (fileIndex <= 0 || fileIndex >= static_cast<long>(files_.size()))
        return out;
    out << " at ";
    writeFilePart(out, files_[fileIndex]);
    out << "line " << line;
    const SourceFileEntry* file = &files_[fileIndex];
    while (file->parent != 0) {
        const SourceFileEntry& parent = files_[file->parent];
        out << "\nincluded from ";
        writeFilePart(out, parent);
        out << "line " << file->lineInParent;
        file = &parent;
    }
    return out;
}

// The session makes a new scanner over the same text for a colouring pass and
// again for the parse; each reads the same markers at the same lines, so
// every marker is recorded once, by whichever scanner reaches it first.
bool MvSourceMap::isNewMarker(int markerLine) {
    if (markerLine <= lastMarkerLine_)
        return false;
    lastMarkerLine_ = markerLine;
    return true;
}

void MvSourceMap::closeStretch(SourceFileEntry& file, int markerLine) {
    file.linesConsumed += markerLine - file.segmentStart;
}

// The marker line stands for the directive's line in the including file; the
// included file's line 1 is the scanner line after the marker.
void MvSourceMap::enterIncludedFile(const std::string& name, int markerLine) {
    if (!isNewMarker(markerLine))
        return;
    SourceFileEntry& current = files_[currentFile_];
    closeStretch(current, markerLine);
    SourceFileEntry included{name, currentFile_, current.linesConsumed, 0, markerLine};
    files_.push_back(included);
    currentFile_ = static_cast<int>(files_.size()) - 1;
    segments_.push_back({markerLine + 1, markerLine, currentFile_});
}

// The end marker has no line of its own in the including file: counting it as
// consumed there makes the parent's next line follow the directive's line.
// The main script's parent is row 0, which absorbs an unbalanced end marker.
void MvSourceMap::leaveIncludedFile(int markerLine) {
    if (!isNewMarker(markerLine))
        return;
    SourceFileEntry& current = files_[currentFile_];
    closeStretch(current, markerLine);
    currentFile_ = current.parent;
    SourceFileEntry& parent = files_[currentFile_];
    parent.linesConsumed += 1;
    segments_.push_back({markerLine + 1, markerLine + 1 - parent.linesConsumed, currentFile_});
    parent.segmentStart = markerLine + 1;
}
