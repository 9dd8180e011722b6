// Runs arbitrary bytes as a script, with the built-in namespaces registered:
// the evaluator, the values and the built-ins all see hostile input. Any
// crash, leak or sanitizer report is a bug.
//
// Every run gets a budget: a watchdog stops it through the session's
// interrupted flag, as a host's Ctrl-C does, so endless loops and long waits
// end. The process works in a scratch folder of its own, made at start-up,
// so that the file built-ins and value files only touch that folder.
#include "morvane/MvHost.h"
#include "morvane/MvParser.h"
#include "morvane/MvPluginApi.h"
#include "morvane/MvProcess.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto kRunBudget = std::chrono::milliseconds(200);

// Stops the session after the budget unless the run ended first.
class Watchdog {
public:
    explicit Watchdog(MvParser* session)
        : thread_([this, session] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!ended_.wait_for(lock, kRunBudget, [this] { return over_; }))
                  MvParserSetInterruptedFlag(session, 1);
          }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            over_ = true;
        }
        ended_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool over_ = false;
    std::thread thread_;
};

void drain(Mv_stringstream* stream) {
    stream->str("");
    stream->clear();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/morvane_run_fuzz_XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) {
        std::perror("morvane fuzz: scratch folder");
        std::abort();
    }
    MvPluginRegistryInitInternal();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    MvParser* session = MvParserCreate(text.c_str(), static_cast<long>(size), nullptr);
    if (!session)
        return 0;
    {
        Watchdog budget(session);
        MvParserExecute(session);
    }
    drain(MvParserGetConsoleStream(session));
    MvParserReleaseConsoleStream(session);
    drain(MvParserGetWarningConsoleStream(session));
    MvParserReleaseWarningConsoleStream(session);
    Mv_stringstream records;
    const int count = MvParserGetParseErrorCount(session);
    for (int i = 0; i < count; ++i)
        MvParseErrorWriteToStream(MvParserGetParseError(session, i), &records);
    MvParserReleaseParseErrors(session);
    MvParserDelete(session);
    return 0;
}
