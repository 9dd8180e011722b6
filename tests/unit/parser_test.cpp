// The grammar as a host sees it through a syntax check: the syntax tree of
// each statement and expression form, the error records with their texts,
// and what is parsed after a syntax error.
#include "morvane/MvHost.h"
#include "morvane/MvParser.h"
#include "morvane/MvTokens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Record {
    int line;
    std::string text;
    int tokenType;
    std::string message;
};

struct Checked {
    std::string tree;
    std::vector<Record> records;
    std::string console;
    bool errorFlag;

    std::vector<std::string> messages() const {
        std::vector<std::string> all;
        for (const Record& r : records)
            all.push_back(r.message);
        return all;
    }
};

// Checks the syntax of a script in a session of its own.
Checked check(const std::string& script) {
    MvParser session(script.c_str(), static_cast<long>(script.size()), nullptr, false);
    session.CheckSyntax();
    Checked result;
    result.tree = session.getTreeText();
    int count = session.getParseErrorCount();
    for (int i = 0; i < count; ++i) {
        ParseError* e = session.getParseError(i);
        result.records.push_back({e->line, e->text, e->tokenType, e->message});
    }
    session.releaseParseErrors();
    result.console = session.getConsole().str();
    session.releaseConsole();
    result.errorFlag = session.getParseErrorFlag();
    return result;
}

const std::string kClean = "Syntax Check Complete : No Errors found.\n";

// The tree of a script that must have no syntax error.
std::string cleanTree(const std::string& script) {
    Checked r = check(script);
    EXPECT_TRUE(r.records.empty()) << script << "\nfirst: "
                                   << (r.records.empty() ? "" : r.records[0].message);
    EXPECT_EQ(r.console, kClean) << script;
    return r.tree;
}

std::string syntax(const std::string& message) { return "Syntax Error: " + message; }

using Messages = std::vector<std::string>;

// ------------------------------------------------------------ expressions

TEST(ParserExpressions, UnitsBindLooserThanProductsAndTighterThanSums) {
    EXPECT_EQ(cleanTree("print 2 * 3 seconds;"), "#(print #(seconds #(* 2 3)))");
    EXPECT_EQ(cleanTree("print 5 + 2 seconds;"), "#(print #(+ 5 #(seconds 2)))");
    EXPECT_EQ(cleanTree("print 50 % + 1;"), "#(print #(+ #(% 50) 1))");
}

TEST(ParserExpressions, BinaryLevelsAreLeftAssociative) {
    EXPECT_EQ(cleanTree("print 1 - 2 - 3;"), "#(print #(- #(- 1 2) 3))");
    EXPECT_EQ(cleanTree("print 8 / 4 * 2;"), "#(print #(* #(/ 8 4) 2))");
    EXPECT_EQ(cleanTree("print 1 < 2 = true;"), "#(print #(= #(< 1 2) true))");
    EXPECT_EQ(cleanTree("print true or false and true;"),
              "#(print #(and #(or true false) true))");
}

TEST(ParserExpressions, RelationsBindTighterThanAndOr) {
    EXPECT_EQ(cleanTree("set a to 1; set b to 2; set c to 3; print a = b and c;"),
              "#(nocircref #(set #(local a) 1)) #(nocircref #(set #(local b) 2)) "
              "#(nocircref #(set #(local c) 3)) "
              "#(print #(and #(= #(local a) #(local b)) #(local c)))");
    EXPECT_EQ(cleanTree("print 1 + 2 >= 3 * 4 != false;"),
              "#(print #(!= #(>= #(+ 1 2) #(* 3 4)) false))");
}

TEST(ParserExpressions, PrefixOperators) {
    EXPECT_EQ(cleanTree("set x to 1; print -x;"),
              "#(nocircref #(set #(local x) 1)) #(print #(unary minus #(local x)))");
    EXPECT_EQ(cleanTree("set x to 1; print +x;"),
              "#(nocircref #(set #(local x) 1)) #(print #(local x))");
    EXPECT_EQ(cleanTree("print - - 2 * !true;"),
              "#(print #(* #(unary minus #(unary minus 2)) #(! true)))");
    // The index binds tighter than the minus.
    EXPECT_EQ(cleanTree("set v to {1}; print -v[0];"),
              "#(nocircref #(set #(local v) #({ 1))) #(print #(unary minus #([ #(local v) 0)))");
}

TEST(ParserExpressions, PropertiesCoercionAndModifiedCopies) {
    std::string set = "set x to 1; ";
    std::string x = "#(nocircref #(set #(local x) 1)) ";
    EXPECT_EQ(cleanTree(set + "print width of x;"), x + "#(print #(of width #(local x)))");
    EXPECT_EQ(cleanTree(set + "print red of size of x;"),
              x + "#(print #(of red #(of size #(local x))))");
    EXPECT_EQ(cleanTree(set + "print width of x as text;"),
              x + "#(print #(as #(of width #(local x)) text))");
    EXPECT_EQ(cleanTree(set + "print x with width to 3 with height to 4;"),
              x + "#(print #(with #(with #(local x) width 3) height 4))");
    // Keywords that may name a property.
    EXPECT_EQ(cleanTree(set + "print frame of x + second of x;"),
              x + "#(print #(+ #(of frame #(local x)) #(of second #(local x))))");
}

TEST(ParserExpressions, FileUrlAndWindowWords) {
    EXPECT_EQ(cleanTree("print file \"a.txt\" + 1;"), "#(print #(+ #(file a.txt) 1))");
    EXPECT_EQ(cleanTree("print URL \"u\";"), "#(print #(URL u))");
    // The window leaf is followed by the naming expression as its sibling.
    EXPECT_EQ(cleanTree("print window \"w\";"), "#(print local_window w)");
    EXPECT_EQ(cleanTree("print local window \"w\";"), "#(print local_window w)");
    EXPECT_EQ(cleanTree("print global window \"g\" + 1;"), "#(print #(+ global_window g 1))");
}

TEST(ParserExpressions, Literals) {
    EXPECT_EQ(cleanTree("print 7; print 12; print 123; print 1234; print 1.5; print 2e3;"),
              "#(print 7) #(print 12) #(print 123) #(print 1234) #(print 1.5) #(print 2e3)");
    EXPECT_EQ(cleanTree("print \"text\"; print 'single'; print true; print false;"),
              "#(print text) #(print single) #(print true) #(print false)");
    EXPECT_EQ(cleanTree("print {1, \"a\", {2}}; print {};"),
              "#(print #({ 1 a #({ 2))) #(print {)");
    // An unterminated string is still a string literal.
    EXPECT_EQ(cleanTree("print \"open\n;"), "#(print open)");
}

TEST(ParserExpressions, TypeWordsAndClipBoard) {
    EXPECT_EQ(cleanTree("print number; print image ClipBoard; print ClipBoard;"),
              "#(print number) #(print #(image ClipBoard)) #(print ClipBoard)");
    EXPECT_EQ(cleanTree("print (1 + 2) * 3;"), "#(print #(* #(+ 1 2) 3))");
}

TEST(ParserExpressions, IndexForms) {
    std::string set = "set a to {1}; ";
    std::string a = "#(nocircref #(set #(local a) #({ 1))) ";
    EXPECT_EQ(cleanTree(set + "print a[1];"), a + "#(print #([ #(local a) 1))");
    // Two indexes: the comma is kept and the closing bracket is the root.
    EXPECT_EQ(cleanTree(set + "print a[1, 2];"), a + "#(print #(] #([ #(local a) 1 , 2)))");
    EXPECT_EQ(cleanTree(set + "print a[1][2];"), a + "#(print #([ #([ #(local a) 1) 2))");
    EXPECT_EQ(cleanTree(set + "print a[1, 2][3];"),
              a + "#(print #([ #(] #([ #(local a) 1 , 2)) 3))");
    EXPECT_EQ(cleanTree(set + "print \"abc\"[a[0] + 1];"),
              a + "#(print #([ abc #(+ #([ #(local a) 0) 1)))");
}

TEST(ParserExpressions, DatesWithAndWithoutTimeOfDay) {
    EXPECT_EQ(cleanTree("set d to 5:JAN:2024;"),
              "#(nocircref #(set #(local d) datetime(05:JAN:2024:00:00:00)))");
    EXPECT_EQ(cleanTree("set d to 31:DEC:1999:23:59;"),
              "#(nocircref #(set #(local d) datetime(31:DEC:1999:23:59:00)))");
    EXPECT_EQ(cleanTree("set d to 01:JUL:2030:08:05:09 + 1 day;"),
              "#(nocircref #(set #(local d) #(+ datetime(01:JUL:2030:08:05:09) #(day 1))))");
}

// ------------------------------------------------------------ calls

TEST(ParserCalls, BuiltInFunctionWords) {
    EXPECT_EQ(cleanTree("print sin(1) + pow(2, 3);"), "#(print #(+ #(sin 1) #(pow 2 3)))");
    EXPECT_EQ(cleanTree("abs(-1);"), "#(expression-statement #(abs #(unary minus 1)))");
}

TEST(ParserCalls, ScriptFunctionsWithNamedAndReferenceArguments) {
    std::string defs = "define f(a, b) begin end define Geo.area(a) begin end ";
    std::string defTrees = "#(define f a b begin) #(define Geo area a begin) ";
    EXPECT_EQ(cleanTree(defs + "set y to 1; f(1, b -> &y);"),
              defTrees + "#(nocircref #(set #(local y) 1)) "
                         "#(expression-statement #(Plug-in Function __MorvaneInternal f "
                         "#(no-ref 1) #(-> b #(& #(local y)))))");
    EXPECT_EQ(cleanTree(defs + "print Geo.area(a -> 2 * 3) + f();"),
              defTrees + "#(print #(+ #(Plug-in Function Geo area #(-> a #(no-ref #(* 2 3)))) "
                         "#(Plug-in Function __MorvaneInternal f)))");
}

TEST(ParserCalls, AFunctionDefinedFurtherDownIsAccepted) {
    EXPECT_EQ(cleanTree("later(2); define later(n) begin print n; end"),
              "#(expression-statement #(Plug-in Function __MorvaneInternal later #(no-ref 2))) "
              "#(define later n #(begin #(print #(local n))))");
}

TEST(ParserCalls, AnUndefinedFunctionEndsTheCheckWithItsDisplayName) {
    Checked bare = check("print 1;\nnowhere_xq(1);");
    ASSERT_EQ(bare.records.size(), 1u);
    EXPECT_EQ(bare.records[0].message, "Function is not defined.");
    EXPECT_EQ(bare.records[0].text, "nowhere_xq");
    EXPECT_EQ(bare.records[0].line, 2);
    EXPECT_EQ(bare.records[0].tokenType, 0);
    EXPECT_EQ(bare.console, "nowhere_xq");
    EXPECT_TRUE(bare.errorFlag);

    Checked spaced = check("print Nowhere_xq.thing(1);");
    ASSERT_EQ(spaced.records.size(), 1u);
    EXPECT_EQ(spaced.records[0].message, "Function is not defined.");
    EXPECT_EQ(spaced.records[0].text, "Nowhere_xq.thing");
    EXPECT_EQ(spaced.console, "Nowhere_xq.thing");

    // A function defined in a name space is not found without it.
    Checked unqualified = check("define Geo.area(a) begin end area(1);");
    ASSERT_EQ(unqualified.records.size(), 1u);
    EXPECT_EQ(unqualified.records[0].text, "area");
}

// ------------------------------------------------------------ statements

TEST(ParserStatements, SetMarksTheCircularReference) {
    EXPECT_EQ(cleanTree("set x to 1; set x to x + 1;"),
              "#(nocircref #(set #(local x) 1)) #(circref #(set #(local x) #(+ #(local x) 1)))");
    EXPECT_EQ(cleanTree("set y to 1; set x to y;"),
              "#(nocircref #(set #(local y) 1)) #(nocircref #(set #(local x) #(local y)))");
    // Same name, other scope: no mark.
    EXPECT_EQ(cleanTree("set x to global x;"),
              "#(nocircref #(set #(local x) #(global x)))");
    EXPECT_EQ(cleanTree("set global x to global x * 2;"),
              "#(circref #(set #(global x) #(* #(global x) 2)))");
    EXPECT_EQ(cleanTree("set local x to 2; set local x to -x;"),
              "#(nocircref #(set #(local x) 2)) #(circref #(set #(local x) #(unary minus #(local x))))");
    // A mention inside an index or a call's arguments counts too.
    EXPECT_EQ(cleanTree("set x to 1; set x to {1}[x];"),
              "#(nocircref #(set #(local x) 1)) #(circref #(set #(local x) #([ #({ 1) #(local x))))");
    EXPECT_EQ(cleanTree("set x to 1; set x to sin(x);"),
              "#(nocircref #(set #(local x) 1)) #(circref #(set #(local x) #(sin #(local x))))");
    // An element target is not a single variable.
    EXPECT_EQ(cleanTree("set a to {1}; set a[0] to a;"),
              "#(nocircref #(set #(local a) #({ 1))) #(nocircref #(set #([ #(local a) 0) #(local a)))");
}

TEST(ParserStatements, SetReferenceForm) {
    EXPECT_EQ(cleanTree("set y to 1; set x to reference y; set x to reference global x;"),
              "#(nocircref #(set #(local y) 1)) "
              "#(nocircref #(set #(local x) reference #(local y))) "
              "#(nocircref #(set #(local x) reference #(global x)))");
}

TEST(ParserStatements, SetTargets) {
    EXPECT_EQ(cleanTree("set file \"out.txt\" to 1; set ClipBoard to 2;"),
              "#(nocircref #(set #(file out.txt) 1)) #(nocircref #(set ClipBoard 2))");
    EXPECT_EQ(cleanTree("set window \"w\" to 1; set global window \"g\" to reference global y;"),
              "#(nocircref #(set local_window w 1)) "
              "#(nocircref #(set global_window g reference #(global y)))");
    EXPECT_EQ(cleanTree("set m to 1; set width of m to 2; set a to {1}; set a[0, 1] to 3;"),
              "#(nocircref #(set #(local m) 1)) #(nocircref #(set #(of width #(local m)) 2)) "
              "#(nocircref #(set #(local a) #({ 1))) "
              "#(nocircref #(set #(] #([ #(local a) 0 , 1)) 3))");
}

TEST(ParserStatements, ArithmeticAndListStatements) {
    EXPECT_EQ(cleanTree("add 1 to x; subtract 2 from x; multiply x by 3; divide x by 4;"),
              "#(add 1 #(local x)) #(subtract 2 #(local x)) #(multiply #(local x) 3) "
              "#(divide #(local x) 4)");
    EXPECT_EQ(cleanTree("append 1 to v; prepend 2 to v; insert 3 into v at 0;"),
              "#(append 1 #(local v)) #(prepend 2 #(local v)) #(insert 3 #(local v) 0)");
}

TEST(ParserStatements, Commands) {
    EXPECT_EQ(cleanTree("beep; break; return; return 1; ;"),
              "beep break return #(return 1) begin");
    EXPECT_EQ(cleanTree("set t to 1; wait until t; wait t;"),
              "#(nocircref #(set #(local t) 1)) #(wait #(local t)) #(wait #(local t))");
    EXPECT_EQ(cleanTree("set x to 1; delete x; delete window \"w\"; delete file \"f\";"),
              "#(nocircref #(set #(local x) 1)) #(delete #(local x)) #(delete local_window w) "
              "#(delete #(file f))");
}

TEST(ParserStatements, BlocksConditionalsAndCatch) {
    EXPECT_EQ(cleanTree("begin print 1; begin end print 2; end"),
              "#(begin #(print 1) begin #(print 2))");
    EXPECT_EQ(cleanTree("if true then print 1;"), "#(if true #(print 1))");
    EXPECT_EQ(cleanTree("if true then print 1; else print 2;"),
              "#(else #(if true #(print 1)) #(print 2))");
    // else belongs to the nearest if.
    EXPECT_EQ(cleanTree("if true then if false then print 1; else print 2;"),
              "#(if true #(else #(if false #(print 1)) #(print 2)))");
    EXPECT_EQ(cleanTree("print 1; catch print 2;"), "#(catch #(print 1) #(print 2))");
    EXPECT_EQ(cleanTree("begin print 1; end catch begin end"),
              "#(catch #(begin #(print 1)) begin)");
}

TEST(ParserStatements, EmbeddedScriptBlock) {
    // A node without text carries the script; the scanned block is its child.
    EXPECT_EQ(cleanTree("applescript say hi morvane print 1;"), "#(  say hi ) #(print 1)");
}

TEST(ParserStatements, RepeatKinds) {
    EXPECT_EQ(cleanTree("repeat forever begin end"), "#(forever begin)");
    EXPECT_EQ(cleanTree("repeat 3 times print 1;"), "#(times 3 #(print 1))");
    EXPECT_EQ(cleanTree("repeat while true begin end"), "#(while true begin)");
    EXPECT_EQ(cleanTree("repeat until 1:JAN:2030 begin end"),
              "#(until datetime(01:JAN:2030:00:00:00) begin)");
    EXPECT_EQ(cleanTree("repeat from 1 to 2 begin end"), "#(from 1 2 begin)");
    EXPECT_EQ(cleanTree("repeat for 2 minutes begin end"), "#(for #(minutes 2) begin)");
}

TEST(ParserStatements, RepeatModifiersInTextOrder) {
    EXPECT_EQ(cleanTree("repeat 3 times every 1 second increment i begin print i; end"),
              "#(times 3 every #(second 1) increment #(local i) #(begin #(print #(local i))))");
    EXPECT_EQ(cleanTree("repeat forever increment global n every 2 increment k begin end"),
              "#(forever increment #(global n) every 2 increment #(local k) begin)");
}

TEST(ParserStatements, FunctionDefinitions) {
    EXPECT_EQ(cleanTree("define area(number w, (number | vector) &h, scale -> w * 2) "
                        "returns number begin return w * h * scale; end"),
              "#(define area #(w number) #(h number vector) #(scale -> #(* #(local w) 2)) "
              "number #(begin #(return #(* #(* #(local w) #(local h)) #(local scale)))))");
    EXPECT_EQ(cleanTree("define Util.noop begin end define any_of(any a, none b) returns (text|list) begin end"),
              "#(define Util noop begin) #(define any_of #(a any) #(b none) text list begin)");
}

// ------------------------------------------------------------ checks

TEST(ParserChecks, UninitialisedIdentifiersAreReportedWithTheirName) {
    Checked r = check("print 1;\nprint y + 2;");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, syntax("Identifier has not been initialized.\n        y"));
    EXPECT_EQ(r.records[0].text, " + 2");
    EXPECT_EQ(r.records[0].tokenType, MV_TOK_PLUS);
    EXPECT_EQ(r.records[0].line, 2);
    EXPECT_EQ(r.tree, "#(print 1) #(print #(+ #(local y) 2))");   // parsing went on
    EXPECT_TRUE(r.errorFlag);
    EXPECT_EQ(r.console, "");
}

TEST(ParserChecks, AssignmentsInitialiseNames) {
    cleanTree("add 1 to a; print a; repeat 2 times increment i begin end print i; "
              "multiply m by 2; print m; print global never;");
    EXPECT_EQ(check("set x to reference y;").messages(),
              Messages{syntax("Identifier has not been initialized.\n        y")});
    EXPECT_EQ(check("set v to {1}; print v[w];").messages(),
              Messages{syntax("Identifier has not been initialized.\n        w")});
}

TEST(ParserChecks, FunctionsHaveTheirOwnContext) {
    // Parameters are known inside; top-level names only with global.
    Checked r = check("set g to 1; define f(a) begin print a; print g; print global g; end");
    EXPECT_EQ(r.messages(), Messages{syntax("Identifier has not been initialized.\n        g")});
    // A name set inside a function is unknown at the top level afterwards.
    r = check("define f begin set q to 1; print q; end print q;");
    EXPECT_EQ(r.messages(), Messages{syntax("Identifier has not been initialized.\n        q")});
    // A default may use the parameters before it.
    cleanTree("define f(a, b -> a + 1) begin end");
}

TEST(ParserChecks, InvalidPropertyNamesAreReportedAndParsingGoesOn) {
    Checked r = check("set x to 1; print colour of x; set x to x with hue to 2;");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, syntax("Invalid property name.\n        colour"));
    EXPECT_EQ(r.records[0].text, " colour of");
    EXPECT_EQ(r.tree,
              "#(nocircref #(set #(local x) 1)) #(print #(of colour #(local x))) "
              "#(circref #(set #(local x) #(with #(local x) hue 2)))");
    // A keyword that is not in the property table is reported too.
    EXPECT_EQ(check("set x to 1; print seconds of x;").messages(),
              Messages{syntax("Invalid property name.\n        seconds")});
}

// ------------------------------------------------------------ token texts

// The scanner rewrites some texts (escapes, doubled quotes, a backslash
// before a line end); each token keeps its own rewritten text, however many
// there are and however far the parser looks ahead.
TEST(ParserTexts, RewrittenStringsKeepTheirOwnTextInTheTree) {
    EXPECT_EQ(cleanTree("print \"a\\tb\" + 'it''s' + \"one\\\ntwo\" + \"plain\";"),
              "#(print #(+ #(+ #(+ a\tb it's) one\ntwo) plain))");

    std::string script;
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        script += "print \"" + std::to_string(i) + "\\065\";\n";
        expected += (i ? " #(print " : "#(print ") + std::to_string(i) + "A)";
    }
    EXPECT_EQ(cleanTree(script), expected);
}

TEST(ParserTexts, RewrittenStringsStayValidWhileTheParserLooksAhead) {
    Checked r = check("set \"a\\tb\" 'c''d';");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].text, " a\tb c'd");
    EXPECT_EQ(r.records[0].message, syntax("Expecting 'set <identifier> to <expression>."));

    // An argument is looked at two tokens ahead: the first string's leaf is
    // made after the second string has been scanned.
    r = check("print f(\"\\065\" \"\\066\");");
    ASSERT_EQ(r.messages(),
              (Messages{syntax("Error in function call."), "Function is not defined."}));
    EXPECT_EQ(r.records[0].text, " B )");
}

// Lexemes longer than the scanner's buffer are cut to 32000 characters: a
// long name is the same cut name wherever it is written.
TEST(ParserTexts, LongLexemesAreCutTheSameWayEverywhere) {
    const std::string name(40000, 'n');
    const std::string cut(32000, 'n');
    EXPECT_EQ(cleanTree("set " + name + " to 1;\nprint " + name + ";"),
              "#(nocircref #(set #(local " + cut + ") 1)) #(print #(local " + cut + "))");
    EXPECT_EQ(cleanTree("print \"" + std::string(40000, 's') + "\";"),
              "#(print " + std::string(32000, 's') + ")");
    // A cut string that has escapes after the cut.
    EXPECT_EQ(cleanTree("print \"" + std::string(32000, 's') + "\\t\\065\";"),
              "#(print " + std::string(32000, 's') + ")");
}

// ------------------------------------------------------------ syntax errors

TEST(ParserErrors, EmptyScriptIsAnInvalidCommand) {
    for (const char* script : {"", "   \n// only a comment\n"}) {
        Checked r = check(script);
        ASSERT_EQ(r.records.size(), 1u) << script;
        EXPECT_EQ(r.records[0].message, "Syntax Error: Invalid command.");
        EXPECT_EQ(r.records[0].text, "");
        EXPECT_EQ(r.records[0].tokenType, MV_TOK_EOF);
        EXPECT_EQ(r.tree, "");
        EXPECT_TRUE(r.errorFlag);
        EXPECT_EQ(r.console, "");
    }
}

TEST(ParserErrors, TheParseStopsQuietlyAtATokenThatBeginsNoElement) {
    EXPECT_EQ(cleanTree("print 1; 5; print 2;"), "#(print 1)");
    EXPECT_EQ(cleanTree("print 1; (2); print 2;"), "#(print 1)");
    EXPECT_EQ(cleanTree("print 1; image x;"), "#(print 1)");
}

TEST(ParserErrors, AFailureReachingTheTopEndsTheParse) {
    Checked r = check("print 1;\nif true then 5; print 2;");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message, syntax("Invalid command."));
    EXPECT_EQ(r.records[0].text, " 5 ;");
    EXPECT_EQ(r.records[0].line, 2);
    EXPECT_EQ(r.tree, "#(print 1)");
    // A command without its ";" at the top level.
    r = check("beep print 2;");
    EXPECT_EQ(r.messages(), Messages{syntax("Invalid command.")});
    EXPECT_EQ(r.records[0].text, " print 2");
    EXPECT_EQ(r.tree, "");
}

TEST(ParserErrors, AWordThatBeginsNoStatement) {
    Checked r = check("then x; print 1; end");
    EXPECT_EQ(r.messages(), (Messages{syntax("Unrecognized statement."),
                                      syntax("Unrecognized statement.")}));
    EXPECT_EQ(r.records[0].text, " x ;");
    EXPECT_EQ(r.records[1].text, "");
    EXPECT_EQ(r.tree, "then #(print 1) end");
}

TEST(ParserErrors, MissingEndResumesAfterTheBlocksEnd) {
    Checked r = check("begin add 1 x; print 2; end print 3;");
    EXPECT_EQ(r.messages(), (Messages{syntax("Expecting 'add <expression> to <identifier>'"),
                                      syntax("Missing 'end'.")}));
    EXPECT_EQ(r.records[0].text, " x ;");
    EXPECT_EQ(r.tree, "begin #(print 3)");

    // A command without ";" inside a block; the statements before it stay.
    r = check("begin print 1; beep print 2; end print 3;");
    EXPECT_EQ(r.messages(), Messages{syntax("Missing 'end'.")});
    EXPECT_EQ(r.tree, "#(begin #(print 1)) #(print 3)");

    // Nested blocks: only the inner one is abandoned.
    r = check("begin begin break print 1; end print 2; end");
    EXPECT_EQ(r.messages(), Messages{syntax("Missing 'end'.")});
    EXPECT_EQ(r.tree, "#(begin begin #(print 2))");

    r = check("begin print 1;");
    EXPECT_EQ(r.messages(), Messages{syntax("Missing 'end'.")});
    EXPECT_EQ(r.tree, "#(begin #(print 1))");
}

TEST(ParserErrors, IfStatementErrors) {
    Checked r = check("begin if true print 1; end print 2;");
    EXPECT_EQ(r.messages(),
              Messages{syntax("Expecting 'if <expression> then <statement>'.")});
    EXPECT_EQ(r.records[0].text, " print 1");
    EXPECT_EQ(r.tree, "begin #(print 2)");

    r = check("begin if then print 1; end print 2;");
    EXPECT_EQ(r.messages(),
              (Messages{syntax("Expression syntax error."),
                        syntax("Expecting a Boolean expression. For example: (x <= 5)."),
                        syntax("Expecting 'if <expression> then <statement>'.")}));
    EXPECT_EQ(r.tree, "begin #(print 2)");

    r = check("begin if (true then print 1; end print 2;");
    EXPECT_EQ(r.messages(),
              (Messages{syntax("Unmatched brackets."),
                        syntax("Expecting a Boolean expression. For example: (x <= 5)."),
                        syntax("Expecting 'if <expression> then <statement>'.")}));
    EXPECT_EQ(r.tree, "begin #(print 2)");
}

TEST(ParserErrors, SetStatementErrors) {
    Checked r = check("set x 5; print 1;");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message,
              syntax("Missing 'to <expression>'.\n        or 'to reference <identifier>'."));
    EXPECT_EQ(r.records[0].text, " 5 ;");
    // The skip stops before the ";", which is then an empty command.
    EXPECT_EQ(r.tree, "begin #(print 1)");

    EXPECT_EQ(check("set x to reference 5; print 1;").messages(),
              Messages{syntax("Missing 'to <expression>'.\n        or 'to reference <identifier>'.")});

    for (const char* script : {"set 5 to x; print 1;", "set x to ; print 1;"}) {
        r = check(script);
        EXPECT_EQ(r.messages(), Messages{syntax("Expecting 'set <identifier> to <expression>.")})
            << script;
        EXPECT_EQ(r.tree, "begin #(print 1)") << script;
    }
}

TEST(ParserErrors, ArithmeticAndListStatementErrorsTravelOut) {
    struct Case {
        const char* statement;
        const char* message;
    };
    const Case cases[] = {
        {"add 1 x;", "Expecting 'add <expression> to <identifier>'"},
        {"append 1 x;", "Expecting 'append <expression> to <identifier>'"},
        {"prepend 1 x;", "Expecting 'prepend <expression> to <identifier>'"},
        {"subtract 1 to x;", "Expecting 'subtract <expression> from <identifier>'"},
        {"multiply x to 2;", "Expecting 'multiply <identifier> by <expression>'"},
        {"divide x 2;", "Expecting 'divide <identifier> by <expression>'"},
        {"insert 1 into x 0;", "Expecting 'insert <expression> into <ident> at <expression>'"},
    };
    for (const Case& c : cases) {
        // Inside a block the block gives up too; at the top the parse ends.
        Checked inBlock = check(std::string("begin ") + c.statement + " end print 2;");
        EXPECT_EQ(inBlock.messages(), (Messages{syntax(c.message), syntax("Missing 'end'.")}))
            << c.statement;
        EXPECT_EQ(inBlock.tree, "begin #(print 2)") << c.statement;
        Checked atTop = check(std::string(c.statement) + " print 2;");
        EXPECT_EQ(atTop.messages(), (Messages{syntax(c.message), syntax("Invalid command.")}))
            << c.statement;
    }
}

TEST(ParserErrors, TargetThatCannotBeSet) {
    Checked r = check("add 1 to 5; print 2;");
    EXPECT_EQ(r.messages(), Messages{syntax("This expression cannot be set.")});
    EXPECT_EQ(r.records[0].text, " 5 ;");
    EXPECT_EQ(r.tree, "#(add 1) #(print 2)");
}

TEST(ParserErrors, PrintAndWaitErrors) {
    Checked r = check("print 1 2; print 3;");
    EXPECT_EQ(r.messages(), Messages{syntax("Invalid print expression.")});
    EXPECT_EQ(r.records[0].text, " 2 ;");
    EXPECT_EQ(r.tree, "begin #(print 3)");

    r = check("print ; print 3;");
    EXPECT_EQ(r.messages(), (Messages{syntax("Expression syntax error."),
                                      syntax("Invalid print expression.")}));
    EXPECT_EQ(r.tree, "begin #(print 3)");

    r = check("wait until 1 2; wait; print 3;");
    EXPECT_EQ(r.messages(), (Messages{syntax("Invalid wait expression."),
                                      syntax("Expression syntax error."),
                                      syntax("Invalid wait expression.")}));
    EXPECT_EQ(r.tree, "begin begin #(print 3)");
}

TEST(ParserErrors, DeleteListsItsFormsInOneRecord) {
    Checked r = check("delete 5; print 1;");
    ASSERT_EQ(r.records.size(), 1u);
    EXPECT_EQ(r.records[0].message,
              "Syntax Error: Expecting:\n"
              "           'delete <identifier>'\n"
              "        or 'delete window <expression>'\n"
              "        or 'delete file <expression>'");
    EXPECT_EQ(r.records[0].text, " 5 ;");
    EXPECT_EQ(r.tree, "begin #(print 1)");
}

TEST(ParserErrors, RepeatKindErrorsSkipToTheBodyAndTravelOut) {
    struct Case {
        const char* loop;
        Messages messages;
    };
    const Case cases[] = {
        {"repeat 3 begin print 1; end",
         {syntax("Expecting 'repeat <expression> times'.")}},
        {"repeat while begin print 1; end",
         {syntax("Expression syntax error."),
          syntax("Expecting 'repeat while <boolean expression>'.")}},
        {"repeat until (1 begin print 1; end",
         {syntax("Unmatched brackets."), syntax("Expecting 'repeat until <date>'.")}},
        {"repeat from 1 2 begin print 1; end",
         {syntax("Expecting 'repeat from <date> to <date>'.")}},
        {"repeat for begin print 1; end",
         {syntax("Expression syntax error."), syntax("Expecting 'repeat for <time-interval>'.")}},
    };
    for (const Case& c : cases) {
        // The enclosing block is abandoned up to the loop body's end.
        Checked r = check(std::string("begin ") + c.loop + " print 2;");
        Messages expected = c.messages;
        expected.push_back(syntax("Missing 'end'."));
        EXPECT_EQ(r.messages(), expected) << c.loop;
        EXPECT_EQ(r.tree, "begin #(print 2)") << c.loop;
    }
}

TEST(ParserErrors, RepeatWithoutKindAndModifierErrors) {
    Checked r = check("begin repeat ; end print 2;");
    EXPECT_EQ(r.messages(), Messages{syntax("Invalid repeat statement.")});
    EXPECT_EQ(r.tree, "begin #(print 2)");

    // A modifier's error skips the body; the loop then has none.
    r = check("begin repeat forever every begin print 1; end print 2;");
    EXPECT_EQ(r.messages(), (Messages{syntax("Expression syntax error."),
                                      syntax("'every' modifier is missing <expression>."),
                                      syntax("Invalid repeat modifier."),
                                      syntax("Invalid repeat statement.")}));
    EXPECT_EQ(r.tree, "begin #(print 2)");

    r = check("begin repeat forever increment 5 begin print 1; end print 2;");
    EXPECT_EQ(r.messages(), (Messages{syntax("'increment' modifier is missing <identifier>."),
                                      syntax("Invalid repeat modifier."),
                                      syntax("Invalid repeat statement.")}));
    EXPECT_EQ(r.tree, "begin #(print 2)");
}

TEST(ParserErrors, FunctionDefinitionAndCallErrors) {
    Checked r = check("define f(a b) begin print a; end print 1;");
    EXPECT_EQ(r.messages(), Messages{syntax("Unrecognized function definition.")});
    EXPECT_EQ(r.records[0].text, " b )");
    EXPECT_EQ(r.tree, "#(print 1)");
    // The context of the broken function is left again.
    EXPECT_EQ(check("set x to 1; define f(a b) begin end print x;").messages(),
              Messages{syntax("Unrecognized function definition.")});

    r = check("sin(1; print 2;");
    EXPECT_EQ(r.messages(), Messages{syntax("Error in function call.")});
    EXPECT_EQ(r.records[0].text, " ; print");
    EXPECT_EQ(r.tree, "#(print 2)");
}

TEST(ParserErrors, DateFormatErrors) {
    Checked r = check("set d to 12:JAN:24; print 1;");
    EXPECT_EQ(r.messages(),
              (Messages{syntax("Date format is DD:MMM:YYYY."),
                        syntax("Missing 'to <expression>'.\n        or 'to reference <identifier>'.")}));
    EXPECT_EQ(r.records[0].text, " 24 ;");
    EXPECT_EQ(r.tree, "begin #(print 1)");
    EXPECT_EQ(check("print 5:Jan:2024;").messages(),
              (Messages{syntax("Date format is DD:MMM:YYYY"), syntax("Invalid print expression.")}));
    EXPECT_EQ(check("print 05:JAN:2024:1:00;").messages(),
              (Messages{syntax("Date format is DD:MMM:YYYY."), syntax("Invalid print expression.")}));
}

TEST(ParserErrors, RecordsCarryTheLineOfTheNextToken) {
    Checked r = check("print 1;\n\nprint 1 +\n\n;");
    ASSERT_EQ(r.records.size(), 2u);
    EXPECT_EQ(r.records[0].line, 5);
    EXPECT_EQ(r.records[0].tokenType, MV_TOK_SEMI);
    EXPECT_EQ(r.records[0].text, " ;");
}

// ------------------------------------------------------------ robustness

TEST(ParserLimits, ModerateNestingIsParsed) {
    std::string open(150, '('), close(150, ')');
    EXPECT_EQ(cleanTree("print " + open + "1" + close + ";"), "#(print 1)");
    std::string blocks;
    for (int i = 0; i < 300; ++i)
        blocks += "begin ";
    for (int i = 0; i < 300; ++i)
        blocks += "end ";
    std::string expected = "begin";
    for (int i = 1; i < 300; ++i)
        expected = "#(begin " + expected + ")";
    EXPECT_EQ(cleanTree(blocks), expected);
}

TEST(ParserLimits, DeepNestingIsASyntaxErrorNotACrash) {
    Checked parens = check("print " + std::string(100000, '(') + "1;");
    EXPECT_EQ(parens.messages(), (Messages{syntax("Expression syntax error."),
                                           syntax("Invalid print expression.")}));
    std::string blocks;
    for (int i = 0; i < 100000; ++i)
        blocks += "begin ";
    EXPECT_EQ(check(blocks).messages(), Messages{syntax("Invalid command.")});
    std::string conditions;
    for (int i = 0; i < 100000; ++i)
        conditions += "if true then ";
    EXPECT_EQ(check(conditions).messages(), Messages{syntax("Invalid command.")});
}

TEST(ParserLimits, LongChainsAndManyStatementsAreFine) {
    std::string sum = "print 1";
    for (int i = 0; i < 100000; ++i)
        sum += " - 1";
    Checked r = check(sum + ";");
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.tree.substr(0, 14), "#(print #(- #(");
    std::string many;
    for (int i = 0; i < 20000; ++i)
        many += "beep;\n";
    r = check(many);
    EXPECT_TRUE(r.records.empty());
    EXPECT_EQ(r.tree.size(), 20000u * 5 - 1);
}

// Scripts made of random tokens: every check ends, whatever the text.
TEST(ParserLimits, RandomTokenSoupAlwaysTerminates) {
    static const char* const kWords[] = {
        "set", "to", "x", "y", "(", ")", "[", "]", "{", "}", ",", ";", ":", "begin", "end",
        "if", "then", "else", "repeat", "times", "while", "every", "increment", "define",
        "returns", "number", "&", "->", "+", "-", "*", "/", "=", "and", "!", "of", "width",
        "with", "as", "text", "file", "window", "global", "local", "print", "wait", "until",
        "delete", "add", "insert", "into", "at", "catch", "12", "JAN", "2024", "1", "\"s\"",
        "sin", "pow", ".", "f", "reference", "ClipBoard", "URL", "%", "seconds", "from", "for",
        "forever", "break", "return", "beep", "|", "any", "applescript", "morvane"};
    constexpr unsigned kCount = sizeof kWords / sizeof kWords[0];
    unsigned state = 12345;
    for (int script = 0; script < 400; ++script) {
        std::string text;
        int length = 1 + script % 60;
        for (int i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            text += kWords[(state >> 16) % kCount];
            text += ' ';
        }
        MvParser session(text.c_str(), static_cast<long>(text.size()), nullptr, false);
        session.CheckSyntax();
        EXPECT_TRUE(session.getDoneFlag()) << text;
        session.getTreeText();
    }
}

} // namespace
