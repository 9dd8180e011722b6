// A host that loads the engine at run time (as a scripting language's
// foreign-function module does) rather than linking against it. This binary
// is not linked against the engine: it opens the library with dlopen, finds
// the entry points by name and runs scripts through them, on its own thread
// and on one started after the library was loaded. CMakeLists runs it with
// almost no room for libraries loaded late in the block of thread storage
// made at start-up, as in a process that has loaded many such libraries.
#include "morvane/MvParser.h"
#include "morvane/MvPluginApi.h"
#include "morvane/MvProcess.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>
#include <thread>

namespace {

void* openEngine() {
    static void* library = dlopen(MV_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    return library;
}

// The entry point of that plain name, or, for a member of the session
// interface exported under its C++ name, of that name.
template <class Function>
Function entry(const char* plainName, const char* cxxName = nullptr) {
    void* library = openEngine();
    void* symbol = library ? dlsym(library, plainName) : nullptr;
    if (!symbol && library && cxxName)
        symbol = dlsym(library, cxxName);
    return reinterpret_cast<Function>(symbol);
}

struct Engine {
    decltype(&MvGetVersionString) versionString =
        entry<decltype(&MvGetVersionString)>("MvGetVersionString");
    decltype(&MvPluginRegistryInitInternal) registerBuiltins =
        entry<decltype(&MvPluginRegistryInitInternal)>("MvPluginRegistryInitInternal");
    decltype(&MvParserCreate) create =
        entry<decltype(&MvParserCreate)>("MvParserCreate", "_Z14MvParserCreatePKclPK6MvFile");
    decltype(&MvParserExecute) execute =
        entry<decltype(&MvParserExecute)>("MvParserExecute", "_Z15MvParserExecuteP8MvParser");
    decltype(&MvParserGetConsoleStream) console = entry<decltype(&MvParserGetConsoleStream)>(
        "MvParserGetConsoleStream", "_Z24MvParserGetConsoleStreamB5cxx11P8MvParser");
    decltype(&MvParserReleaseConsoleStream) releaseConsole =
        entry<decltype(&MvParserReleaseConsoleStream)>(
            "MvParserReleaseConsoleStream", "_Z28MvParserReleaseConsoleStreamP8MvParser");
    decltype(&MvParserGetRunErrorFlag) runErrorFlag = entry<decltype(&MvParserGetRunErrorFlag)>(
        "MvParserGetRunErrorFlag", "_Z23MvParserGetRunErrorFlagP8MvParser");
    decltype(&MvParserDelete) destroy =
        entry<decltype(&MvParserDelete)>("MvParserDelete", "_Z14MvParserDeleteP8MvParser");

    bool complete() const {
        return versionString && registerBuiltins && create && execute && console &&
               releaseConsole && runErrorFlag && destroy;
    }

    // The console after a run of the script ("run error" when it failed).
    std::string run(const std::string& script) const {
        MvParser* session = create(script.data(), static_cast<long>(script.size()), nullptr);
        if (!session)
            return "no session";
        execute(session);
        std::string text = console(session)->str();
        releaseConsole(session);
        if (runErrorFlag(session))
            text += "run error";
        destroy(session);
        return text;
    }
};

// Script functions, native functions (whose calls are listed per thread),
// variables and numbers (kept per thread once freed).
const std::string kScript = "define twice(n) begin\n"
                            "  return n * 2;\n"
                            "end\n"
                            "set total to 0;\n"
                            "repeat 100 times increment i begin\n"
                            "  set total to total + twice(i) + Math.Maximum(x -> i, y -> 1);\n"
                            "end\n"
                            "print total;\n"
                            "print Math.Minimum(x -> 4, y -> 3);\n";
const std::string kExpected = "14851\n3\n";

TEST(LoadedAtRunTime, LibraryOpensAndItsEntryPointsAreFound) {
    ASSERT_NE(openEngine(), nullptr) << dlerror();
    Engine engine;
    ASSERT_TRUE(engine.complete());
    EXPECT_NE(std::string(engine.versionString()), "");
}

TEST(LoadedAtRunTime, ScriptsRunOnTheLoadingThread) {
    ASSERT_NE(openEngine(), nullptr) << dlerror();
    Engine engine;
    ASSERT_TRUE(engine.complete());
    engine.registerBuiltins();
    EXPECT_EQ(engine.run(kScript), kExpected);
    EXPECT_EQ(engine.run("print 6 * 7;\n"), "42\n");
}

TEST(LoadedAtRunTime, ScriptsRunOnThreadsStartedAfterLoading) {
    ASSERT_NE(openEngine(), nullptr) << dlerror();
    Engine engine;
    ASSERT_TRUE(engine.complete());
    engine.registerBuiltins();
    std::string first, second;
    std::thread one([&] { first = engine.run(kScript); });
    one.join();
    std::thread two([&] { second = engine.run(kScript); });
    two.join();
    EXPECT_EQ(first, kExpected);
    EXPECT_EQ(second, kExpected);
}

} // namespace
