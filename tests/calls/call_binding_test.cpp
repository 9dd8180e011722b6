// Calling functions from scripts: binding named and positional arguments,
// overloads, reference parameters, defaults, results and the errors of the
// call path.
#include "calls_support.h"

#include "morvane/MvGraphics.h"

namespace {

class ScriptCalls : public ::testing::Test {
protected:
    void SetUp() override { ensureExamplePlugin(); }
};

// ------------------------------------------------------------------ binding

TEST_F(ScriptCalls, NamedAndPositionalArgumentsBindToTheRightParameters) {
    RunResult r = runScript(
        "define pair(a, b) begin return a * 10 + b; end\n"
        "print pair(1, 2);\n"
        "print pair(b -> 2, 7);\n"        // the positional one goes to a
        "print pair(b -> 1, a -> 2);\n"
        "print pair(a -> 3, 4);\n");
    EXPECT_EQ(r.console, "12\n72\n21\n34\n");
    EXPECT_TRUE(r.records.empty());
}

TEST_F(ScriptCalls, ArgumentsThatFitNoSignatureNameTheFunction) {
    RunResult r = runScript("define pair(a, b) begin return a; end\nprint pair(1, 2, 3);\n");
    EXPECT_EQ(messages(r),
              std::vector<std::string>{"Function \"pair\" was called with incorrect arguments."});
    EXPECT_EQ(r.records[0].line, 2);

    r = runScript("define pair(a, b) begin return a; end\nprint pair(c -> 1, 2);\n");
    EXPECT_EQ(messages(r),
              std::vector<std::string>{"Function \"pair\" was called with incorrect arguments."});

    r = runScript("define Geo.pair(a, b) begin return a; end\nprint Geo.pair(1);\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{
                               "Function \"Geo.pair\" was called with incorrect arguments."});

    r = runScript("print Math.Maximum(\"a\", \"b\");\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{
                               "Function \"Math.Maximum\" was called with incorrect arguments."});
}

TEST_F(ScriptCalls, APositionalArgumentOfTheWrongTypeFallsThroughToTheNextOverload) {
    RunResult r = runScript(
        "define Shape.kind(number n) begin return \"number \" + n; end\n"
        "define Shape.kind(text t) begin return \"text \" + t; end\n"
        "define Shape.kind(list l, b) begin return \"pair\"; end\n"
        "print Shape.kind(5);\n"
        "print Shape.kind(\"x\");\n"
        "print Shape.kind(list, 1);\n");
    EXPECT_EQ(r.console, "number 5\ntext x\npair\n");

    // The same among native overloads: the image form of Math.Sum comes
    // first and refuses the vector.
    r = runScript("print Math.Sum({1, 2, 3});\nprint Math.Maximum({3, 9, 9});\n");
    EXPECT_EQ(r.console, "6\n9\t1\n");
}

TEST_F(ScriptCalls, NativeFunctionsWinOverScriptFunctionsThatFitAsWell) {
    RunResult r = runScript(
        "define Math.Maximum(x, y) begin return 0; end\n"
        "define Math.Maximum(text a) begin return \"script \" + a; end\n"
        "print Math.Maximum(x -> 1, y -> 2);\n"
        "print Math.Maximum(\"s\");\n");
    EXPECT_EQ(r.console, "2\nscript s\n");
    EXPECT_TRUE(r.records.empty());
}

TEST_F(ScriptCalls, DynamicParametersOfNativeFunctionsMayBeLeftOut) {
    RunResult r = runScript(
        "print Example.Scale(3);\n"
        "print Example.Scale(3, 5);\n"
        "print Example.Scale(factor -> 4, x -> 2);\n"
        "print Example.Words(\"a bb  c\");\n");
    EXPECT_EQ(r.console, "6\n15\n8\na\nbb\nc\n");
}

// ---------------------------------------------------- by-reference arguments

TEST_F(ScriptCalls, AReferenceParameterChangesTheCallersVariable) {
    RunResult r = runScript(
        "define bump(&v) begin add 1 to v; end\n"
        "define replace(&v, n) begin set v to n; end\n"
        "set y to 1;\n"
        "bump(&y);\n"
        "print y;\n"
        "replace(&y, \"text now\");\n"
        "print y;\n"
        "set z to 10;\n"
        "Example.Increment(&z);\n"
        "Example.Increment(&z, amount -> 5);\n"
        "print z;\n"
        "set v to {1, 2};\n"
        "Example.AppendOne(&v);\n"
        "print v;\n");
    EXPECT_EQ(r.console, "2\ntext now\n16\n1\t2\t1\n");
    EXPECT_TRUE(r.records.empty());
}

TEST_F(ScriptCalls, AnExpressionIsRefusedWhereAReferenceIsDeclared) {
    RunResult r = runScript(
        "define bump(&v) begin add 1 to v; end\n"
        "set y to 1;\n"
        "bump(y + 1);\n");
    EXPECT_EQ(messages(r),
              std::vector<std::string>{"Function \"bump\" was called with incorrect arguments."});
    EXPECT_EQ(r.records[0].line, 3);

    // A plain variable is a value too, and a reference is no value.
    r = runScript("define bump(&v) begin add 1 to v; end\nset y to 1;\nbump(y);\n");
    EXPECT_EQ(messages(r),
              std::vector<std::string>{"Function \"bump\" was called with incorrect arguments."});
    r = runScript("define show(v) begin print v; end\nset y to 1;\nshow(&y);\n");
    EXPECT_EQ(messages(r),
              std::vector<std::string>{"Function \"show\" was called with incorrect arguments."});
    r = runScript("set y to 1;\nExample.Increment(y);\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{
                               "Function \"Example.Increment\" was called with incorrect arguments."});
}

TEST_F(ScriptCalls, ValueArgumentsAreCopies) {
    RunResult r = runScript(
        "define grow(v) begin append 4 to v; return v; end\n"
        "set a to {1, 2, 3};\n"
        "set b to grow(a);\n"
        "print a;\n"
        "print b;\n");
    EXPECT_EQ(r.console, "1\t2\t3\n1\t2\t3\t4\n");
}

TEST_F(ScriptCalls, DeletingAReferenceArgumentInsideAFunctionDeletesTheCallersVariable) {
    RunResult r = runScript(
        "define kill(&v) begin delete v; print \"deleted\"; end\n"
        "set keep to 2;\n"
        "set y to 1;\n"
        "kill(&y);\n"
        "print keep;\n"
        "print y;\n");
    EXPECT_EQ(r.console.substr(0, 10), "deleted\n2\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Invalid identifier (y)"});
    EXPECT_EQ(r.records[0].line, 6);
}

TEST_F(ScriptCalls, ADeletedArgumentOfAnOuterCallIsGoneAfterTheInnerCallReturns) {
    RunResult r = runScript(
        "define inner begin delete global y; end\n"
        "define outer(&v) begin inner(); print \"back\"; add 1 to v; end\n"
        "set y to 1;\n"
        "outer(&y);\n");
    EXPECT_EQ(r.console, "back\nRunTime Error");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Reference to an invalid variable."});
    EXPECT_EQ(r.records[0].line, 2);
}

// --------------------------------------------------------------- defaults

TEST_F(ScriptCalls, ADefaultIsEvaluatedInTheCalleeAndMayUseAnEarlierParameter) {
    RunResult r = runScript(
        "define area(w, h -> w * 2) begin return w * h; end\n"
        "print area(3);\n"
        "print area(3, 4);\n"
        "print area(h -> 1, w -> 5);\n"
        "set w to 100;\n"
        "print area(4);\n");   // the caller's w is not the parameter
    EXPECT_EQ(r.console, "18\n12\n5\n32\n");
}

TEST_F(ScriptCalls, NativeDefaultsAreUsedForParametersLeftOut) {
    RunResult r = runScript("print Math.Random(5, 5);\nprint Fractal.MandelbrotPoint(1, 0);\n"
                            "print Fractal.MandelbrotPoint(1, 0, depth -> 2);\n"
                            "print File.DirectoryList(filter -> \"no such ending\");\n");
    EXPECT_EQ(r.console, "5\n3\n-1\n\n");
}

// ----------------------------------------------------------------- results

TEST_F(ScriptCalls, AFunctionWithoutReturnGivesNoResult) {
    RunResult r = runScript(
        "define quiet(a) begin set b to a; end\n"
        "quiet(1);\n"
        "print \"after\";\n"
        "print quiet(2);\n"
        "print \"never\";\n");
    EXPECT_EQ(r.console, "after\nRunTime Error");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Function returned no result."});
    EXPECT_EQ(r.records[0].line, 4);

    r = runScript("print Math.RandomSeed(1);\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Function returned no result."});
}

TEST_F(ScriptCalls, ReturnEndsTheFunctionFromAnyDepth) {
    RunResult r = runScript(
        "define fact(n) begin\n"
        "  if n <= 1 then return 1;\n"
        "  return n * fact(n - 1);\n"
        "end\n"
        "define firstOver(v, limit) begin\n"
        "  repeat 10 times increment i begin\n"
        "    if v[i] > limit then return i;\n"
        "  end\n"
        "  return -1;\n"
        "end\n"
        "print fact(10);\n"
        "print firstOver({1, 5, 9, 12}, 6);\n"
        "print firstOver({1}, 6);\n");
    EXPECT_EQ(r.console, "3.6288e+06\n2\nRunTime Error");
    ASSERT_EQ(r.records.size(), 1u);   // v[1] of a one-element vector
    EXPECT_EQ(r.records[0].line, 7);
}

TEST_F(ScriptCalls, ResultsOfADeclaredTypeAreChecked) {
    RunResult r = runScript("define g returns number begin return \"x\"; end\nprint g();\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Function returned illegal type"});
    r = runScript("define g returns (number | text) begin return \"x\"; end\nprint g();\n");
    EXPECT_EQ(r.console, "x\n");
    r = runScript("print Example.Liar();\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Function returned illegal type"});
}

// An assignment takes the result as a value or, from a function returning
// an expression of numbers, as a number: both come to the same.
TEST_F(ScriptCalls, AssigningAResultReachesTheVariableWhateverItHeld) {
    RunResult r = runScript(
        "define half(n) begin return n / 2; end\n"
        "define label(n) begin return \"n\" + n; end\n"
        "set x to half(9);\nprint x;\n"
        "set x to label(1);\nprint x;\n"
        "set x to half(3);\nprint x;\n"
        "set y to 1;\nset x to reference y;\nset x to half(8);\nprint x;\nprint y;\n"
        "set r to reference x;\nset x to half(10);\nprint r;\n"
        "set v to x;\nset x to half(1);\nprint v;\nprint x;\n");
    EXPECT_TRUE(r.records.empty()) << messages(r).front();
    EXPECT_EQ(r.console, "4.5\nn1\n1.5\n4\n1\n5\n5\n0.5\n");
}

TEST_F(ScriptCalls, AssignedNumbersAreCheckedAgainstTheDeclaredResult) {
    RunResult r = runScript("define g(a) returns text begin return a + 1; end\nset x to g(1);\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Function returned illegal type"});
    r = runScript("define g(a) begin if a > 0 then return a; end\nset x to g(1);\n"
                  "print x;\nset x to g(0);\nprint \"never\";\n");
    EXPECT_EQ(r.console, "1\nRunTime Error");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Function returned no result."});
    EXPECT_EQ(r.records[0].line, 4);
}

// A function may delete the very variable its result is assigned to: the
// variable is made again.
TEST_F(ScriptCalls, AFunctionDeletingTheAssignedVariableLeavesItMadeAgain) {
    for (const char* result : {"1", "\"one\""}) {
        RunResult r = runScript(std::string("define f begin delete global x; return ") + result +
                                "; end\nset x to 0;\nset x to f();\nprint x;\n");
        EXPECT_TRUE(r.records.empty()) << messages(r).front();
        EXPECT_EQ(r.console, result[0] == '1' ? "1\n" : "one\n");
    }
    RunResult r = runScript("define f begin delete global other; return 2; end\n"
                            "set other to 0;\nset x to 0;\nset x to f();\nprint x;\n");
    EXPECT_TRUE(r.records.empty()) << messages(r).front();
    EXPECT_EQ(r.console, "2\n");
}

// ------------------------------------------------------------------ errors

TEST_F(ScriptCalls, ErrorBlocksFailTheCallWithTheirNumberMessageAndURL) {
    RunResult r = runScript("print Math.Random(2, 1);\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{
                               "Plugin failed with error (#-1):\n\tmax must be greater than min"});

    r = runScript("Example.Fail(message -> \"bad\", code -> 42);\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Plugin failed with error (#42):\n\tbad"});

    r = runScript("Example.Fail(\"oops\", url -> \"http://example.org/help\");\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{
                               "Plugin failed with error (#-1):\n\toops\thttp://example.org/help"});

    r = runScript("Example.Fail(\"\", 7);\n");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Plugin failed with error (#7):\n"});
}

TEST_F(ScriptCalls, AnErrorInsideAFunctionIsReportedAtItsOwnLineEvenUnderCatch) {
    RunResult r = runScript(
        "define broken(a) begin\n"
        "  print a;\n"
        "  print a + list;\n"
        "end\n"
        "broken(1); catch print \"handled\";\n"
        "print \"never\";\n");
    // The handler still runs, but the reported error has stopped the run, so
    // the statement after it ends the run.
    EXPECT_EQ(r.console, "1\nhandled\nExecution Terminated by User.");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].line, 3);
    EXPECT_TRUE(r.runError);

    // Errors of the call itself are the caller's, and a catch takes them.
    r = runScript("Example.Fail(\"bad\"); catch print \"handled\";\nprint \"goes on\";\n");
    EXPECT_EQ(r.console, "handled\ngoes on\n");
    EXPECT_TRUE(r.records.empty());
}

TEST_F(ScriptCalls, ABreakInsideAFunctionEndsTheCallersLoop) {
    RunResult r = runScript(
        "define stop begin break; end\n"
        "repeat 5 times increment i begin\n"
        "  print i;\n"
        "  if i = 1 then stop();\n"
        "end\n"
        "print \"done\";\n");
    EXPECT_EQ(r.console, "0\n1\ndone\n");
}

TEST_F(ScriptCalls, FunctionsSeeGlobalsOnlyThroughGlobal) {
    RunResult r = runScript(
        "set g to 5;\n"
        "define readG begin return global g; end\n"
        "define writeG(n) begin set global g to n; end\n"
        "print readG();\n"
        "writeG(8);\n"
        "print g;\n");
    EXPECT_EQ(r.console, "5\n8\n");
}

TEST_F(ScriptCalls, LocalVariablesGoAtTheEndOfTheCall) {
    // A global reference to a local variable becomes invalid and is dropped.
    RunResult r = runScript(
        "define leak begin set q to 5; set global g to reference q; print global g; end\n"
        "leak();\n"
        "print g;\n");
    EXPECT_EQ(r.console, "5\nRunTime Error");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Invalid identifier (g)"});
    EXPECT_EQ(r.records[0].line, 3);

}

TEST_F(ScriptCalls, AWindowFollowsItsVariableAfterReferredVariablesWent) {
    // Variables that others referred to are gone, and a window that shows
    // a variable through a reference still follows it, after deletions and
    // after calls whose variables referred to each other.
    for (const char* between :
         {"", "define touch(n) begin set t to reference n; return n; end\nset z to touch(1);\n"}) {
        SessionPtr session = newSession(
            std::string("set a to 1; set b to reference a; delete a;\n"
                        "set c to 1; set d to reference c; delete c;\n"
                        "set z to 1;\n"
                        "set window \"v\" to reference z;\n") +
            between + "add 41 to z;\n");
        MvParserExecute(session.get());
        EXPECT_TRUE(errorRecords(session.get()).empty());
        MvParserGetWindowList(session.get());
        MvWindow* window = MvParserGetWindow(session.get(), 0);
        ASSERT_NE(window, nullptr);
        mv_auto_value<MvGraphics> picture = window->getVsGraphics();
        ASSERT_EQ(picture->getCommandList()->size(), 1u);
        EXPECT_EQ(picture->getCommandList()->front()->getString(), "42") << between;
        MvParserReleaseWindowList(session.get());
    }
}

// Each call starts from fresh parameters and no locals, however the
// previous call of the same function left them.
TEST_F(ScriptCalls, ALocalOfAnEarlierCallIsGoneInTheNext) {
    RunResult r = runScript("define f(make) begin\n  if make then set t to 1;\n  print t;\nend\n"
                            "f(true);\nf(false);\n");
    EXPECT_EQ(r.console, "1\nRunTime Error");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Invalid identifier (t)"});
    EXPECT_EQ(r.records[0].line, 3);
}

TEST_F(ScriptCalls, AParameterDeletedAndMadeAgainIsFreshInTheNextCall) {
    RunResult r = runScript("define h(a) begin\n  delete a;\n  set a to 3 * b();\n  return a;\nend\n"
                            "define b begin return 2; end\n"
                            "print h(1) + h(2);\nprint h(4);\n");
    EXPECT_TRUE(r.records.empty()) << messages(r).front();
    EXPECT_EQ(r.console, "12\n6\n");
}

TEST_F(ScriptCalls, AReferenceParameterReachesOnlyItsOwnCallsVariable) {
    RunResult r = runScript("define inc(&n) begin add 1 to n; end\n"
                            "set x to 1;\nset y to 10;\n"
                            "inc(&x);\ninc(&y);\ninc(&y);\nprint x;\nprint y;\n"
                            "delete x;\ninc(&y);\nprint y;\n");
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.console, "2\n12\n13\n");
}

TEST_F(ScriptCalls, AParameterTurnedIntoAReferenceIsAValueAgainInTheNextCall) {
    RunResult r = runScript("define g(a) begin\n  set global keep to reference a;\n  print a;\n"
                            "  set a to reference global other;\n  print a;\nend\n"
                            "set other to 10;\ng(1);\ng(2);\nprint other;\nprint keep;\n");
    EXPECT_EQ(r.console, "1\n10\n2\n10\n10\nRunTime Error");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Invalid identifier (keep)"});
}

// Until its default is evaluated, a parameter left out does not exist, in
// the first call of the function as in any later one.
TEST_F(ScriptCalls, AParameterLeftOutHasNoVariableWhileItsDefaultIsEvaluated) {
    for (const char* calls : {"print f(1, 2);\nprint f(1);\n", "print f(1);\nprint f(1, 2);\n"}) {
        RunResult r = runScript(std::string("define f(a, b -> b) begin return a + b; end\n") + calls);
        EXPECT_EQ(messages(r), std::vector<std::string>{"Invalid identifier (b)"}) << calls;
    }
    RunResult r = runScript("define f(a, b -> a + 1) begin return a * b; end\n"
                            "print f(2, 5);\nprint f(3);\nprint f(4, 1);\nprint f(b -> 2, 6);\n");
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.console, "10\n12\n4\n12\n");
}

// A number argument is the call's own; what the function returns or keeps of
// it stays as it was when the next call binds a new number.
TEST_F(ScriptCalls, NumberArgumentsAreEachCallsOwn) {
    RunResult r = runScript("define id(a) begin return a; end\n"
                            "define twice(a) begin add a to a; return a; end\n"
                            "set x to 4;\nset p to id(1);\nset q to id(x);\nadd 5 to q;\n"
                            "print p;\nprint q;\nprint x;\n"
                            "print twice(x) + twice(3);\nprint x;\n"
                            "set v to {id(7), id(8)};\nprint v;\n");
    EXPECT_TRUE(r.records.empty()) << messages(r).front();
    EXPECT_EQ(r.console, "1\n9\n4\n14\n4\n7\t8\n");
}

TEST_F(ScriptCalls, AParameterTakesAValueOfAnyKindAfterANumber) {
    RunResult r = runScript("define show(a) begin print a; end\n"
                            "show(1);\nshow(\"text\");\nshow(2 + 3);\nshow(true);\nshow(-1);\n");
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.console, "1\ntext\n5\ntrue\n-1\n");
}

// A call site met again binds its numbers as it did the first time: by
// name, by position and to defaults, to the overload that fits them, with
// the result checked every time.
TEST_F(ScriptCalls, ACallSiteMetAgainBindsItsNumbersAsTheFirstTime) {
    RunResult r = runScript(
        "define pair(a, b -> a + 1) begin return a * 10 + b; end\n"
        "define Shape.kind(number n) begin return \"number \" + n; end\n"
        "define Shape.kind(text t) begin return \"text \" + t; end\n"
        "set i to 1;\n"
        "repeat 3 times increment i begin\n"
        "  print pair(b -> i, 7) + pair(i);\n"
        "  print Shape.kind(i * 2);\n"
        "end\n"
        "set v to 1;\n"
        "repeat 3 times begin print Shape.kind(v); set v to \"x\"; end\n");
    EXPECT_TRUE(r.records.empty()) << messages(r).front();
    EXPECT_EQ(r.console, "83\nnumber 2\n95\nnumber 4\n107\nnumber 6\n"
                         "number 1\ntext x\ntext x\n");

    r = runScript("define g(n) returns number begin if n > 2 then return \"big\"; return n; end\n"
                  "set i to 1;\nrepeat 5 times increment i begin print g(i); end\n");
    EXPECT_EQ(r.console, "1\n2\nRunTime Error");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Function returned illegal type"});

    r = runScript("define g(n) returns text begin if n > 2 then return n; return \"small\"; end\n"
                  "set i to 1;\nrepeat 5 times increment i begin set x to g(i); print x; end\n");
    EXPECT_EQ(r.console, "small\nsmall\nRunTime Error");
    EXPECT_EQ(messages(r), std::vector<std::string>{"Function returned illegal type"});
}

TEST_F(ScriptCalls, RecursiveCallsKeepTheirOwnParameters) {
    RunResult r = runScript("define fib(n) begin\n  if n < 2 then return n;\n"
                            "  set a to fib(n - 1);\n  set b to fib(n - 2);\n  return a + b + n - n;\nend\n"
                            "print fib(15);\nprint fib(3);\n");
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.console, "610\n2\n");
}

TEST_F(ScriptCalls, ManyAndDeeplyNestedCallsLeaveNothingBehind) {
    RunResult r = runScript(
        "define depth(n) begin if n = 0 then return 0; return 1 + depth(n - 1); end\n"
        "set total to 0;\n"
        "repeat 300 times add depth(20) to total;\n"
        "print total;\n"
        "print depth(150);\n");
    EXPECT_EQ(r.console, "6000\n150\n");
    EXPECT_TRUE(r.records.empty());
}

} // namespace
