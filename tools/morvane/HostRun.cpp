// Sessions driven as a host application drives them: the script runs on a
// worker thread while the main thread streams the console and the warning
// console, forwards Ctrl-C as the interrupted flag and redraws windows.
#include "HostRun.h"

#include "DefaultPlugins.h"
#include "PluginGlue.h"
#include "SvgWindow.h"

#include "morvane/MvFile.h"
#include "morvane/MvHost.h"
#include "morvane/MvParser.h"
#include "platform/MvRegularFile.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(5);

// Ctrl-C: counted by the handler, forwarded to the session by the main
// thread (the engine's calls take locks, which a handler must not). A
// lock-free atomic is safe in a handler and between threads.
std::atomic<int> interruptSignals{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs a lock-free counter");

void onInterrupt(int) { interruptSignals.fetch_add(1); }

// The first Ctrl-C is caught; the handler then resets itself, so a second
// one ends the process the usual way. Interrupted writes are restarted, so
// no console output is lost.
void catchFirstInterrupt() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

struct SessionDeleter {
    void operator()(MvParser* session) const { MvParserDelete(session); }
};
using Session = std::unique_ptr<MvParser, SessionDeleter>;

void writeBytes(std::FILE* out, const std::string& bytes) {
    if (bytes.empty())
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fflush(out);
}

// Reads the script's bytes, or the -e text. Returns false after a message.
// A folder, a device or a pipe is no script, and neither is a file too large
// for the engine to take.
bool loadScript(const HostOptions& options, std::string& text) {
    if (options.inlineScript) {
        text = options.inlineText;
        return true;
    }
    const MvPlatform::FileCheck read =
        MvPlatform::readRegularFile(options.scriptPath, MvPlatform::kScriptSizeLimit, text);
    if (!read) {
        std::fprintf(stderr, "morvane: the script %s %s\n", options.scriptPath.c_str(),
                     read.reason.c_str());
        return false;
    }
    return true;
}

// Fills the registry and creates the session over the script. The script's
// folder is the file's folder, or the current directory for -e. Returns an
// empty session after a message.
Session openSession(const HostOptions& options) {
    std::string text;
    if (!loadScript(options, text))
        return nullptr;
    registerBuiltinFunctions();
    if (options.defaultPlugins)
        loadDefaultPlugins(defaultPluginFolders());
    if (!loadPlugins(options.plugins))
        return nullptr;
    // A length of 0 would make the engine read up to a terminator: the
    // string's own one, so an empty file is an empty script either way.
    const MvFile folder = options.inlineScript ? MvFile() : MvFile(options.scriptPath);
    Session session(MvParserCreate(text.c_str(), static_cast<long>(text.size()), &folder));
    if (!session)
        std::fputs("morvane: cannot create a session\n", stderr);
    return session;
}

// Moves what the engine wrote so far to the host's streams, emptying the
// engine's streams between get and release.
void pumpConsole(MvParser* session, std::FILE* out) {
    Mv_stringstream* console = MvParserGetConsoleStream(session);
    std::string text = console->str();
    console->str("");
    console->clear();
    MvParserReleaseConsoleStream(session);
    writeBytes(out, text);
}

void pumpWarnings(MvParser* session) {
    Mv_stringstream* warnings = MvParserGetWarningConsoleStream(session);
    std::string text = warnings->str();
    warnings->str("");
    warnings->clear();
    MvParserReleaseWarningConsoleStream(session);
    writeBytes(stderr, text);
}

// Writes every error record to standard error and marks it as shown.
void writeErrorRecords(MvParser* session) {
    Mv_stringstream records;
    const int count = MvParserGetParseErrorCount(session);
    for (int i = 0; i < count; ++i) {
        ParseError* error = MvParserGetParseError(session, i);
        if (!error)
            continue;
        MvParseErrorWriteToStream(error, &records);
        MvParseErrorSetDisplayedFlag(error);
    }
    MvParserReleaseParseErrors(session);
    writeBytes(stderr, records.str());
}

int statusOf(MvParser* session) {
    if (MvParserGetErrorFlag(session))
        return kExitSyntaxError;
    if (MvParserGetRunErrorFlag(session))
        return kExitRunError;
    return kExitOk;
}

// The windows folder made absolute: the run changes the current directory.
bool prepareWindowsFolder(const std::string& dir, std::string& absolute) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (!std::filesystem::is_directory(dir, error)) {
        std::fprintf(stderr, "morvane: cannot create the windows folder %s\n", dir.c_str());
        return false;
    }
    absolute = std::filesystem::absolute(dir, error).lexically_normal().string();
    if (error) {
        std::fprintf(stderr, "morvane: cannot use the windows folder %s\n", dir.c_str());
        return false;
    }
    return true;
}

} // namespace

int runCommand(const HostOptions& options) {
    std::unique_ptr<SvgWindowWriter> windows;
    if (!options.windowsDir.empty()) {
        std::string folder;
        if (!prepareWindowsFolder(options.windowsDir, folder))
            return kExitUsage;
        windows = std::make_unique<SvgWindowWriter>(folder);
    }
    Session session = openSession(options);
    if (!session) {
        deleteFunctionRegistry();
        return kExitUsage;
    }
    MvParser* s = session.get();

    catchFirstInterrupt();
    // The done flag is false until the run starts as well as while it runs,
    // so the worker's own flag tells when the run is over.
    std::atomic<bool> finished{false};
    std::atomic<bool> failed{false};
    std::thread worker([s, &finished, &failed] {
        // The engine lets no exception out of a run; anything else (such as
        // running out of memory) must not end the process from this thread.
        try {
            MvParserExecute(s);
        } catch (...) {
            failed.store(true);
        }
        finished.store(true);
    });

    int forwarded = 0;
    bool windowsOk = true;
    while (!finished.load()) {
        if (interruptSignals.load() != forwarded) {
            forwarded = interruptSignals.load();
            MvParserSetInterruptedFlag(s, 1);
        }
        pumpConsole(s, stdout);
        pumpWarnings(s);
        if (windows && windowsOk)
            windowsOk = windows->poll(s);
        std::this_thread::sleep_for(kPollInterval);
    }
    worker.join();
    pumpConsole(s, stdout);
    pumpWarnings(s);
    if (windows && windowsOk)
        windowsOk = windows->poll(s);
    writeErrorRecords(s);

    int status = statusOf(s);
    if (failed.load()) {
        std::fputs("morvane: the run failed inside the engine\n", stderr);
        status = kExitUsage;
    }
    if (status == kExitOk && !windowsOk)
        status = kExitUsage;
    session.reset();
    deleteFunctionRegistry();
    return status;
}

int checkCommand(const HostOptions& options) {
    Session session = openSession(options);
    if (!session) {
        deleteFunctionRegistry();
        return kExitUsage;
    }
    MvParser* s = session.get();
    MvParserCheckSyntax(s);
    pumpConsole(s, stdout);
    pumpWarnings(s);
    writeErrorRecords(s);
    const int status = MvParserGetErrorFlag(s) ? kExitSyntaxError : kExitOk;
    session.reset();
    deleteFunctionRegistry();
    return status;
}

int lexCommand(const HostOptions& options) {
    Session session = openSession(options);
    if (!session) {
        deleteFunctionRegistry();
        return kExitUsage;
    }
    MvParser* s = session.get();
    MvParserLexicalPassOnly(s);

    std::ostringstream spans;
    std::deque<MvSyntaxBlock>* blocks = MvParserGetSyntaxBlockList(s);
    for (const MvSyntaxBlock& block : *blocks)
        spans << block.begin << ' ' << block.end << ' ' << block.kind << '\n';
    MvParserReleaseSyntaxBlockList(s);
    writeBytes(stdout, spans.str());
    // The lexical errors (and include errors) are console lines.
    pumpConsole(s, stderr);
    pumpWarnings(s);
    session.reset();
    deleteFunctionRegistry();
    return kExitOk;
}
