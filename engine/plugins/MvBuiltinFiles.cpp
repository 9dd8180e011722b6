// The File and TestHarness namespaces. Paths go to the operating system as
// given; the call runs with the script's folder as the current directory.
#include "MvBuiltins.h"

#include "morvane/MvScalarApi.h"
#include "platform/MvPlatform.h"
#include "values/MvListValue.h"
#include "values/MvNoValue.h"
#include "values/MvTextValue.h"

#include <cstdint>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

MvValue* noValue() { return new MvNoValue(); }

void failWith(MvPluginErrorBlock* error, const std::string& message) {
    MvPluginErrorBlockSetMessage(error, message.c_str());
}

// The script-level test log and its process-wide state.
const char* const kLogFile = "logfile.txt";

struct TestHarnessState {
    std::uint32_t startMilliseconds = 0;
    bool passed = true;
    bool logging = false;
    bool logNames = false;
};

TestHarnessState& harness() {
    static TestHarnessState state;
    return state;
}

// Appends text to the log (or, with truncate, starts it afresh).
bool writeLog(MvPluginErrorBlock* error, const std::string& text, bool truncate) {
    std::ofstream log(kLogFile, truncate ? std::ios::out | std::ios::trunc
                                         : std::ios::out | std::ios::app);
    if (log)
        log << text;
    if (!log) {
        failWith(error, std::string("Could not write to the test log '") + kLogFile + "'.");
        return false;
    }
    return true;
}

} // namespace

namespace MvBuiltins {

// ---------------------------------------------------------------------- File

MvValue* directoryList(MvPluginErrorBlock* error, MvParameterBlock* params) {
    const std::string path = MvParameterBlockGetTextValue(params, "path");
    const std::string filter = MvParameterBlockGetTextValue(params, "filter");
    std::vector<std::string> names;
    std::string why;
    if (!MvPlatform::listDirectory(path, filter, names, why))
        failWith(error, "Could not list the directory '" + path + "': " + why + ".");
    auto* list = new MvListValue();
    for (std::string& name : names) {
        MvValueHolder entry(new MvTextValue(std::move(name)));
        list->Append(entry);
    }
    return list;
}

MvValue* fileSize(MvPluginErrorBlock* error, MvParameterBlock* params) {
    const std::string path = MvParameterBlockGetTextValue(params, "path");
    std::uint64_t size = 0;
    std::string why;
    if (!MvPlatform::fileSize(path, size, why))
        failWith(error, "Could not read the size of '" + path + "': " + why + ".");
    return MvNumberCreate(static_cast<double>(size >> 32) * 4294967296.0 +
                          static_cast<double>(size & 0xFFFFFFFFu));
}

MvValue* createDirectory(MvPluginErrorBlock* error, MvParameterBlock* params) {
    const std::string path = MvParameterBlockGetTextValue(params, "path");
    std::string why;
    if (!MvPlatform::createDirectory(path, why))
        failWith(error, "Could not create the directory '" + path + "': " + why + ".");
    return noValue();
}

MvValue* copyFile(MvPluginErrorBlock* error, MvParameterBlock* params) {
    std::string why;
    if (!MvPlatform::copyFile(MvParameterBlockGetTextValue(params, "old_path"),
                              MvParameterBlockGetTextValue(params, "new_path"), why))
        MvPluginErrorBlockSetMessage(error, "Could not copy file.");
    return noValue();
}

// A file that cannot be deleted (or does not exist) is no failure.
MvValue* deleteFile(MvPluginErrorBlock*, MvParameterBlock* params) {
    MvPlatform::deleteFile(MvParameterBlockGetTextValue(params, "path"));
    return noValue();
}

// --------------------------------------------------------------- TestHarness

MvValue* testClear(MvPluginErrorBlock* error, MvParameterBlock*) {
    writeLog(error, "Morvane Test Harness", true);
    return noValue();
}

MvValue* testBegin(MvPluginErrorBlock* error, MvParameterBlock* params) {
    const std::string name = MvParameterBlockGetTextValue(params, "testname");
    if (writeLog(error, "\n" + name + " ... ", false)) {
        harness().startMilliseconds = MvPlatform::elapsedMilliseconds();
        harness().passed = true;
    }
    return noValue();
}

MvValue* testRequire(MvPluginErrorBlock*, MvParameterBlock* params) {
    const bool condition = MvParameterBlockGetBooleanValue(params, "condition");
    harness().passed = harness().passed && condition;
    return noValue();
}

// The outcome is the given success, else whether every requirement held;
// the time is the wall-clock seconds since Begin.
MvValue* testEnd(MvPluginErrorBlock* error, MvParameterBlock* params) {
    const bool success = MvParameterBlockIsDynamicGenerationRequired(params, "success")
                             ? harness().passed
                             : MvParameterBlockGetBooleanValue(params, "success");
    const std::uint32_t elapsed = MvPlatform::elapsedMilliseconds() - harness().startMilliseconds;
    std::ostringstream line;
    line << " [ " << elapsed * 0.001 << (success ? " ]  succeeded" : " ]  FAILED!!!");
    writeLog(error, line.str(), false);
    if (!success)
        MvPlatform::beep();
    return noValue();
}

MvValue* testLogging(MvPluginErrorBlock*, MvParameterBlock* params) {
    harness().logging = MvParameterBlockGetBooleanValue(params, "active");
    return noValue();
}

MvValue* testLogNames(MvPluginErrorBlock*, MvParameterBlock* params) {
    harness().logNames = MvParameterBlockGetBooleanValue(params, "active");
    return noValue();
}

MvValue* testIsDebug(MvPluginErrorBlock*, MvParameterBlock*) { return MvBooleanCreate(false); }

} // namespace MvBuiltins
