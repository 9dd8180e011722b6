// The built-in namespaces as scripts see them: the registered table, the
// listings, Math, the random numbers, files, the test log, System and Client.
#include "calls_support.h"

#include "morvane/MvGraphics.h"

#include <regex>
#include <set>

#if !defined(_WIN32)
#include <sys/utsname.h>
#endif

namespace {

class Builtins : public ::testing::Test {
protected:
    void SetUp() override { ensureBuiltins(); }

    static std::string failure(const RunResult& r) {
        return r.records.size() == 1 ? r.records[0].message
                                     : "<" + std::to_string(r.records.size()) + " records>";
    }
};

// ---------------------------------------------------------------- the table

TEST(BuiltinTable, EverySignatureIsListedAsRegistered) {
    // Only the built-ins: whatever other tests registered is dropped.
    MvDeletePluginRegistry();
    MvPluginRegistryInitInternal();
    RunResult r = runScript("print Function.GetFunctionSignatures();\n");
    EXPECT_TRUE(r.records.empty());
    const std::string expected =
        readFile(std::filesystem::path(MV_EXPECTED_DIR) / "function_signatures.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(r.console, expected);
}

TEST_F(Builtins, ListingsByNamespaceAndFunction) {
    MvDeletePluginRegistry();
    MvPluginRegistryInitInternal();
    RunResult r = runScript(
        "print Function.GetNameSpaces();\n"
        "print Function.GetFunctions(\"System\");\n"
        "print Function.GetFunctions(namespace -> \"Client\");\n");
    EXPECT_EQ(r.console,
              "Client\nDraw\nFile\nFilter\nFind\nFractal\nFrame\nFunction\nMath\nSystem\n"
              "TestHarness\nMorvaneVersion\nOS\nProcessor\nSetWindowPosition\n");

    r = runScript("set all to Function.GetFunctions();\nprint all[0];\nprint all[1];\n");
    EXPECT_EQ(r.console, "Client.SetWindowPosition\nDraw.Circle\n");

    // The four overloads of Math.Minimum, in registration order.
    r = runScript("set texts to Function.GetFunctionSignatures(\"Math\", \"Minimum\");\n"
                  "print texts[0];\nprint texts[3];\n");
    EXPECT_EQ(r.console,
              "\n/*\nReturn the smallest element and it's position.\n*/\n"
              "Math.Minimum(const vector x) returns vector\n\n"
              "\n/*\nReturn the lesser of the two parameters.\n*/\nMath.Minimum(\n"
              "        const number x,\n        const number y)\n    returns number\n\n");
    r = runScript("set texts to Function.GetFunctionSignatures(namespace -> \"System\");\n"
                  "print texts[2];\n");
    EXPECT_EQ(r.console, "\n/*\nReturn the CPU name (e.g. x86).\n*/\nSystem.Processor() returns text\n\n");
}

TEST_F(Builtins, UnknownNamesInListingsAreRuntimeErrors) {
    // A single text goes to the internal-namespace form, which has nothing.
    EXPECT_EQ(failure(runScript("print Function.GetFunctionSignatures(\"Math\");\n")),
              "NameSpace doesn't exist");
    EXPECT_EQ(failure(runScript("print Function.GetFunctionSignatures(namespace -> \"Nope\");\n")),
              "NameSpace doesn't exist");
    EXPECT_EQ(failure(runScript("print Function.GetFunctionSignatures(\"Math\", \"Nope\");\n")),
              "Function doesn't exist");
    EXPECT_EQ(failure(runScript("print Function.GetFunctions(\"Nope\");\n")),
              "NameSpace doesn't exist");
}

// --------------------------------------------------------------------- Math

TEST_F(Builtins, MathOnNumbersAndVectors) {
    RunResult r = runScript(
        "print Math.Maximum({3, 9, 9});\n"
        "print Math.Minimum({4, 1, 1});\n"
        "print Math.Maximum(2, 7);\n"
        "print Math.Minimum(2, 2);\n"
        "print Math.Minimum(y -> -1, x -> 3);\n"
        "print Math.Maximum({});\n"
        "print Math.Minimum({});\n"
        "print Math.Sum({1, 2, 3});\n"
        "print Math.Average({1, 2, 3});\n"
        "print Math.StdDev({1, 2, 3});\n"
        "print Math.Difference({1, 2}, {1, 2});\n"
        "print Find.Correlate({1, 5, 3}, 4);\n"
        "print Math.Sum({});\n");
    EXPECT_EQ(r.console.substr(0, r.console.rfind("\n", r.console.size() - 2) + 1),
              "9\t1\n1\t1\n7\n2\n-1\n-9e+99\t0\n9e+99\t0\n6\n2\n1\n0\n1\t1\n");
    EXPECT_NE(r.console.substr(r.console.rfind("\n", r.console.size() - 2)).find("nan"),
              std::string::npos);
    EXPECT_TRUE(r.records.empty());
}

TEST_F(Builtins, MathFailuresGoThroughTheErrorBlock) {
    EXPECT_EQ(failure(runScript("print Math.Difference({1, 2}, {1, 2, 3});\n")),
              "Plugin failed with error (#-1):\n\tVectors are different sizes.");
    EXPECT_EQ(failure(runScript("print Math.Random(2, 1);\n")),
              "Plugin failed with error (#-1):\n\tmax must be greater than min");
}

TEST_F(Builtins, RandomNumbersStayInTheirRangeAndReachItsEnds) {
    RunResult r = runScript(
        "Math.RandomSeed(7);\n"
        "set low to 10; set high to 0; set outside to 0;\n"
        "repeat 20000 times begin\n"
        "  set r to Math.Random(3, 4);\n"
        "  if r < 3 or r > 4 then add 1 to outside;\n"
        "  if r < low then set low to r;\n"
        "  if r > high then set high to r;\n"
        "end\n"
        "print outside;\n"
        "print low < 3.001;\n"
        "print high > 3.999;\n"
        "set u to Math.Random();\n"
        "print u >= 0 and u <= 1;\n");
    EXPECT_EQ(r.console, "0\ntrue\ntrue\ntrue\n");
}

TEST_F(Builtins, SeedingRepeatsTheSequence) {
    const std::string draws =
        "set v to {};\n"
        "repeat 5 times append Math.Random(0, 1000) to v;\n"
        "print v;\n";
    RunResult first = runScript("Math.RandomSeed(42);\n" + draws);
    RunResult again = runScript("Math.RandomSeed(42);\n" + draws);
    RunResult other = runScript("Math.RandomSeed(43);\n" + draws);
    RunResult fraction = runScript("Math.RandomSeed(42.0004);\n" + draws);   // 42000 either way
    ASSERT_TRUE(first.records.empty());
    EXPECT_EQ(first.console, again.console);
    EXPECT_EQ(first.console, fraction.console);
    EXPECT_NE(first.console, other.console);
    // Without a new seed the sequence goes on.
    RunResult next = runScript(draws);
    EXPECT_NE(next.console, again.console);
}

TEST_F(Builtins, MandelbrotEscapeCounts) {
    RunResult r = runScript(
        "print Fractal.MandelbrotPoint(0, 0);\n"
        "print Fractal.MandelbrotPoint(3, 0);\n"
        "print Fractal.MandelbrotPoint(1, 0);\n"
        "print Fractal.MandelbrotPoint(0.5, 0);\n");
    EXPECT_EQ(r.console, "-1\n1\n3\n5\n");
}

TEST_F(Builtins, MediaFunctionsReportThatTheirKindIsMissing) {
    EXPECT_EQ(failure(runScript("set f to Frame.Grab();\n")),
              "Plugin failed with error (#-1):\n\t"
              "Frame.Grab: values of kind videosource are not available in this build yet.");
}

// --------------------------------------------------------------------- File

TEST_F(Builtins, FileFunctionsWorkInTheScriptsFolder) {
    TemporaryFolder folder;
    {
        std::ofstream(folder.path() / "a.txt") << "12345";
        std::ofstream(folder.path() / "b.dat") << "x";
    }
    RunResult r = runScriptIn(folder.path(),
        "print File.Size(\"a.txt\");\n"
        "File.Copy(\"a.txt\", \"c.txt\");\n"
        "File.Copy(old_path -> \"b.dat\", new_path -> \"c.txt\");\n"
        "print File.Size(path -> \"c.txt\");\n"
        "File.Delete(\"b.dat\");\n"
        "File.Delete(\"missing.txt\");\n"
        "File.CreateDirectory(\"sub\");\n"
        "print File.DirectoryList(\"\", \".txt\");\n");
    EXPECT_TRUE(r.records.empty()) << failure(r);
    ASSERT_EQ(r.console.substr(0, 4), "5\n1\n");
    std::set<std::string> listed;
    std::istringstream names(r.console.substr(4));
    for (std::string name; std::getline(names, name);)
        listed.insert(name);
    EXPECT_EQ(listed, (std::set<std::string>{"a.txt", "c.txt"}));
    EXPECT_EQ(readFile(folder.path() / "c.txt"), "x");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "b.dat"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "sub"));

    r = runScriptIn(folder.path(), "set names to File.DirectoryList(\"sub\");\nprint names;\n");
    listed.clear();
    std::istringstream inSub(r.console);
    for (std::string name; std::getline(inSub, name);)
        listed.insert(name);
    listed.erase(".");
    listed.erase("..");
    EXPECT_TRUE(listed.empty());
}

TEST_F(Builtins, FileFailuresGoThroughTheErrorBlock) {
    TemporaryFolder folder;
    EXPECT_EQ(failure(runScriptIn(folder.path(), "File.Copy(\"none\", \"copy\");\n")),
              "Plugin failed with error (#-1):\n\tCould not copy file.");
    EXPECT_EQ(failure(runScriptIn(folder.path(),
                                  "File.CreateDirectory(\"d\");\nFile.CreateDirectory(\"d\");\n")),
              "Plugin failed with error (#-1):\n\tCould not create the directory 'd': it already exists.");
    RunResult r = runScriptIn(folder.path(), "File.CreateDirectory(\"no/such/parent\");\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message.rfind(
                  "Plugin failed with error (#-1):\n\tCould not create the directory 'no/such/parent': ",
                  0),
              0u);
    r = runScriptIn(folder.path(), "print File.Size(\"none\");\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message.rfind("Plugin failed with error (#-1):\n\tCould not read the size of 'none'", 0), 0u);
}

// -------------------------------------------------------------- TestHarness

int beeps = 0;
void countBeep(void*) { ++beeps; }

TEST_F(Builtins, TheTestLogRecordsNamesOutcomesAndTimes) {
    TemporaryFolder folder;
    beeps = 0;
    MvSetBeepCallback(&countBeep, nullptr);
    RunResult r = runScriptIn(folder.path(),
        "TestHarness.Clear();\n"
        "TestHarness.Begin(\"first\");\n"
        "TestHarness.Require(true);\n"
        "TestHarness.End();\n"
        "TestHarness.Begin(\"second\");\n"
        "TestHarness.Require(false);\n"
        "TestHarness.Require(true);\n"
        "TestHarness.End();\n"
        "TestHarness.Begin(testname -> \"third\");\n"
        "wait 0.2;\n"
        "TestHarness.End(success -> true);\n"
        "TestHarness.Logging(true);\n"
        "TestHarness.LogNames(false);\n"
        "print TestHarness.IsDebug();\n");
    MvSetBeepCallback(nullptr, nullptr);
    EXPECT_TRUE(r.records.empty()) << failure(r);
    EXPECT_EQ(r.console, "false\n");
    EXPECT_EQ(beeps, 1);

    const std::string log = readFile(folder.path() / "logfile.txt");
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(
        log, parts,
        std::regex("Morvane Test Harness\n"
                   "first \\.\\.\\.  \\[ ([0-9.e+-]+) \\]  succeeded\n"
                   "second \\.\\.\\.  \\[ ([0-9.e+-]+) \\]  FAILED!!!\n"
                   "third \\.\\.\\.  \\[ ([0-9.e+-]+) \\]  succeeded")))
        << log;
    EXPECT_LT(std::stod(parts[1]), 0.15);
    EXPECT_GE(std::stod(parts[3]), 0.19);
    EXPECT_LT(std::stod(parts[3]), 5.0);

    // Clear starts the log again.
    runScriptIn(folder.path(), "TestHarness.Clear();\n");
    EXPECT_EQ(readFile(folder.path() / "logfile.txt"), "Morvane Test Harness");
}

// ----------------------------------------------------------- System, Client

TEST_F(Builtins, SystemNamesThePlatformAndTheVersion) {
    int major = 0, minor = 0, build = 0;
    MvGetVersion(&major, &minor, &build);
    RunResult r = runScript("print System.MorvaneVersion();\nprint System.OS();\n"
                            "print System.Processor();\n");
    std::ostringstream expected;
    expected << major << '\t' << minor << '\t' << build << '\n';
#if defined(_WIN32)
    expected << "Windows\nx86\n";
#else
    utsname names;
    ASSERT_EQ(uname(&names), 0);
    const std::string system = names.sysname;
    expected << (system == "Darwin" ? "MacOSX" : system) << '\n' << names.machine << '\n';
#endif
#if defined(__linux__)
    EXPECT_EQ(r.console.substr(r.console.find('\n') + 1, 6), "Linux\n");
#endif
    EXPECT_EQ(r.console, expected.str());
}

TEST_F(Builtins, SetWindowPositionMovesTheNamedWindow) {
    SessionPtr session = newSession(
        "set window \"w\" to 5;\n"
        "define place begin Client.SetWindowPosition(\"w\", 10.7, 20); end\n"
        "place();\n");
    MvParserExecute(session.get());
    RunResult r = collect(session.get());
    EXPECT_TRUE(r.records.empty()) << failure(r);
    MvParserGetWindowList(session.get());
    MvWindow* window = MvParserGetWindow(session.get(), 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->getXPosition(), 10);
    EXPECT_EQ(window->getYPosition(), 20);
    MvParserReleaseWindowList(session.get());

    EXPECT_EQ(failure(runScript("Client.SetWindowPosition(\"nowhere\", 1, 2);\n")),
              "Invalid identifier (nowhere)");
}

} // namespace
