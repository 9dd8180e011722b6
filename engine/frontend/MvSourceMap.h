// Which source file, and which line in it, every scanner line came from.
//
// The include preprocessor leaves marker lines in the expanded text; the
// scanner reports them here, and every location written for the user is
// mapped back through this table.
#ifndef MORVANE_ENGINE_MVSOURCEMAP_H
#define MORVANE_ENGINE_MVSOURCEMAP_H

#include "morvane/MvExport.h"

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

// Exported so that tests can drive the marker arithmetic through a session's
// sourceMap() the way the scanner does.
class MV_EXPORT MvSourceMap {
public:
    // Row 0 "Internal_Include_Error" (absorbs an unbalanced end marker), row 1
    // the main script; one segment {0, 0, 1}.
    MvSourceMap();

    // The file and the line in it that scanner line scannerLine came from.
    void mapLine(int scannerLine, int& line, int& fileIndex) const;
    // " at [file 'name', ]line N", then "\nincluded from ..." per enclosing
    // include; nothing for file 0 or an index outside the table.
    std::ostream& outputError(std::ostream& out, long line, long fileIndex) const;

    // A "+name" marker on scanner line markerLine: the following lines come
    // from the file name. The caller counts the marker's own line.
    void enterIncludedFile(const std::string& name, int markerLine);
    // A "-" marker: the included file ends, its parent continues.
    void leaveIncludedFile(int markerLine);
    // Within one pass over the text marker lines only grow. A marker at or
    // before the last one recorded comes from a new scanner reading the same
    // text again and is already in the table: both calls above ignore it.

    const std::vector<SourceFileEntry>& files() const { return files_; }
    const std::vector<LineSegment>& segments() const { return segments_; }
    int currentFile() const { return currentFile_; }

private:
    // Closes the current file's stretch at scanner line markerLine.
    void closeStretch(SourceFileEntry& file, int markerLine);
    // "file 'name', " for a named file; nothing for the main script.
    void writeFilePart(std::ostream& out, const SourceFileEntry& file) const;
    // False for a marker already recorded; otherwise notes it as the last.
    bool isNewMarker(int markerLine);

    std::vector<SourceFileEntry> files_;
    std::vector<LineSegment> segments_;
    int currentFile_ = 1;
    int lastMarkerLine_ = 0;   // scanner lines start at 1
};

#endif
