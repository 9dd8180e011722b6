#include "MvReplacingFile.h"

#include "morvane/MvException.h"

#include <cstdio>

MvReplacingFile::MvReplacingFile(const std::string& path, std::ios::openmode mode)
    : path_(path), temporary_(path + ".saving") {
    out_.open(temporary_, mode | std::ios::out | std::ios::trunc);
    if (!out_)
        MvRaise("file \"" + path_ + "\" cannot be opened for writing.");
}

MvReplacingFile::~MvReplacingFile() {
    if (committed_)
        return;
    out_.close();
    std::remove(temporary_.c_str());
}

void MvReplacingFile::commit() {
    out_.flush();
    const bool written = static_cast<bool>(out_);
    out_.close();
    if (!written || out_.fail() || std::rename(temporary_.c_str(), path_.c_str()) != 0)
        MvRaise("file \"" + path_ + "\" could not be written.");
    committed_ = true;
}
