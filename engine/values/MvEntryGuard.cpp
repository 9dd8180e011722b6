#include "MvEntryGuard.h"

#include "morvane/MvProcess.h"

void MvReportEntryFailure(const char* entry, const char* reason) noexcept {
    try {
        MvWarning((std::string(entry) + ": " + (reason && *reason ? reason : "failed") + "\n").c_str());
    } catch (...) {
        // Out of memory even for the message: the fallback result must do.
    }
}
