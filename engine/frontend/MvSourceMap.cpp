#include "MvSourceMap.h"

MvSourceMap::MvSourceMap() {
    files_.push_back({"Internal_Include_Error", 1, 0, 0, 0});
    files_.push_back({"", 0, 0, 0, 0});
    segments_.push_back({0, 0, 1});
}

void MvSourceMap::mapLine(int scannerLine, int& line, int& fileIndex) const {
    line = scannerLine;
    fileIndex = 1;
}

std::ostream& MvSourceMap::outputError(std::ostream& out, long line, long fileIndex) const {
    if (fileIndex != 0)
        out << " at line " << line;
    return out;
}

void MvSourceMap::enterIncludedFile(const std::string&, int) {}

void MvSourceMap::leaveIncludedFile(int) {}
