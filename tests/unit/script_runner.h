// Runs a script through the host interface and collects what a host sees.
#ifndef MORVANE_TESTS_SCRIPT_RUNNER_H
#define MORVANE_TESTS_SCRIPT_RUNNER_H

#include "morvane/MvHost.h"
#include "morvane/MvParser.h"

#include <memory>
#include <string>
#include <vector>

struct ScriptRecord {
    int line;
    int fileIndex;
    std::string text;
    std::string message;
};

struct SessionDeleter {
    void operator()(MvParser* session) const { MvParserDelete(session); }
};
using SessionPtr = std::unique_ptr<MvParser, SessionDeleter>;

inline SessionPtr newSession(const std::string& script) {
    return SessionPtr(
        MvParserCreate(script.data(), static_cast<long>(script.size()), nullptr));
}

inline std::string drainConsole(MvParser* session) {
    Mv_stringstream* console = MvParserGetConsoleStream(session);
    std::string text = console->str();
    console->str("");
    console->clear();
    MvParserReleaseConsoleStream(session);
    return text;
}

inline std::vector<ScriptRecord> errorRecords(MvParser* session) {
    std::vector<ScriptRecord> records;
    int count = MvParserGetParseErrorCount(session);
    for (int i = 0; i < count; ++i) {
        ParseError* e = MvParserGetParseError(session, i);
        records.push_back({e->line, e->fileIndex, e->text, e->message});
    }
    MvParserReleaseParseErrors(session);
    return records;
}

struct RunResult {
    std::string console;
    std::vector<ScriptRecord> records;
    bool parseError;
    bool runError;
    bool done;
    bool dirty;
};

inline RunResult collect(MvParser* session) {
    RunResult r;
    r.console = drainConsole(session);
    r.records = errorRecords(session);
    r.parseError = MvParserGetErrorFlag(session) == 1;
    r.runError = MvParserGetRunErrorFlag(session) == 1;
    r.done = MvParserGetDoneFlag(session) == 1;
    r.dirty = MvParserGetDirtyFlag(session) == 1;
    return r;
}

inline RunResult runScript(const std::string& script) {
    SessionPtr session = newSession(script);
    MvParserExecute(session.get());
    return collect(session.get());
}

#endif
