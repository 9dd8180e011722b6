// Include directives: the expanded text of a session, and the locations the
// scanner reports for lines of included files.
#include "morvane/MvFile.h"
#include "morvane/MvParser.h"

// The session's internals (its text, line map and own functions) for the
// white-box checks below.
#include "../../engine/frontend/MvSession.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A fresh folder for the script and its included files. The current
// directory is restored and the folder removed after each test.
class IncludeTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousDirectory_ = fs::current_path();
        scriptFolder_ = makeFolder();
    }

    void TearDown() override {
        fs::current_path(previousDirectory_);
        std::error_code ignored;
        for (const fs::path& folder : madeFolders_)
            fs::remove_all(folder, ignored);
    }

    fs::path makeFolder() {
        std::string pattern = (fs::temp_directory_path() / "mv_include_XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            ADD_FAILURE() << "could not make a temporary folder";
        madeFolders_.push_back(pattern);
        return pattern;
    }

    // Writes the bytes of contents exactly (no line-end translation).
    static void writeFile(const fs::path& path, const std::string& contents) {
        std::ofstream out(path, std::ios::binary);
        out << contents;
    }

    void writeScriptFile(const std::string& name, const std::string& contents) {
        writeFile(scriptFolder_ / name, contents);
    }

    // The text a session made in the script folder scans: the script with
    // its directives expanded.
    std::string expanded(const std::string& script) {
        MvFile folder(scriptFolder_.string());
        MvParser* session =
            MvParserCreate(script.c_str(), static_cast<long>(script.size()), &folder);
        std::string text = MvSession::of(session)->getText();
        MvParserDelete(session);
        return text;
    }

    // The console after a colouring pass over the script, which makes the
    // scanner read every line, markers included.
    std::string consoleAfterLexicalPass(const std::string& script) {
        MvFile folder(scriptFolder_.string());
        MvParser* session =
            MvParserCreate(script.c_str(), static_cast<long>(script.size()), &folder);
        MvParserLexicalPassOnly(session);
        Mv_stringstream* console = MvParserGetConsoleStream(session);
        std::string text = console->str();
        MvParserReleaseConsoleStream(session);
        MvParserDelete(session);
        return text;
    }

    // The syntax tree of the script after a syntax check.
    std::string checkedTree(const std::string& script) {
        MvFile folder(scriptFolder_.string());
        MvParser* session =
            MvParserCreate(script.c_str(), static_cast<long>(script.size()), &folder);
        MvParserCheckSyntax(session);
        std::string tree = session->getTreeText();
        MvParserDelete(session);
        return tree;
    }

    // Whether the scanner produces tokens yet; the console checks need it.
    static bool scannerProducesTokens() {
        MvParser* session = MvParserCreate("print 1", 0, nullptr);
        bool produces = session->scanTokens().size() > 1;
        MvParserDelete(session);
        return produces;
    }

    fs::path previousDirectory_;
    fs::path scriptFolder_;
    std::vector<fs::path> madeFolders_;
};

TEST_F(IncludeTest, ScriptWithoutDirectivesGetsOneLineEndAdded) {
    EXPECT_EQ(expanded(""), "\n");
    EXPECT_EQ(expanded("set x to 1\nprint x"), "set x to 1\nprint x\n");
    EXPECT_EQ(expanded("set x to 1\n\n"), "set x to 1\n\n\n");
    // Lines that mention the directive but do not begin with "#" are text.
    EXPECT_EQ(expanded("print 1 #include 'b'\n//#include 'b'\n\"#include 'b'\""),
              "print 1 #include 'b'\n//#include 'b'\n\"#include 'b'\"\n");
}

TEST_F(IncludeTest, IncludedFileSitsBetweenMarkerLines) {
    writeScriptFile("b.mv", "print 2\nprint 3");
    EXPECT_EQ(expanded("print 1\n#include 'b.mv'\nprint 4"),
              "print 1\n/##+b.mv\nprint 2\nprint 3\n/##-\nprint 4\n");
}

TEST_F(IncludeTest, FileEndingWithLineEndKeepsItsLastEmptyLine) {
    writeScriptFile("b", "print 2\n");
    EXPECT_EQ(expanded("#include 'b'"), "/##+b\nprint 2\n\n/##-\n");
    writeScriptFile("empty", "");
    EXPECT_EQ(expanded("#include 'empty'"), "/##+empty\n\n/##-\n");
}

TEST_F(IncludeTest, FileIncludedOnceOnly) {
    writeScriptFile("b", "print 2");
    EXPECT_EQ(expanded("#include 'b'\nprint 1\n#include 'b'\nprint 3"),
              "/##+b\nprint 2\n/##-\nprint 1\n//#include 'b'\nprint 3\n");
}

TEST_F(IncludeTest, FileIncludingItselfDirectlyOrThroughAnother) {
    writeScriptFile("self", "print 1\n#include 'self'");
    EXPECT_EQ(expanded("#include 'self'"), "/##+self\nprint 1\n//#include 'self'\n/##-\n");

    writeScriptFile("a", "#include 'b'");
    writeScriptFile("b", "#include 'a'");
    EXPECT_EQ(expanded("#include 'a'"), "/##+a\n/##+b\n//#include 'a'\n/##-\n/##-\n");
}

TEST_F(IncludeTest, MissingFileGivesErrorMarkerOnItsLine) {
    EXPECT_EQ(expanded("print 1\n#include 'nowhere'\nprint 2"),
              "print 1\n/##!Include Error: file 'nowhere'\nprint 2\n");
    // The name was taken into the set: a second directive is a comment.
    EXPECT_EQ(expanded("#include 'nowhere'\n#include 'nowhere'"),
              "/##!Include Error: file 'nowhere'\n//#include 'nowhere'\n");
    // Two quotes right after the blanks open and close an empty name.
    EXPECT_EQ(expanded("#include ''"), "/##!Include Error: file ''\n");
    // A folder cannot be read as a file.
    fs::create_directory(scriptFolder_ / "folder");
    EXPECT_EQ(expanded("#include 'folder'"), "/##!Include Error: file 'folder'\n");
}

TEST_F(IncludeTest, DirectiveSpellings) {
    writeScriptFile("b", "print 2");
    const std::string contents = "/##+b\nprint 2\n/##-";
    // Leading blanks stay in front of the replacement.
    EXPECT_EQ(expanded("  \t#include 'b'"), "  \t" + contents + "\n");
    EXPECT_EQ(expanded("#include'b'"), contents + "\n");
    EXPECT_EQ(expanded("#include \t 'b'"), contents + "\n");
    EXPECT_EQ(expanded("#include 'b' \t "), contents + "\n");
}

TEST_F(IncludeTest, DoubledQuoteInNameStandsForOne) {
    writeScriptFile("it's", "print 2");
    EXPECT_EQ(expanded("#include 'it''s'"), "/##+it's\nprint 2\n/##-\n");
    EXPECT_EQ(expanded("#include 'gone''s'"), "/##!Include Error: file 'gone's'\n");
}

TEST_F(IncludeTest, MalformedDirectiveGivesOneErrorLine) {
    writeScriptFile("b", "print 2");
    for (const char* line :
         {"# include 'b'", "#define b", "#include b", "#include 'b", "#include 'b' print 3",
          "#", "#INCLUDE 'b'", "#includes 'b'"}) {
        // The error marker replaces the line, and the next line follows on
        // the next line: line numbers stay in step with the source.
        EXPECT_EQ(expanded(std::string(line) + "\nprint 1"),
                  "/##!Preprocessor Error\nprint 1\n")
            << line;
    }
    // Blanks in front are kept, as for a well-formed directive.
    EXPECT_EQ(expanded(" # include 'b'"), " /##!Preprocessor Error\n");
    // A malformed directive does not take the name: b can still be included.
    EXPECT_EQ(expanded("#include 'b\n#include 'b'"),
              "/##!Preprocessor Error\n/##+b\nprint 2\n/##-\n");
}

TEST_F(IncludeTest, LineEndsAreCopiedAsWritten) {
    writeScriptFile("crlf", "print 2\r\nprint 3");
    EXPECT_EQ(expanded("print 1\r\n#include 'crlf'\r\nprint 4\r\n"),
              "print 1\r\n/##+crlf\nprint 2\r\nprint 3\n/##-\r\nprint 4\r\n\n");

    writeScriptFile("cr", "print 2\rprint 3\r");
    EXPECT_EQ(expanded("print 1\r#include 'cr'\rprint 4"),
              "print 1\r/##+cr\nprint 2\rprint 3\r\n/##-\rprint 4\n");

    // A malformed directive keeps its own line end.
    EXPECT_EQ(expanded("#oops\r\nprint 1\r#oops\rprint 2"),
              "/##!Preprocessor Error\r\nprint 1\r/##!Preprocessor Error\rprint 2\n");
    // LF then CR are two line ends: the directive after them is recognised.
    EXPECT_EQ(expanded("print 1\n\r#include 'cr'"),
              "print 1\n\r/##+cr\nprint 2\rprint 3\r\n/##-\n");
}

TEST_F(IncludeTest, NulBytesOfIncludedFileBecomeBlanks) {
    writeScriptFile("nul", std::string("print\0002", 7));
    EXPECT_EQ(expanded("#include 'nul'"), "/##+nul\nprint 2\n/##-\n");
}

TEST_F(IncludeTest, NestedIncludesResolveAgainstScriptFolder) {
    fs::create_directory(scriptFolder_ / "sub");
    writeScriptFile("sub/b", "print 2\n#include 'c'\nprint 4");
    writeScriptFile("c", "print 3");
    writeScriptFile("sub/c", "print 99");
    EXPECT_EQ(expanded("print 1\n#include 'sub/b'\nprint 5"),
              "print 1\n/##+sub/b\nprint 2\n/##+c\nprint 3\n/##-\nprint 4\n/##-\nprint 5\n");
}

TEST_F(IncludeTest, SessionReadsFromScriptFolderAndRestoresCurrentDirectory) {
    writeScriptFile("b", "print 2");
    fs::path elsewhere = makeFolder();
    writeFile(elsewhere / "b", "print 99");
    fs::current_path(elsewhere);
    EXPECT_EQ(expanded("#include 'b'"), "/##+b\nprint 2\n/##-\n");
    EXPECT_TRUE(fs::equivalent(fs::current_path(), elsewhere));
}

TEST_F(IncludeTest, DeepChainOfDistinctFilesIsCutOff) {
    // f0 includes f1, f1 includes f2, ... far deeper than any real script.
    const int files = 150;
    for (int i = 0; i < files; ++i)
        writeScriptFile("f" + std::to_string(i), "#include 'f" + std::to_string(i + 1) + "'");
    std::string text = expanded("#include 'f0'");
    EXPECT_NE(text.find("/##!Include Error: file 'f"), std::string::npos);
    EXPECT_EQ(text.find("/##+f149"), std::string::npos);
    // Every file entered is left again.
    std::size_t entered = 0, left = 0;
    for (std::size_t at = text.find("/##+"); at != std::string::npos; at = text.find("/##+", at + 1))
        ++entered;
    for (std::size_t at = text.find("/##-"); at != std::string::npos; at = text.find("/##-", at + 1))
        ++left;
    EXPECT_GT(entered, 0u);
    EXPECT_EQ(entered, left);
}

// The included file's contents are gone once the text is expanded; the
// tree's texts come from the expanded text.
TEST_F(IncludeTest, IncludedTextsReachTheTree) {
    writeScriptFile("b", "set s to \"x\\ty\";\nset n to 'it''s' + s;");
    EXPECT_EQ(checkedTree("#include 'b'\nprint s + n;"),
              "#(nocircref #(set #(local s) x\ty)) "
              "#(nocircref #(set #(local n) #(+ it's #(local s)))) "
              "#(print #(+ #(local s) #(local n)))");
}

// Console lines written while the scanner reads the expanded text.
TEST_F(IncludeTest, ConsoleLocatesErrorsInTheirFiles) {
    if (!scannerProducesTokens())
        GTEST_SKIP() << "the scanner does not produce tokens yet";
    writeScriptFile("b", "print 1\nprint 2\nprint $ 3\n#include 'missing'");
    std::string script =
        "print 1\nprint 2\nprint 3\nprint 4\nprint 5\nprint 6\n#include 'b'\nprint $ 8";
    EXPECT_EQ(consoleAfterLexicalPass(script),
              "Lexical Error: invalid token, at file 'b', line 3\nincluded from line 7\n"
              "Include Error: file 'missing', at file 'b', line 4\nincluded from line 7\n"
              "Lexical Error: invalid token, at line 8\n");
}

TEST_F(IncludeTest, ConsoleLinesStayInStepAfterDirectiveErrors) {
    if (!scannerProducesTokens())
        GTEST_SKIP() << "the scanner does not produce tokens yet";
    writeScriptFile("b", "print 2");
    std::string script =
        "print 1\n# include 'b'\n#include 'gone'\n#include 'b'\n#include 'b'\nprint $ 6";
    EXPECT_EQ(consoleAfterLexicalPass(script),
              "Preprocessor Error, at line 2\n"
              "Include Error: file 'gone', at line 3\n"
              "Lexical Error: invalid token, at line 6\n");
}

// The session reads its text with more than one scanner (the colouring pass,
// the parse, the token listing); the map stays that of one reading.
TEST_F(IncludeTest, ReadingTheTextAgainKeepsTheLineMap) {
    if (!scannerProducesTokens())
        GTEST_SKIP() << "the scanner does not produce tokens yet";
    writeScriptFile("b", "print 2\nprint 3");
    std::string script = "print 1\n#include 'b'\nprint 4";
    MvFile folder(scriptFolder_.string());
    MvParser* session =
        MvParserCreate(script.c_str(), static_cast<long>(script.size()), &folder);
    MvParserLexicalPassOnly(session);
    std::vector<MvTokenInfo> tokens = session->scanTokens();

    // Scanner lines: 1 print 1, 2 /##+b, 3 print 2, 4 print 3, 5 /##-, 6 print 4.
    std::vector<std::string> where;
    for (const MvTokenInfo& token : tokens) {
        if (token.text.empty() || token.text == "print")
            continue;
        int line = 0, fileIndex = 0;
        MvSession::of(session)->mapLine(token.line, line, fileIndex);
        std::ostringstream location;
        session->outputError(location, line, fileIndex);
        where.push_back(token.text + location.str());
    }
    MvParserDelete(session);
    EXPECT_EQ(where, (std::vector<std::string>{
                         "1 at line 1", "2 at file 'b', line 1\nincluded from line 2",
                         "3 at file 'b', line 2\nincluded from line 2", "4 at line 3"}));
}

} // namespace
