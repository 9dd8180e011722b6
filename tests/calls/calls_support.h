// Helpers for the call and plug-in tests: the process-wide registry filled
// on demand, the sample plug-ins, and scripts run in a folder of their own.
#ifndef MORVANE_TESTS_CALLS_SUPPORT_H
#define MORVANE_TESTS_CALLS_SUPPORT_H

#include "script_runner.h"

#include "morvane/MvPlugin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The built-in namespaces, registered once per registry.
inline void ensureBuiltins() {
    if (!MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Math"))
        MvPluginRegistryInitInternal();
}

struct LoadResult {
    std::int32_t status;
    std::string message;
};

inline LoadResult loadPlugin(const std::string& path) {
    MvValue* message = MvTextCreate("");
    std::int32_t status = -12345;
    MvRegisterPlugin(MvValueAsText(message), &status, path.c_str());
    LoadResult result{status, MvTextGetTextPtr(MvValueAsText(message))};
    MvTextDelete(message);
    return result;
}

// The built-ins and the Example namespace of the sample plug-in.
inline void ensureExamplePlugin() {
    ensureBuiltins();
    if (!MvPluginRegistry::THE_PluginRegistry()->hasNameSpace("Example")) {
        LoadResult loaded = loadPlugin(MV_EXAMPLE_PLUGIN);
        ASSERT_EQ(loaded.status, 0) << loaded.message;
    }
}

// The messages of a run's error records, in order.
inline std::vector<std::string> messages(const RunResult& r) {
    std::vector<std::string> all;
    for (const ScriptRecord& record : r.records)
        all.push_back(record.message);
    return all;
}

// What the warning console holds, which is emptied.
inline std::string takeWarnings() {
    Mv_stringstream& warnings = MvGetWarningConsole();
    std::string text = warnings.str();
    warnings.str("");
    warnings.clear();
    MvReleaseWarningConsole();
    return text;
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh folder under the system's temporary directory, removed afterwards.
class TemporaryFolder {
public:
    TemporaryFolder() {
        static int counter = 0;
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("morvane_calls_" + std::to_string(stamp) + "_" + std::to_string(++counter));
        std::filesystem::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Runs a script as if it were the file script.mvs in folder: relative paths
// of the run are relative to folder, whatever the current directory is.
inline RunResult runScriptIn(const std::filesystem::path& folder, const std::string& script) {
    MvFile* file = MvFileCreateFromPath((folder / "script.mvs").string().c_str());
    SessionPtr session(
        MvParserCreate(script.data(), static_cast<long>(script.size()), file));
    MvFileDelete(file);
    MvParserExecute(session.get());
    return collect(session.get());
}

#endif
