// Version queries, the process-wide abort flag, script errors from native
// code and the warning console shared by all sessions.
#include "MvAbortFlag.h"
#include "morvane/MvException.h"
#include "morvane/MvMutexLock.h"
#include "morvane/MvProcess.h"
#include "platform/MvInterruptPoll.h"

#include <atomic>

namespace {

constexpr int kMajorVersion = 3;
constexpr int kMinorVersion = 0;
constexpr int kBuild = 1;

struct WarningConsole {
    MvMutexLock lock;
    Mv_stringstream stream;
};

WarningConsole& warningConsole() {
    static WarningConsole console;
    return console;
}

} // namespace

std::atomic<bool> MvAbortEverythingFlag{false};

void MvGetVersion(int* major, int* minor, int* build) {
    if (major)
        *major = kMajorVersion;
    if (minor)
        *minor = kMinorVersion;
    if (build)
        *build = kBuild;
}

const char* MvGetVersionString() { return "3.0a"; }

int MvIsCompatibleVersion(int major) { return major == kMajorVersion ? 1 : 0; }

void MvSetAbortEverything() { MvAbortEverythingFlag.store(true, std::memory_order_relaxed); }

// Native code polls this in its long loops: it stops for the process-wide
// abort and for the host's stop of the run on this thread.
void MvYield() {
    MvYieldInline();
    if (MvRunStopRequested())
        throw new MvInterruptException();
}

void MvError(const char* message) { throw new MvException(message); }

// Called from C hosts and plug-ins, and by the entry guards themselves: a
// warning that cannot be stored (out of memory) is dropped.
void MvWarning(const char* message) {
    try {
        WarningConsole& console = warningConsole();
        MvLockGuard guard(console.lock);
        if (message)
            console.stream << message;
    } catch (...) {
    }
}

Mv_stringstream& MvGetWarningConsole() {
    WarningConsole& console = warningConsole();
    console.lock.lock();
    return console.stream;
}

void MvReleaseWarningConsole() { warningConsole().lock.unlock(); }
