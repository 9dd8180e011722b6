// Running scripts: statements, loops, errors and their records, references,
// windows, and the host stopping a run.
#include "script_runner.h"

#include "morvane/MvGraphics.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double secondsToRun(const std::string& script, RunResult* result = nullptr) {
    Clock::time_point start = Clock::now();
    RunResult r = runScript(script);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (result)
        *result = r;
    return seconds;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(ScriptStatements, PrintWritesTextAndLineEnd) {
    RunResult r = runScript("print 5;\nprint \"abc\";\nprint true;\nprint 1 / 3;\n");
    EXPECT_EQ(r.console, "5\nabc\ntrue\n0.333333\n");
    EXPECT_FALSE(r.runError);
    EXPECT_TRUE(r.done);
    EXPECT_TRUE(r.dirty);
}

TEST(ScriptStatements, IfElseAndArithmeticStatements) {
    RunResult r = runScript(
        "set x to 5;\n"
        "if x > 3 then print \"big\"; else print \"small\";\n"
        "if x < 3 then print \"never\";\n"
        "add 2 to x; print x;\n"
        "subtract 1 from x; print x;\n"
        "multiply x by 3; print x;\n"
        "divide x by 4; print x;\n");
    EXPECT_EQ(r.console, "big\n7\n6\n18\n4.5\n");
}

TEST(ScriptStatements, InPlaceChangeOfKindIsRefused) {
    RunResult r = runScript("set x to 5;\nadd \"a\" to x;\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].line, 2);
    EXPECT_EQ(r.records[0].message, "Can't execute \"number add text\" : incompatible types.");
}

TEST(ScriptStatements, UnitSuffixesAreSeconds) {
    RunResult r = runScript("print 2 minutes;\nprint 1 year;\nprint 50 %;\nprint 1e3;\n"
                            "print 2 * 3 seconds;\nprint 1 hour + 1 day;\n");
    EXPECT_EQ(r.console, "120\n3.15576e+07\n0.5\n1000\n6\n90000\n");
}

TEST(ScriptStatements, ListLiteralsBecomeVectorsOrLists) {
    RunResult r = runScript("print type of {};\nprint type of {1, 2};\n"
                            "print type of {1, \"a\"};\nprint {1, 2, 3};\n");
    EXPECT_EQ(r.console, "vector\nvector\nlist\n1\t2\t3\n");
}

TEST(ScriptStatements, BooleanOperatorsEvaluateBothSides) {
    RunResult r = runScript("print true and false;\nprint false or true;\n"
                            "print false and (1 / 0 = 1);\nprint \"after\";\n");
    EXPECT_EQ(r.console, "false\ntrue\nRunTime Error");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].line, 3);
    EXPECT_EQ(r.records[0].message, "Attempt to divide by zero");
}

TEST(ScriptStatements, WaitAcceptsNumbersAndRefusesText) {
    RunResult r;
    double seconds = secondsToRun("wait 0;\nwait -5;\nwait until 0;\nprint \"ok\";\nwait \"x\";\n", &r);
    EXPECT_LT(seconds, 1.0);
    EXPECT_TRUE(endsWith(r.console, "ok\nRunTime Error"));
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "wait expects either a number or a date");
    EXPECT_EQ(r.records[0].line, 5);
}

int beeps = 0;
void countBeep(void*) { ++beeps; }

TEST(ScriptStatements, BeepGoesToTheHost) {
    beeps = 0;
    MvSetBeepCallback(countBeep, nullptr);
    RunResult r = runScript("beep;\nrepeat 3 times beep;\n");
    MvSetBeepCallback(nullptr, nullptr);
    EXPECT_FALSE(r.runError);
    EXPECT_EQ(beeps, 4);
}

TEST(ScriptLoops, CountsAreTruncatedAndNonPositiveRunNothing) {
    RunResult r = runScript("repeat 2.9 times print \"a\";\nrepeat 0 times print \"b\";\n"
                            "repeat -1 times print \"c\";\nprint \"end\";\n");
    EXPECT_EQ(r.console, "a\na\nend\n");
}

TEST(ScriptLoops, IncrementVariableIsCreatedAndCountsIterations) {
    RunResult r = runScript("repeat 3 times increment i begin print i; end\nprint i;\n"
                            "set j to 10;\nrepeat 2 times increment j begin end\nprint j;\n");
    EXPECT_EQ(r.console, "0\n1\n2\n3\n12\n");
}

TEST(ScriptLoops, WhileFalseAtEntryRunsNothing) {
    RunResult r = runScript("set x to 0;\nrepeat while x > 1 begin print x; end\nprint \"done\";\n");
    EXPECT_EQ(r.console, "done\n");
}

TEST(ScriptLoops, BreakLeavesOnlyTheInnermostLoop) {
    RunResult r = runScript(
        "repeat 2 times increment i begin\n"
        "  repeat forever begin print i; break; end\n"
        "  print \"outer\";\n"
        "end\n");
    EXPECT_EQ(r.console, "0\nouter\n1\nouter\n");
    EXPECT_FALSE(r.runError);
}

TEST(ScriptLoops, BreakAtTopLevelEndsQuietly) {
    RunResult r = runScript("print 1;\nbreak;\nprint 2;\n");
    EXPECT_EQ(r.console, "1\n");
    EXPECT_FALSE(r.runError);
    EXPECT_TRUE(r.records.empty());
}

TEST(ScriptLoops, ReturnAtTopLevelEndsQuietly) {
    RunResult r = runScript("print 1;\nreturn 5;\nprint 2;\n");
    EXPECT_EQ(r.console, "1\n");
    EXPECT_FALSE(r.runError);
    EXPECT_TRUE(r.records.empty());
}

TEST(ScriptLoops, EveryPacesIterations) {
    // Three timed iterations wait after each one, the last included.
    double seconds = secondsToRun("repeat 3 times every 0.2 seconds begin end\n");
    EXPECT_GT(seconds, 0.55);
    EXPECT_LT(seconds, 1.5);
    // A while loop does not wait after its last iteration.
    RunResult r;
    seconds = secondsToRun(
        "set i to 0;\nrepeat while i < 3 every 0.2 seconds begin add 1 to i; end\nprint i;\n", &r);
    EXPECT_EQ(r.console, "3\n");
    EXPECT_GT(seconds, 0.35);
    EXPECT_LT(seconds, 0.59);
}

TEST(ScriptLoops, ForLoopRunsForItsDuration) {
    RunResult r;
    double seconds = secondsToRun(
        "set n to 0;\nrepeat for 0.3 seconds every 0.1 seconds begin add 1 to n; end\n"
        "print n > 1;\n", &r);
    EXPECT_EQ(r.console, "true\n");
    EXPECT_GT(seconds, 0.25);
    EXPECT_LT(seconds, 1.5);
}

TEST(ScriptErrors, ErrorInTheThirdOfFiveStatements) {
    RunResult r = runScript("print 1;\nprint 2;\nprint 1 / 0;\nprint 4;\nprint 5;\n");
    EXPECT_EQ(r.console, "1\n2\nRunTime Error");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].line, 3);
    EXPECT_EQ(r.records[0].fileIndex, 1);
    EXPECT_EQ(r.records[0].text, "");
    EXPECT_EQ(r.records[0].message, "Attempt to divide by zero");
    EXPECT_TRUE(r.runError);
    EXPECT_TRUE(r.done);
    EXPECT_TRUE(r.dirty);
}

TEST(ScriptErrors, ErrorInsideALoopIsReportedOnceAtItsStatement) {
    RunResult r = runScript("set x to 0;\nrepeat 5 times begin\n  add 1 to x;\n"
                            "  if x = 3 then print 1 / 0;\nend\nprint x;\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].line, 4);
    EXPECT_EQ(r.console, "RunTime Error");
}

TEST(ScriptErrors, CatchRunsTheHandlerAndKeepsTheRunClean) {
    RunResult r = runScript("print 1 / 0; catch print \"handled\";\nprint \"goes on\";\n");
    EXPECT_EQ(r.console, "handled\ngoes on\n");
    EXPECT_FALSE(r.runError);
    EXPECT_TRUE(r.records.empty());
}

TEST(ScriptErrors, NestedCatchKeepsTheOuterProtection) {
    RunResult r = runScript(
        "begin\n"
        "  print 1 / 0; catch print \"inner\";\n"
        "  print 2 / 0;\n"
        "end catch print \"outer\";\n"
        "print \"after\";\n");
    EXPECT_EQ(r.console, "inner\nouter\nafter\n");
    EXPECT_TRUE(r.records.empty());
}

TEST(ScriptErrors, ParseErrorsStopTheRunAndSetTheFlags) {
    RunResult r = runScript("print 1;\nset x to ;\n");
    EXPECT_TRUE(r.parseError);
    EXPECT_FALSE(r.runError);
    EXPECT_TRUE(r.done);
    EXPECT_TRUE(r.dirty);
    EXPECT_EQ(r.console.find("1\n"), std::string::npos);
}

TEST(ScriptErrors, EverySecondRunStartsClean) {
    SessionPtr session = newSession("print 1 / 0;\n");
    MvParserExecute(session.get());
    EXPECT_EQ(MvParserGetRunErrorFlag(session.get()), 1);
    MvParserExecute(session.get());
    RunResult r = collect(session.get());
    EXPECT_TRUE(r.runError);
    EXPECT_EQ(r.console, "RunTime ErrorRunTime Error");
    EXPECT_EQ(r.records.size(), 2u);
}

TEST(ScriptErrors, HostInterruptEndsAnEndlessLoop) {
    SessionPtr session = newSession("set x to 0;\nrepeat forever begin add 1 to x; end\n");
    MvParser* s = session.get();
    std::thread run([s] { MvParserExecute(s); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    MvParserSetInterruptedFlag(s, 1);
    run.join();
    RunResult r = collect(s);
    EXPECT_TRUE(endsWith(r.console, "Execution cancelled by user.") ||
                endsWith(r.console, "Execution Terminated by User."))
        << r.console;
    EXPECT_TRUE(r.records.empty());
    EXPECT_TRUE(r.runError);
    EXPECT_TRUE(r.done);
}

TEST(ScriptErrors, HostInterruptEndsALongWaitPromptly) {
    SessionPtr session = newSession("wait 30;\nprint \"late\";\n");
    MvParser* s = session.get();
    Clock::time_point start = Clock::now();
    std::thread run([s] { MvParserExecute(s); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    MvParserSetInterruptedFlag(s, 1);
    run.join();
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 5.0);
    EXPECT_EQ(collect(s).console.find("late"), std::string::npos);
}

TEST(ScriptVariables, ReadOnlyReferenceFollowsThenBreaks) {
    RunResult r = runScript("set y to 1;\nset x to reference y;\nset y to 2;\nprint x;\n"
                            "set x to 3;\nprint x;\nprint y;\n");
    EXPECT_EQ(r.console, "2\n3\n2\n");
}

TEST(ScriptVariables, CircularReferenceIsRefused) {
    RunResult r = runScript("set y to 1;\nset x to reference y;\nset y to reference x;\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "Attempt to create circular reference.");
    EXPECT_EQ(r.records[0].line, 3);
}

TEST(ScriptVariables, DeletingTheTargetInvalidatesTheReference) {
    RunResult r = runScript("set y to 1;\nset x to reference y;\ndelete y;\nprint x;\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "Invalid identifier (x)");
    EXPECT_EQ(r.records[0].line, 4);
}

TEST(ScriptVariables, AssignmentCopiesASharedValue) {
    RunResult r = runScript("set a to {1, \"x\"};\nset b to a;\nappend 3 to b;\n"
                            "print length of a;\nprint length of b;\n");
    EXPECT_EQ(r.console, "2\n3\n");
}

TEST(ScriptVariables, DeletedVariableCannotBeRead) {
    RunResult r = runScript("set a to 1;\ndelete a;\nprint a;\n");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "Invalid identifier (a)");
}

TEST(ScriptVariables, ManyVariablesCreatedAndDeleted) {
    std::string script;
    for (int i = 0; i < 45; ++i)
        script += "set v" + std::to_string(i) + " to " + std::to_string(i) + ";\n";
    for (int i = 0; i < 40; ++i)
        script += "delete v" + std::to_string(i) + ";\n";
    script += "set w to v44 + v40;\nprint w;\n";
    RunResult r = runScript(script);
    EXPECT_EQ(r.console, "84\n");
    EXPECT_TRUE(r.records.empty());
}

TEST(ScriptFiles, ValuesSavedAndLoadedInTheScriptFolder) {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("morvane_eval_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    RunResult r = runScript("set file \"n.val\" to 42;\nprint file \"n.val\" + 1;\n"
                            "delete file \"n.val\";\nprint file \"n.val\";\n");
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
    EXPECT_EQ(r.console, "43\nRunTime Error");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "file \"n.val\" cannot be found.");
}

struct WindowPicture {
    std::string title;
    int width = 0, height = 0;
    std::vector<const MvGraphicsCommand*> commands;
    mv_auto_value<MvGraphics> picture;
};

std::vector<WindowPicture> windows(MvParser* session) {
    std::vector<WindowPicture> all;
    MvParserGetWindowList(session);
    for (long i = 0; MvWindow* w = MvParserGetWindow(session, i); ++i) {
        WindowPicture p;
        p.title = w->getTitle();
        p.picture = w->getVsGraphics();
        std::int16_t width, height;
        p.picture->getSize(width, height);
        p.width = width;
        p.height = height;
        for (const MvGraphicsCommand* c : *p.picture->getCommandList())
            p.commands.push_back(c);
        all.push_back(std::move(p));
    }
    MvParserReleaseWindowList(session);
    return all;
}

TEST(ScriptWindows, NumberWindowShowsItsText) {
    SessionPtr session = newSession("set window \"n\" to 5;\n");
    MvParserExecute(session.get());
    std::vector<WindowPicture> shown = windows(session.get());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "n");
    EXPECT_EQ(shown[0].width, 160);
    EXPECT_EQ(shown[0].height, 120);
    ASSERT_EQ(shown[0].commands.size(), 1u);
    EXPECT_EQ(shown[0].commands[0]->getID(), kGraphicsText);
    EXPECT_EQ(shown[0].commands[0]->getString(), "5");
    EXPECT_EQ(shown[0].commands[0]->getX(), 20);
    EXPECT_TRUE(shown[0].picture->fullEraseNeeded());
}

TEST(ScriptWindows, WindowThroughAReferenceIsRefreshed) {
    SessionPtr session = newSession(
        "set y to 1;\nset window \"w\" to reference y;\nset y to 2;\nadd 40 to y;\n");
    MvParserExecute(session.get());
    std::vector<WindowPicture> shown = windows(session.get());
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].commands.size(), 1u);
    EXPECT_EQ(shown[0].commands[0]->getString(), "42");
}

TEST(ScriptWindows, TextWidthFollowsItsLength) {
    SessionPtr session = newSession(
        "set window \"a\" to \"0123456789012345678901234567890123456789\";\n"
        "set window \"b\" to \"01234567890\";\n");
    MvParserExecute(session.get());
    std::vector<WindowPicture> shown = windows(session.get());
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].width, 500);
    EXPECT_EQ(shown[1].width, 165);
}

TEST(ScriptWindows, DeletedWindowLeavesTheList) {
    SessionPtr session = newSession("set window \"a\" to 1;\ndelete window \"a\";\n");
    MvParserExecute(session.get());
    EXPECT_TRUE(windows(session.get()).empty());
}

TEST(ScriptWindows, LongVectorIsALineGraph) {
    SessionPtr session = newSession("set window \"v\" to {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};\n");
    MvParserExecute(session.get());
    std::vector<WindowPicture> shown = windows(session.get());
    ASSERT_EQ(shown.size(), 1u);
    const WindowPicture& graph = shown[0];
    EXPECT_EQ(graph.width, 360);
    EXPECT_EQ(graph.height, 280);
    ASSERT_EQ(graph.commands.size(), 4u + 9u + 3u);
    auto expect = [&](size_t i, MvGraphicsCommandID id, int x, int y) {
        EXPECT_EQ(graph.commands[i]->getID(), id) << i;
        EXPECT_EQ(graph.commands[i]->getX(), x) << i;
        EXPECT_EQ(graph.commands[i]->getY(), y) << i;
    };
    expect(0, kGraphicsMoveTo, 20, 20);
    expect(1, kGraphicsLineTo, 20, 260);
    expect(2, kGraphicsLineTo, 340, 260);
    expect(3, kGraphicsMoveTo, 20, 260);   // the smallest value sits on the axis
    // Element i: x = 320 * i / 10 + 20, y = (1 - (v - 1) / 9) * 240 + 20.
    expect(4, kGraphicsLineTo, 52, 233);
    expect(12, kGraphicsLineTo, 308, 20);
    expect(13, kGraphicsText, 320, 278);
    EXPECT_EQ(graph.commands[13]->getString(), "10");
    expect(14, kGraphicsText, 2, 278);
    EXPECT_EQ(graph.commands[14]->getString(), "1");
    expect(15, kGraphicsText, 2, 20);
    EXPECT_EQ(graph.commands[15]->getString(), "10");
}

TEST(ScriptWindows, ShortVectorIsText) {
    SessionPtr session = newSession("set window \"v\" to {1, 2, 3, 4, 5, 6, 7, 8, 9};\n");
    MvParserExecute(session.get());
    std::vector<WindowPicture> shown = windows(session.get());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].width, 160);
    ASSERT_EQ(shown[0].commands.size(), 1u);
    EXPECT_EQ(shown[0].commands[0]->getID(), kGraphicsText);
}

} // namespace

namespace {

TEST(ScriptLimits, VeryDeepExpressionIsAnErrorNotACrash) {
    std::string script = "print 1";
    for (int i = 0; i < 100000; ++i)
        script += " - 1";
    script += ";\n";
    RunResult r = runScript(script);
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, "The script is nested too deeply to run.");
    EXPECT_TRUE(r.runError);
}

TEST(ScriptLimits, ModeratelyDeepExpressionRuns) {
    std::string script = "print 1";
    for (int i = 0; i < 1000; ++i)
        script += " + 1";
    script += ";\n";
    EXPECT_EQ(runScript(script).console, "1001\n");
}

TEST(ScriptErrors, RunAfterAFailedCheckParsesAgainAndDoesNotRun) {
    SessionPtr session = newSession("print \"ran\";\nset x to ;\n");
    MvParserCheckSyntax(session.get());
    size_t checkRecords = errorRecords(session.get()).size();
    ASSERT_GE(checkRecords, 1u);
    drainConsole(session.get());
    MvParserExecute(session.get());
    RunResult r = collect(session.get());
    EXPECT_TRUE(r.parseError);
    EXPECT_EQ(r.console.find("ran"), std::string::npos);
    EXPECT_EQ(r.records.size(), 2 * checkRecords);
}

} // namespace
