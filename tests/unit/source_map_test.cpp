// The source-file table and line map of a session: include markers as the
// scanner reports them, lines mapped back to their files, and the locations
// written for error records.
#include "morvane/MvParser.h"

// The session hands out its map through sourceMap(); the class itself lives
// with the engine's front end.
#include "../../engine/frontend/MvSourceMap.h"

// The session's internals (its text, line map and own functions) for the
// white-box checks below.
#include "../../engine/frontend/MvSession.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

struct Mapped {
    int line;
    int fileIndex;
};

bool operator==(const Mapped& a, const Mapped& b) {
    return a.line == b.line && a.fileIndex == b.fileIndex;
}

std::ostream& operator<<(std::ostream& out, const Mapped& m) {
    return out << "{line " << m.line << ", file " << m.fileIndex << "}";
}

// A session over a script without directives: its map starts as made.
class SourceMapTest : public ::testing::Test {
protected:
    void SetUp() override { session_ = MvParserCreate("print 1", 0, nullptr); }
    void TearDown() override { MvParserDelete(session_); }

    Mapped map(int scannerLine) {
        Mapped result{-100, -100};
        MvSession::of(session_)->mapLine(scannerLine, result.line, result.fileIndex);
        return result;
    }

    std::string location(long line, long fileIndex) {
        std::ostringstream out;
        session_->outputError(out, line, fileIndex);
        return out.str();
    }

    std::string locationOf(int scannerLine) {
        Mapped m = map(scannerLine);
        return location(m.line, m.fileIndex);
    }

    MvSourceMap& sourceMap() { return MvSession::of(session_)->sourceMap(); }

    MvParser* session_ = nullptr;
};

TEST_F(SourceMapTest, WithoutIncludesEveryLineIsTheMainScriptsOwn) {
    EXPECT_EQ(map(0), (Mapped{0, 1}));
    EXPECT_EQ(map(1), (Mapped{1, 1}));
    EXPECT_EQ(map(2), (Mapped{2, 1}));
    EXPECT_EQ(map(31999), (Mapped{31999, 1}));
}

TEST_F(SourceMapTest, LocationFormats) {
    EXPECT_EQ(location(5, 0), "");
    EXPECT_EQ(location(5, 1), " at line 5");
    EXPECT_EQ(location(12, 1), " at line 12");
    // Indexes outside the table write nothing.
    EXPECT_EQ(location(5, 2), "");
    EXPECT_EQ(location(5, -1), "");

    sourceMap().enterIncludedFile("b", 7);
    EXPECT_EQ(location(3, 2), " at file 'b', line 3\nincluded from line 7");

    // The stream is handed back for further writing.
    std::ostringstream out;
    session_->outputError(out, 5, 1) << ": more";
    EXPECT_EQ(out.str(), " at line 5: more");
}

// Main script line 7 includes b, whose three lines follow the marker:
//   7 /##+b   8-10 b's lines 1-3   11 /##-   12 main line 8
TEST_F(SourceMapTest, OneIncludeMapsLinesInsideAndAfterIt) {
    sourceMap().enterIncludedFile("b", 7);
    sourceMap().leaveIncludedFile(11);

    for (int line = 1; line <= 7; ++line)
        EXPECT_EQ(map(line), (Mapped{line, 1})) << line;
    EXPECT_EQ(map(8), (Mapped{1, 2}));
    EXPECT_EQ(map(10), (Mapped{3, 2}));
    EXPECT_EQ(map(12), (Mapped{8, 1}));
    EXPECT_EQ(map(13), (Mapped{9, 1}));

    EXPECT_EQ(locationOf(10), " at file 'b', line 3\nincluded from line 7");
    EXPECT_EQ(locationOf(12), " at line 8");
}

// A second scanner over the same text reports the same markers again.
TEST_F(SourceMapTest, MarkersReadAgainAreRecordedOnce) {
    sourceMap().enterIncludedFile("b", 7);
    sourceMap().leaveIncludedFile(11);
    sourceMap().enterIncludedFile("b", 7);
    sourceMap().leaveIncludedFile(11);

    EXPECT_EQ(map(10), (Mapped{3, 2}));
    EXPECT_EQ(map(12), (Mapped{8, 1}));
    EXPECT_EQ(location(1, 3), "");   // no third file was made
}

// main: 1 m1, 2 m2, 3 include b, 4 m4, 5 include d, 6 m6
// b:    1 b1, 2 b2, 3 b3, 4 include c, 5 b5
// c:    1 c1, 2 c2
// d:    1 d1
// The expanded text, by scanner line:
//   1 m1  2 m2  3 /##+b  4 b1  5 b2  6 b3  7 /##+c  8 c1  9 c2  10 /##-
//   11 b5  12 /##-  13 m4  14 /##+d  15 d1  16 /##-  17 m6
TEST_F(SourceMapTest, NestedIncludesMapEveryLineToItsFile) {
    sourceMap().enterIncludedFile("b", 3);
    sourceMap().enterIncludedFile("c", 7);
    sourceMap().leaveIncludedFile(10);
    sourceMap().leaveIncludedFile(12);
    sourceMap().enterIncludedFile("d", 14);
    sourceMap().leaveIncludedFile(16);

    const int main = 1, b = 2, c = 3, d = 4;
    EXPECT_EQ(map(1), (Mapped{1, main}));
    EXPECT_EQ(map(2), (Mapped{2, main}));
    EXPECT_EQ(map(4), (Mapped{1, b}));
    EXPECT_EQ(map(5), (Mapped{2, b}));
    EXPECT_EQ(map(6), (Mapped{3, b}));
    EXPECT_EQ(map(8), (Mapped{1, c}));
    EXPECT_EQ(map(9), (Mapped{2, c}));
    EXPECT_EQ(map(11), (Mapped{5, b}));
    EXPECT_EQ(map(13), (Mapped{4, main}));
    EXPECT_EQ(map(15), (Mapped{1, d}));
    EXPECT_EQ(map(17), (Mapped{6, main}));
    EXPECT_EQ(map(40), (Mapped{29, main}));

    EXPECT_EQ(locationOf(2), " at line 2");
    EXPECT_EQ(locationOf(9),
              " at file 'c', line 2\nincluded from file 'b', line 4\nincluded from line 3");
    EXPECT_EQ(locationOf(11), " at file 'b', line 5\nincluded from line 3");
    EXPECT_EQ(locationOf(13), " at line 4");
    EXPECT_EQ(locationOf(15), " at file 'd', line 1\nincluded from line 5");
    EXPECT_EQ(locationOf(17), " at line 6");
}

// More end markers than include markers: the lines after the extra one
// belong to the internal error row, whose locations write nothing.
TEST_F(SourceMapTest, UnbalancedEndMarkerLeavesLocationsEmpty) {
    sourceMap().leaveIncludedFile(3);
    EXPECT_EQ(map(2), (Mapped{2, 1}));
    EXPECT_EQ(map(4), (Mapped{1, 0}));
    EXPECT_EQ(locationOf(5), "");

    // A file included in that state has no enclosing file to name.
    sourceMap().enterIncludedFile("x", 6);
    EXPECT_EQ(map(8), (Mapped{2, 2}));
    EXPECT_EQ(locationOf(8), " at file 'x', line 2");
    sourceMap().leaveIncludedFile(9);
    EXPECT_EQ(locationOf(11), "");

    // One more end marker returns to the main script (the error row's
    // parent): its next line follows the four it has passed.
    sourceMap().leaveIncludedFile(12);
    EXPECT_EQ(map(13), (Mapped{4, 1}));
    EXPECT_EQ(locationOf(14), " at line 5");
}

TEST_F(SourceMapTest, ErrorRecordsWrittenWithTheirLocation) {
    sourceMap().enterIncludedFile("b", 7);

    auto written = [](ParseError& error) {
        Mv_stringstream out;
        MvParseErrorWriteToStream(&error, &out);
        return out.str();
    };

    ParseError inIncluded;
    inIncluded.owner = session_;
    inIncluded.line = 3;
    inIncluded.fileIndex = 2;
    inIncluded.text = "foo";
    inIncluded.message = "Syntax Error: unexpected word";
    EXPECT_EQ(written(inIncluded),
              " at file 'b', line 3\nincluded from line 7: (foo)\n"
              "Syntax Error: unexpected word\n\n");

    ParseError inMain = inIncluded;
    inMain.line = 5;
    inMain.fileIndex = 1;
    inMain.text = "Math.Nothing";
    inMain.message = "Function is not defined.";
    EXPECT_EQ(written(inMain), " at line 5: (Math.Nothing)\nFunction is not defined.\n\n");

    ParseError inErrorRow = inMain;
    inErrorRow.fileIndex = 0;
    EXPECT_EQ(written(inErrorRow), ": (Math.Nothing)\nFunction is not defined.\n\n");

    const std::string noPosition = "Script Error -------------------------\nMath.Nothing\n" +
                                   std::string(38, '-') + "\nFunction is not defined.\n\n";
    ParseError withoutLine = inMain;
    withoutLine.line = 0;
    EXPECT_EQ(written(withoutLine), noPosition);
    withoutLine.line = -4;
    EXPECT_EQ(written(withoutLine), noPosition);
}

} // namespace
