// Writing a file so that a failure leaves nothing half written.
//
// The data go to a temporary file next to the destination, which takes the
// destination's place only when everything was written. A save that fails
// (a value that cannot be written, a full disk) leaves the destination as it
// was, and the temporary file is removed.
#ifndef MORVANE_ENGINE_MVREPLACINGFILE_H
#define MORVANE_ENGINE_MVREPLACINGFILE_H

#include <fstream>
#include <ios>
#include <string>

class MvReplacingFile {
public:
    // Raises "file \"path\" cannot be opened for writing." when the
    // temporary file cannot be made.
    MvReplacingFile(const std::string& path, std::ios::openmode mode);
    // Removes the temporary file unless commit succeeded.
    ~MvReplacingFile();

    MvReplacingFile(const MvReplacingFile&) = delete;
    MvReplacingFile& operator=(const MvReplacingFile&) = delete;

    std::ostream& stream() { return out_; }
    // Puts the written file in the destination's place; raises
    // "file \"path\" could not be written." when that fails.
    void commit();

private:
    std::string path_;
    std::string temporary_;
    std::ofstream out_;
    bool committed_ = false;
};

#endif
