// The session as a host sees it: text intake, flags, streams, error records,
// the window list and the syntax check's console messages.
#include "morvane/MvHost.h"
#include "morvane/MvParser.h"

// The session's internals (its text, line map and own functions) for the
// white-box checks below.
#include "../../engine/frontend/MvSession.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace {

struct SessionDeleter {
    void operator()(MvParser* session) const { MvParserDelete(session); }
};
using Session = std::unique_ptr<MvParser, SessionDeleter>;

Session makeSession(const std::string& text, long length = -1) {
    return Session(MvParserCreate(text.data(), length < 0 ? static_cast<long>(text.size()) : length,
                                  nullptr));
}

std::string takeConsole(MvParser* session) {
    Mv_stringstream* console = MvParserGetConsoleStream(session);
    std::string text = console->str();
    console->str("");
    MvParserReleaseConsoleStream(session);
    return text;
}

struct Record {
    int line;
    std::string text;
    std::string message;
};

std::vector<Record> records(MvParser* session) {
    std::vector<Record> all;
    int count = MvParserGetParseErrorCount(session);
    for (int i = 0; i < count; ++i) {
        ParseError* e = MvParserGetParseError(session, i);
        all.push_back({e->line, e->text, e->message});
    }
    MvParserReleaseParseErrors(session);
    return all;
}

MvWindow* fakeWindow(std::uintptr_t n) { return reinterpret_cast<MvWindow*>(n * 16); }

TEST(SessionText, HeaderIsDroppedAndLengthCountsIt) {
    std::string text("\xD2\x02\x96\x49\x4F\x97\x21\xC5print 1;", 16);
    Session session = makeSession(text);
    EXPECT_STREQ(MvSession::of(session.get())->getText(), "print 1;\n");
}

TEST(SessionText, AlmostAHeaderIsKeptAsText) {
    std::string text("\xD2\x02\x96\x49\x4F\x97\x21\xC4", 8);
    Session session = makeSession(text);
    EXPECT_EQ(std::string(MvSession::of(session.get())->getText()), text + "\n");
}

TEST(SessionText, InnerNulBytesBecomeBlanksWhenLengthIsGiven) {
    std::string text("set\0x to 1;", 11);
    Session session = makeSession(text);
    EXPECT_STREQ(MvSession::of(session.get())->getText(), "set x to 1;\n");
}

TEST(SessionText, ZeroOrNegativeLengthStopsAtTheFirstNul) {
    std::string text("print 2;\0ignored", 16);
    EXPECT_STREQ(MvSession::of(makeSession(text, 0).get())->getText(), "print 2;\n");
    Session negative(MvParserCreate(text.data(), -5, nullptr));
    EXPECT_STREQ(MvSession::of(negative.get())->getText(), "print 2;\n");
}

TEST(SessionFlags, StartClearAndDoneFlagOnlySetByOne) {
    Session session = makeSession("print 1;");
    MvParser* s = session.get();
    EXPECT_EQ(MvParserGetDoneFlag(s), 0);
    EXPECT_EQ(MvParserGetDirtyFlag(s), 0);
    EXPECT_EQ(MvParserGetErrorFlag(s), 0);
    EXPECT_EQ(MvParserGetPendingInputFlag(s), 0);
    MvParserSetDoneFlag(s, 1);
    EXPECT_EQ(MvParserGetDoneFlag(s), 1);
    MvParserSetDoneFlag(s, 2);
    EXPECT_EQ(MvParserGetDoneFlag(s), 0);
    MvParserSetDoneFlag(s, 1);
    MvParserSetDoneFlag(s, -1);
    EXPECT_EQ(MvParserGetDoneFlag(s), 0);
}

TEST(SessionFlags, RunErrorAlsoEndsTheRun) {
    Session session = makeSession("print 1;");
    session->setRunErrorFlag(true);
    EXPECT_TRUE(session->getRunErrorFlag());
    EXPECT_TRUE(session->getDoneFlag());
    MvParserClearRunErrorFlag(session.get());
    EXPECT_FALSE(session->getRunErrorFlag());
    EXPECT_TRUE(session->getDoneFlag());
}

TEST(SessionFlags, PendingInputReadsEmptyAndReplyClearsTheFlag) {
    Session session = makeSession("print 1;");
    EXPECT_EQ(MvParserGetPendingInputType(session.get()), 0);
    EXPECT_EQ(session->getPendingInputDefault(), nullptr);
    EXPECT_STREQ(session->getPendingInputPrompt(), "");
    session->setPendingInputFlag(true);
    EXPECT_EQ(MvParserGetPendingInputFlag(session.get()), 1);
    MvParserReturnPendingInput(session.get(), nullptr);
    EXPECT_EQ(MvParserGetPendingInputFlag(session.get()), 0);
}

TEST(SessionRecords, IndexAtOrPastTheCountGivesNull) {
    Session session = makeSession("print 1;");
    int count = MvParserGetParseErrorCount(session.get());
    EXPECT_EQ(MvParserGetParseError(session.get(), count), nullptr);
    EXPECT_EQ(MvParserGetParseError(session.get(), count + 1), nullptr);
    EXPECT_EQ(MvParserGetParseError(session.get(), -1), nullptr);
    MvParserReleaseParseErrors(session.get());
}

// 200,000 records, read forwards, backwards and by jumps, each the one at its
// index (the line says which). Reading them all once took minutes when every
// read walked the list from its start.
TEST(SessionRecords, ManyRecordsAreReadInAnyOrder) {
    constexpr int kErrors = 200000;
    std::string text;
    for (int i = 0; i < kErrors; ++i)
        text += "set ;\n";
    Session session = makeSession(text);
    MvParserCheckSyntax(session.get());
    const int count = MvParserGetParseErrorCount(session.get());
    ASSERT_EQ(count, kErrors);
    Mv_stringstream written;
    for (int i = 0; i < count; ++i) {
        ParseError* e = MvParserGetParseError(session.get(), i);
        ASSERT_NE(e, nullptr);
        ASSERT_EQ(e->line, i + 1);
        MvParseErrorWriteToStream(e, &written);
    }
    for (int i = count - 1; i >= 0; --i)
        ASSERT_EQ(MvParserGetParseError(session.get(), i)->line, i + 1);
    for (int i : {0, count - 1, count / 2, 1, count / 2 + 7, count - 2, 3})
        EXPECT_EQ(MvParserGetParseError(session.get(), i)->line, i + 1);
    EXPECT_EQ(MvParserGetParseError(session.get(), count), nullptr);
    MvParserReleaseParseErrors(session.get());
    EXPECT_NE(written.str().rfind(" at line 200000: "), std::string::npos);

    // A second check appends; the reading position from before stays right.
    MvParserCheckSyntax(session.get());
    ASSERT_EQ(MvParserGetParseErrorCount(session.get()), 2 * kErrors);
    EXPECT_EQ(MvParserGetParseError(session.get(), kErrors - 1)->line, kErrors);
    EXPECT_EQ(MvParserGetParseError(session.get(), kErrors)->line, 1);
    EXPECT_EQ(MvParserGetParseError(session.get(), 2 * kErrors - 1)->line, kErrors);
    MvParserReleaseParseErrors(session.get());
}

TEST(SessionWindows, ListKeepsOrderAndRemovesEveryCopy) {
    Session session = makeSession("print 1;");
    MvParser* s = session.get();
    s->addToWindowList(fakeWindow(1));
    s->addToWindowList(fakeWindow(2));
    s->addToWindowList(fakeWindow(1));
    EXPECT_TRUE(s->inWindowList(fakeWindow(2)));
    MvParserGetWindowList(s);
    EXPECT_EQ(MvParserGetWindow(s, 0), fakeWindow(1));
    EXPECT_EQ(MvParserGetWindow(s, 2), fakeWindow(1));
    EXPECT_EQ(MvParserGetWindow(s, 3), nullptr);
    EXPECT_EQ(MvParserGetWindow(s, -1), nullptr);
    MvParserReleaseWindowList(s);
    s->removeFromWindowList(fakeWindow(1));
    EXPECT_FALSE(s->inWindowList(fakeWindow(1)));
    MvParserGetWindowList(s);
    EXPECT_EQ(MvParserGetWindow(s, 0), fakeWindow(2));
    EXPECT_EQ(MvParserGetWindow(s, 1), nullptr);
    MvParserReleaseWindowList(s);
}

TEST(SessionLocations, MainScriptAndNoFile) {
    Session session = makeSession("print 1;");
    std::ostringstream none, main;
    session->outputError(none, 5, 0);
    session->outputError(main, 5, 1);
    EXPECT_EQ(none.str(), "");
    EXPECT_EQ(main.str(), " at line 5");
}

TEST(SessionRecords, RecordWithoutPositionIsWrittenAsScriptError) {
    Session session = makeSession("print 1;");
    ParseError error;
    error.owner = session.get();
    error.line = 0;
    error.fileIndex = 1;
    error.text = "the text";
    error.message = "the message";
    Mv_stringstream out;
    MvParseErrorWriteToStream(&error, &out);
    EXPECT_EQ(out.str(), "Script Error -------------------------\nthe text\n"
                         "--------------------------------------\nthe message\n\n");
    EXPECT_EQ(MvParseErrorGetDisplayedFlag(&error), 0);
    MvParseErrorSetDisplayedFlag(&error);
    EXPECT_EQ(MvParseErrorGetDisplayedFlag(&error), 1);
}

TEST(SessionRecords, RecordWithPositionNamesLineTextAndMessage) {
    Session session = makeSession("print 1;");
    ParseError error;
    error.owner = session.get();
    error.line = 3;
    error.fileIndex = 1;
    error.text = " x y";
    error.message = "Syntax Error: Invalid command.";
    Mv_stringstream out;
    MvParseErrorWriteToStream(&error, &out);
    EXPECT_EQ(out.str(), " at line 3: ( x y)\nSyntax Error: Invalid command.\n\n");
}

TEST(SessionCheck, CorrectScriptReportsCompletionOnce) {
    Session session = makeSession("set x to 5;\nprint x;\n");
    MvParserCheckSyntax(session.get());
    EXPECT_EQ(takeConsole(session.get()), "Syntax Check Complete : No Errors found.\n");
    EXPECT_EQ(MvParserGetErrorFlag(session.get()), 0);
    EXPECT_EQ(MvParserGetDoneFlag(session.get()), 1);
    EXPECT_EQ(MvParserGetDirtyFlag(session.get()), 0);
    EXPECT_TRUE(records(session.get()).empty());
}

TEST(SessionCheck, UndefinedFunctionIsRecordedWithItsDisplayName) {
    Session session = makeSession("set x to 1;\nprint Geo.Area(x);\n");
    MvParserCheckSyntax(session.get());
    EXPECT_EQ(takeConsole(session.get()), "Geo.Area");
    EXPECT_EQ(MvParserGetErrorFlag(session.get()), 1);
    EXPECT_EQ(MvParserGetDoneFlag(session.get()), 1);
    std::vector<Record> found = records(session.get());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].line, 2);
    EXPECT_EQ(found[0].text, "Geo.Area");
    EXPECT_EQ(found[0].message, "Function is not defined.");
}

TEST(SessionCheck, UndefinedInternalFunctionShowsTheBareName) {
    Session session = makeSession("print nowhere(1);\n");
    MvParserCheckSyntax(session.get());
    EXPECT_EQ(takeConsole(session.get()), "nowhere");
    std::vector<Record> found = records(session.get());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, "nowhere");
}

TEST(SessionCheck, SecondCheckAppendsItsRecords) {
    Session session = makeSession("");
    MvParserCheckSyntax(session.get());
    size_t first = records(session.get()).size();
    ASSERT_GE(first, 1u);
    MvParserCheckSyntax(session.get());
    EXPECT_EQ(records(session.get()).size(), 2 * first);
    EXPECT_EQ(records(session.get()).back().message, "Syntax Error: Invalid command.");
}

TEST(SessionCheck, ColouringPassThenCheckStillParsesEverything) {
    Session session = makeSession("set x to 5;\nprint x;\n");
    MvParserLexicalPassOnly(session.get());
    auto* blocks = MvParserGetSyntaxBlockList(session.get());
    size_t spans = blocks->size();
    MvParserReleaseSyntaxBlockList(session.get());
    EXPECT_GT(spans, 0u);
    MvParserCheckSyntax(session.get());
    EXPECT_EQ(takeConsole(session.get()), "Syntax Check Complete : No Errors found.\n");
}

TEST(SessionApi, DeletingNullIsIgnoredAndWarningsAreShared) {
    MvParserDelete(nullptr);
    Session a = makeSession("print 1;");
    Session b = makeSession("print 2;");
    Mv_stringstream* fromA = MvParserGetWarningConsoleStream(a.get());
    Mv_stringstream* fromB = MvParserGetWarningConsoleStream(b.get());
    EXPECT_EQ(fromA, fromB);
    MvParserReleaseWarningConsoleStream(b.get());
    MvParserReleaseWarningConsoleStream(a.get());
}

} // namespace

namespace {

// A second check parses again: the functions the script defines are
// registered once, against the new tree, and calls of them still resolve.
TEST(SessionCheckAgain, DefinedFunctionsSurviveASecondCheck) {
    std::string script = "define twice(number n) begin\n  return n * 2;\nend\nprint twice(2);\n";
    MvParser* s = MvParserCreate(script.c_str(), static_cast<long>(script.size()), nullptr);
    for (int round = 0; round < 3; ++round) {
        MvParserCheckSyntax(s);
        Mv_stringstream* console = MvParserGetConsoleStream(s);
        std::string text = console->str();
        console->str("");
        MvParserReleaseConsoleStream(s);
        EXPECT_EQ(text, "Syntax Check Complete : No Errors found.\n") << round;
    }
    MvParserDelete(s);
}

} // namespace

namespace {

// Each check looks at its own calls only: the first undefined call of the
// script is the one reported, every time.
TEST(SessionCheckAgain, EachCheckReportsItsOwnFirstUndefinedCall) {
    std::string script = "print Geo.First(1);\nprint Geo.Second(2);\n";
    MvParser* s = MvParserCreate(script.c_str(), static_cast<long>(script.size()), nullptr);
    MvParserCheckSyntax(s);
    MvParserCheckSyntax(s);
    int count = MvParserGetParseErrorCount(s);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(MvParserGetParseError(s, 0)->text, "Geo.First");
    EXPECT_EQ(MvParserGetParseError(s, 1)->text, "Geo.First");
    EXPECT_EQ(MvParserGetParseError(s, 1)->line, 1);
    MvParserReleaseParseErrors(s);
    MvParserDelete(s);
}

} // namespace
