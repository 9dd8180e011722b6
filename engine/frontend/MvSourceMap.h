// Which source file, and which line in it, every scanner line came from.
//
// The include preprocessor leaves marker lines in the expanded text; the
// scanner reports them here, and every location written for the user is
// mapped back through this table.
#ifndef MORVANE_ENGINE_MVSOURCEMAP_H
#define MORVANE_ENGINE_MVSOURCEMAP_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct SourceFileEntry {
    std::string name;            // as written in the include directive; empty for the main script
    std::int32_t parent;         // index of the including file
    std::int32_t lineInParent;   // line of the including file that included this one
    std::int32_t linesConsumed;  // lines of this file the scanner has passed so far
    std::int32_t segmentStart;   // scanner line at which this file's current stretch began
};

struct LineSegment {
    std::int32_t firstLine;   // scanner line where the segment begins
    std::int32_t offset;      // subtracted from a scanner line to get the line in the file
    std::int32_t fileIndex;
};

class MvSourceMap {
public:
    // Row 0 "Internal_Include_Error" (absorbs an unbalanced end marker), row 1
    // the main script; one segment {0, 0, 1}.
    MvSourceMap();

    void mapLine(int scannerLine, int& line, int& fileIndex) const;
    // " at [file 'name', ]line N", then "\nincluded from ..." per enclosing
    // include; nothing for file 0.
    std::ostream& outputError(std::ostream& out, long line, long fileIndex) const;

    // A "+name" marker on scanner line markerLine: the following lines come
    // from the file name.
    void enterIncludedFile(const std::string& name, int markerLine);
    // A "-" marker: the included file ends, its parent continues.
    void leaveIncludedFile(int markerLine);

    const std::vector<SourceFileEntry>& files() const { return files_; }
    const std::vector<LineSegment>& segments() const { return segments_; }
    int currentFile() const { return currentFile_; }

private:
    std::vector<SourceFileEntry> files_;
    std::vector<LineSegment> segments_;
    int currentFile_ = 1;
};

#endif
