// The scanner seen through a session: tokens with their numbers, lines and
// texts, colouring blocks with absolute columns, lexical errors on the
// console, include markers, and invariants over generated scripts.
#include "morvane/MvParser.h"
#include "morvane/MvTokens.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Token = std::tuple<int, int, std::string>;   // type, line, text
using Block = std::tuple<int, int, int>;           // begin, end, kind
using Tokens = std::vector<Token>;
using Blocks = std::vector<Block>;
using Types = std::vector<int>;

enum Kind {
    kScriptBlock = 0,
    kString = 1,
    kComment = 2,
    kBlank = 3,
    kOperator = 4,
    kLiteral = 5,
    kKeyword = 6,
    kFunction = 7,
    kIdentifier = 8,
    kPunctuation = 9
};

struct Scan {
    Tokens tokens;   // the end-of-input token included
    Blocks blocks;
    std::string console;
    bool parseErrorFlag = false;
    int parseErrorCount = 0;
};

// Making a session already scans its first token; what that left behind is
// dropped so that one fresh scan of the whole text is observed.
void forgetStartupOutput(MvParser& session) {
    session.getSyntaxBlockList().clear();
    session.releaseSyntaxBlockList();
    session.getConsole().str("");
    session.releaseConsole();
}

std::vector<Block> blocksOf(MvParser& session) {
    std::vector<Block> blocks;
    for (const MvSyntaxBlock& b : session.getSyntaxBlockList())
        blocks.emplace_back(b.begin, b.end, b.kind);
    session.releaseSyntaxBlockList();
    return blocks;
}

std::string consoleOf(MvParser& session) {
    std::string text = session.getConsole().str();
    session.releaseConsole();
    return text;
}

// length 0: the text ends at its first NUL byte.
Scan scan(const std::string& text, long length = -1) {
    MvParser session(text.c_str(), length < 0 ? static_cast<long>(text.size()) : length,
                     nullptr, false);
    forgetStartupOutput(session);
    Scan result;
    for (const MvTokenInfo& t : session.scanTokens())
        result.tokens.emplace_back(t.type, t.line, t.text);
    result.blocks = blocksOf(session);
    result.console = consoleOf(session);
    result.parseErrorFlag = session.getParseErrorFlag();
    result.parseErrorCount = session.getParseErrorCount();
    session.releaseParseErrors();
    return result;
}

// The token types of a text, without the end-of-input token.
Types typesOf(const std::string& text) {
    Types types;
    for (const Token& t : scan(text).tokens)
        types.push_back(std::get<0>(t));
    EXPECT_EQ(types.back(), MV_TOK_EOF) << text;
    types.pop_back();
    return types;
}

Token eof(int line) { return Token(MV_TOK_EOF, line, ""); }

const std::string kLexicalError1 = "Lexical Error: invalid token, at line 1\n";

// ---------------------------------------------------------------------------
// Word keywords: every spelling, its token number and its colour, written
// out from the language's token list.

struct Spelling {
    const char* text;
    int token;
    int kind;
};

const Spelling kWordKeywords[] = {
    {"and", 48, kOperator}, {"or", 49, kOperator},
    {"true", 50, kLiteral}, {"false", 51, kLiteral},
    {"subtract", 56, kKeyword}, {"add", 57, kKeyword}, {"multiply", 58, kKeyword},
    {"divide", 59, kKeyword}, {"by", 60, kKeyword}, {"append", 61, kKeyword},
    {"prepend", 62, kKeyword}, {"insert", 63, kKeyword}, {"at", 64, kKeyword},
    {"into", 65, kKeyword}, {"file", 66, kKeyword}, {"URL", 67, kKeyword},
    {"window", 68, kKeyword}, {"ClipBoard", 69, kKeyword},
    {"max", 70, kFunction}, {"min", 71, kFunction}, {"sin", 72, kFunction},
    {"cos", 73, kFunction}, {"tan", 74, kFunction}, {"asin", 75, kFunction},
    {"acos", 76, kFunction}, {"atan", 77, kFunction}, {"sqrt", 78, kFunction},
    {"log", 79, kFunction}, {"exp", 80, kFunction}, {"ln", 81, kFunction},
    {"round", 82, kFunction}, {"floor", 83, kFunction}, {"ceil", 84, kFunction},
    {"abs", 85, kFunction}, {"pow", 86, kFunction},
    {"second", 90, kFunction}, {"seconds", 90, kFunction},
    {"minute", 91, kFunction}, {"minutes", 91, kFunction},
    {"hour", 92, kFunction}, {"hours", 92, kFunction},
    {"day", 93, kFunction}, {"days", 93, kFunction},
    {"week", 94, kFunction}, {"weeks", 94, kFunction},
    {"year", 95, kFunction}, {"years", 95, kFunction},
    {"frame_mono", 98, kKeyword}, {"frame", 99, kKeyword}, {"image_mono", 100, kKeyword},
    {"image", 101, kKeyword}, {"list", 102, kKeyword}, {"text", 103, kKeyword},
    {"date", 104, kKeyword}, {"number", 105, kKeyword}, {"boolean", 106, kKeyword},
    {"vector", 107, kKeyword}, {"color", 108, kKeyword}, {"movie", 109, kKeyword},
    {"videosource", 110, kKeyword}, {"video_source", 110, kKeyword},
    {"video_output", 111, kKeyword}, {"video_track", 112, kKeyword},
    {"any", 113, kKeyword}, {"none", 114, kKeyword},
    {"as", 116, kKeyword}, {"if", 117, kKeyword}, {"then", 118, kKeyword},
    {"else", 119, kKeyword}, {"wait", 120, kKeyword}, {"beep", 121, kKeyword},
    {"print", 122, kKeyword}, {"repeat", 123, kKeyword}, {"until", 124, kKeyword},
    {"from", 125, kKeyword}, {"for", 126, kKeyword}, {"time", 127, kKeyword},
    {"times", 127, kKeyword}, {"every", 128, kKeyword}, {"forever", 129, kKeyword},
    {"while", 130, kKeyword}, {"increment", 131, kKeyword}, {"break", 132, kKeyword},
    {"end", 133, kKeyword}, {"begin", 134, kKeyword}, {"catch", 135, kKeyword},
    {"define", 136, kKeyword}, {"return", 137, kKeyword}, {"returns", 137, kKeyword},
    {"local", 138, kKeyword}, {"global", 139, kKeyword},
    {"reference", 147, kKeyword}, {"delete", 150, kKeyword}, {"set", 151, kKeyword},
    {"to", 152, kKeyword}, {"of", 153, kKeyword}, {"with", 154, kKeyword},
    {"JAN", 165, kLiteral}, {"FEB", 166, kLiteral}, {"MAR", 167, kLiteral},
    {"APR", 168, kLiteral}, {"MAY", 169, kLiteral}, {"JUN", 170, kLiteral},
    {"JUL", 171, kLiteral}, {"AUG", 172, kLiteral}, {"SEP", 173, kLiteral},
    {"OCT", 174, kLiteral}, {"NOV", 175, kLiteral}, {"DEC", 176, kLiteral},
};

const Spelling kSymbols[] = {
    {"->", 40, kOperator}, {"=", 41, kOperator}, {">", 42, kOperator},
    {"<", 43, kOperator}, {">=", 44, kOperator}, {"<=", 45, kOperator},
    {"!=", 46, kOperator}, {"!", 47, kOperator}, {"+", 52, kOperator},
    {"-", 53, kOperator}, {"*", 54, kOperator}, {"/", 55, kOperator},
    {"&", 148, kKeyword}, {"%", 96, kFunction},
    {"{", 155, kPunctuation}, {"}", 156, kPunctuation}, {"[", 157, kPunctuation},
    {"]", 158, kPunctuation}, {"(", 159, kPunctuation}, {")", 160, kPunctuation},
    {",", 161, kPunctuation}, {";", 162, kPunctuation}, {":", 163, kPunctuation},
    {"|", 164, kPunctuation}, {".", 183, kPunctuation},
};

void expectSingleToken(const Spelling& s) {
    const std::string text = s.text;
    const int length = static_cast<int>(text.size());
    Scan r = scan(text);
    EXPECT_EQ(r.tokens, (Tokens{{s.token, 1, text}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, length, s.kind}}));
    EXPECT_EQ(r.console, "");
}

TEST(LexerKeywords, EverySpellingHasItsTokenAndColour) {
    for (const Spelling& s : kWordKeywords) {
        SCOPED_TRACE(s.text);
        expectSingleToken(s);
    }
}

TEST(LexerKeywords, EveryOperatorAndPunctuationHasItsTokenAndColour) {
    for (const Spelling& s : kSymbols) {
        SCOPED_TRACE(s.text);
        expectSingleToken(s);
    }
}

TEST(LexerKeywords, AWordThatOnlyBeginsWithAKeywordIsAnIdentifier) {
    for (const Spelling& s : kWordKeywords) {
        SCOPED_TRACE(s.text);
        EXPECT_EQ(typesOf(std::string(s.text) + "_"), (Types{MV_TOK_IDENT}));
        EXPECT_EQ(typesOf(std::string(s.text) + "7"), (Types{MV_TOK_IDENT}));
    }
    for (const char* word : {"sets", "timex", "ands", "order", "applescripts", "morvane", "frame_"})
        EXPECT_EQ(typesOf(word), (Types{MV_TOK_IDENT})) << word;
}

TEST(LexerKeywords, KeywordsAreCaseSensitive) {
    for (const char* word : {"Set", "SET", "Clipboard", "clipboard", "CLIPBOARD", "url", "Url",
                             "jan", "Jan", "True", "AND", "Print", "VideoSource"})
        EXPECT_EQ(typesOf(word), (Types{MV_TOK_IDENT})) << word;
}

// Property names are coloured as keywords, other names as identifiers.
TEST(LexerIdentifiers, ColourDependsOnWhetherTheNameIsAProperty) {
    const std::pair<const char*, int> names[] = {
        {"width", kKeyword},   {"type", kKeyword},  {"SafeAppendMode", kKeyword},
        {"day_of_week", kKeyword}, {"month", kKeyword}, {"x", kIdentifier},
        {"Width", kIdentifier}, {"my_var2", kIdentifier}, {"q1_", kIdentifier}};
    for (const auto& [name, kind] : names) {
        Scan r = scan(name);
        const int length = static_cast<int>(std::string(name).size());
        EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, name}, eof(1)})) << name;
        EXPECT_EQ(r.blocks, (Blocks{{1, length, kind}})) << name;
    }
}

// ---------------------------------------------------------------------------
// Operators and numbers

TEST(LexerOperators, LongestMatchSplitsRunsOfSymbols) {
    EXPECT_EQ(typesOf("a->b"), (Types{MV_TOK_IDENT, MV_TOK_PARAM_ASSIGN, MV_TOK_IDENT}));
    EXPECT_EQ(typesOf("=="), (Types{MV_TOK_EQUAL, MV_TOK_EQUAL}));
    EXPECT_EQ(typesOf("<>"), (Types{MV_TOK_LT, MV_TOK_GT}));
    EXPECT_EQ(typesOf(">=="), (Types{MV_TOK_GE, MV_TOK_EQUAL}));
    EXPECT_EQ(typesOf("!!="), (Types{MV_TOK_NOT, MV_TOK_NE}));
    EXPECT_EQ(typesOf("-->"), (Types{MV_TOK_MINUS, MV_TOK_PARAM_ASSIGN}));
    EXPECT_EQ(typesOf("x-1"), (Types{MV_TOK_IDENT, MV_TOK_MINUS, MV_TOK_INT1}));
    EXPECT_EQ(typesOf("a/b"), (Types{MV_TOK_IDENT, MV_TOK_DIV, MV_TOK_IDENT}));
}

TEST(LexerNumbers, EachFormHasItsToken) {
    const std::pair<const char*, int> forms[] = {
        {"7", MV_TOK_INT1},         {"12", MV_TOK_INT2},        {"123", MV_TOK_INT_TOK},
        {"1234", MV_TOK_INT4},      {"12345", MV_TOK_INT_TOK},  {"1234567890", MV_TOK_INT_TOK},
        {"007", MV_TOK_INT_TOK},    {"1.5", MV_TOK_FLOAT},      {"10.25", MV_TOK_FLOAT},
        {"1e5", MV_TOK_EXP_NUM},    {"2E7", MV_TOK_EXP_NUM},    {"1e+5", MV_TOK_EXP_NUM},
        {"1e-5", MV_TOK_EXP_NUM},   {"1e+-5", MV_TOK_EXP_NUM},  {"1.5e3.25", MV_TOK_EXP_NUM},
        {"0.5E-12", MV_TOK_EXP_NUM}};
    for (const auto& [text, type] : forms) {
        Scan r = scan(text);
        const int length = static_cast<int>(std::string(text).size());
        EXPECT_EQ(r.tokens, (Tokens{{type, 1, text}, eof(1)})) << text;
        EXPECT_EQ(r.blocks, (Blocks{{1, length, kLiteral}})) << text;
        EXPECT_EQ(r.console, "") << text;
    }
}

TEST(LexerNumbers, SignsAndDotsAreSeparateTokens) {
    EXPECT_EQ(typesOf(".5"), (Types{MV_TOK_DOT, MV_TOK_INT1}));
    EXPECT_EQ(typesOf("-5"), (Types{MV_TOK_MINUS, MV_TOK_INT1}));
    EXPECT_EQ(typesOf("1.5.3"), (Types{MV_TOK_FLOAT, MV_TOK_DOT, MV_TOK_INT1}));
    EXPECT_EQ(typesOf("12ab"), (Types{MV_TOK_INT2, MV_TOK_IDENT}));
    EXPECT_EQ(typesOf("12:JAN:2004"),
              (Types{MV_TOK_INT2, MV_TOK_COLON, MV_TOK_JAN, MV_TOK_COLON, MV_TOK_INT4}));
}

// An unfinished number is an error that drops the number so far and the
// character after it; scanning goes on behind them.
TEST(LexerNumbers, UnfinishedNumbersAreErrorsThatDropTheNextCharacter) {
    const std::pair<const char*, Tokens> cases[] = {
        {"1.", {eof(1)}},
        {"1e", {eof(1)}},
        {"1.x", {eof(1)}},
        {"1e;x", {{MV_TOK_IDENT, 1, "x"}, eof(1)}},
        {"1e-+5", {{MV_TOK_INT1, 1, "5"}, eof(1)}},
        {"1e++5", {{MV_TOK_INT1, 1, "5"}, eof(1)}},
        {"2.e5", {{MV_TOK_INT1, 1, "5"}, eof(1)}},
        {"1.5e3.x", {eof(1)}},
        {"1.5else", {{MV_TOK_IDENT, 1, "se"}, eof(1)}},
    };
    for (const auto& [text, tokens] : cases) {
        Scan r = scan(text);
        EXPECT_EQ(r.tokens, tokens) << text;
        EXPECT_EQ(r.console, kLexicalError1) << text;
    }
}

// The line end after a bad lexeme is dropped with it but still counted, so
// the lines after it keep their numbers.
TEST(LexerNumbers, TheDroppedCharacterMayBeALineEnd) {
    Scan r = scan("1.\nx");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 2, "x"}, eof(2)}));
    EXPECT_EQ(r.blocks, (Blocks{{4, 4, kIdentifier}}));
    Scan crlf = scan("1.\r\nx\ry");
    EXPECT_EQ(crlf.tokens, (Tokens{{MV_TOK_IDENT, 2, "x"}, {MV_TOK_IDENT, 3, "y"}, eof(3)}));
    Scan cr = scan("1e\rx");
    EXPECT_EQ(cr.tokens, (Tokens{{MV_TOK_IDENT, 2, "x"}, eof(2)}));
}

// ---------------------------------------------------------------------------
// Strings

std::string stringText(const std::string& script) {
    Scan r = scan(script);
    EXPECT_EQ(r.tokens.size(), 2u) << script;
    if (r.tokens.empty())
        return "<no token>";
    EXPECT_EQ(std::get<0>(r.tokens[0]), MV_TOK_STRINGLIT) << script;
    return std::get<2>(r.tokens[0]);
}

TEST(LexerStrings, DoubleQuotedStringDropsItsQuotesAndIsOneSpan) {
    Scan r = scan("\"abc\" x");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_STRINGLIT, 1, "abc"}, {MV_TOK_IDENT, 1, "x"}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 5, kString}, {6, 6, kBlank}, {7, 7, kIdentifier}}));
    EXPECT_EQ(stringText("\"\""), "");
    EXPECT_EQ(stringText("\"it's\""), "it's");
    EXPECT_EQ(stringText("\"set // x /* y\""), "set // x /* y");
}

TEST(LexerStrings, BackslashEscapes) {
    EXPECT_EQ(stringText("\"\\a\\b\\f\\r\\v\\t\\n\""), "\x07\x08\x0c\x0d\x0b\x09\x0a");
    EXPECT_EQ(stringText("\"\\\\ \\\"\""), "\\ \"");
    EXPECT_EQ(stringText("\"\\065\""), "A");
    EXPECT_EQ(stringText("\"\\q\""), "q");
    EXPECT_EQ(stringText("\"\\'\""), "'");
}

TEST(LexerStrings, DecimalEscapesKeepTheLowEightBits) {
    EXPECT_EQ(stringText("\"\\299\""), "+");       // 299 - 256 = 43
    EXPECT_EQ(stringText("\"a\\256b\""), "ab");    // 256: no character at all
    EXPECT_EQ(stringText("\"a\\000b\""), "ab");
    EXPECT_EQ(stringText("\"\\1234\""), "{4");     // three digits only
    EXPECT_EQ(stringText("\"\\39\""), "39");       // 3 starts no decimal escape
    EXPECT_EQ(stringText("\"\\0x\""), "0x");       // one digit stands for itself
    EXPECT_EQ(stringText("\"\\1a\""), "1a");
}

TEST(LexerStrings, TwoDigitEscapeIsAnErrorThatDropsTheNextCharacter) {
    Scan r = scan("\"a\\06xb\"");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_STRINGLIT, 1, "ab"}, eof(1)}));
    EXPECT_EQ(r.console, kLexicalError1);
    EXPECT_EQ(r.blocks, (Blocks{{1, 8, kString}}));
}

TEST(LexerStrings, BackslashBeforeALineEndContinuesTheString) {
    Scan r = scan("\"a\\\nb\" x");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_STRINGLIT, 2, "a\nb"}, {MV_TOK_IDENT, 2, "x"}, eof(2)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 6, kString}, {7, 7, kBlank}, {8, 8, kIdentifier}}));
}

TEST(LexerStrings, SingleQuotedStringsHaveNoEscapesButDoubledQuotes) {
    EXPECT_EQ(stringText("'it''s'"), "it's");
    EXPECT_EQ(stringText("''"), "");
    EXPECT_EQ(stringText("''''"), "'");
    EXPECT_EQ(stringText("'a\\nb'"), "a\\nb");
    EXPECT_EQ(stringText("'say \"hi\"'"), "say \"hi\"");
    Scan r = scan("'' x");
    EXPECT_EQ(r.blocks, (Blocks{{1, 2, kString}, {3, 3, kBlank}, {4, 4, kIdentifier}}));
}

TEST(LexerStrings, ALineEndEndsAStringAsABadString) {
    Scan r = scan("\"abc\nx");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_BADSTRING, 2, "abc"}, {MV_TOK_IDENT, 2, "x"}, eof(2)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 5, kString}, {6, 6, kIdentifier}}));
    EXPECT_EQ(r.console, "");

    r = scan("'ab\r\nx");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_BADSTRING, 2, "ab"}, {MV_TOK_IDENT, 2, "x"}, eof(2)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 5, kString}, {6, 6, kIdentifier}}));

    r = scan("\"\r");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_BADSTRING, 2, ""}, eof(2)}));
}

TEST(LexerStrings, EndOfInputInsideAStringEndsTheScanWithoutItsSpan) {
    for (const char* text : {"x \"abc", "x 'abc", "x \"ab\\", "x applescript abc"}) {
        Scan r = scan(text);
        EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, eof(1)})) << text;
        EXPECT_EQ(r.blocks, (Blocks{{1, 1, kIdentifier}, {2, 2, kBlank}})) << text;
    }
    // A backslash as the very last character is an unfinished escape.
    EXPECT_EQ(scan("\"ab\\").console, kLexicalError1);
}

// ---------------------------------------------------------------------------
// Comments, blanks, line ends, columns, lines

TEST(LexerComments, LineCommentSpanCoversTheSlashesThroughTheLineEnd) {
    Scan r = scan("// c\nx");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 2, "x"}, eof(2)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 5, kComment}, {6, 6, kIdentifier}}));

    r = scan("//c\r\ny");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 2, "y"}, eof(2)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 5, kComment}, {6, 6, kIdentifier}}));

    r = scan("x // c");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 1, kIdentifier}, {2, 2, kBlank}, {3, 6, kComment}}));
}

TEST(LexerComments, BlockCommentsSpanLinesAndDoNotNest) {
    Scan r = scan("/* a\n b */x");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 2, "x"}, eof(2)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 10, kComment}, {11, 11, kIdentifier}}));

    EXPECT_EQ(scan("/**/").blocks, (Blocks{{1, 4, kComment}}));
    EXPECT_EQ(scan("/*/x*/").blocks, (Blocks{{1, 6, kComment}}));
    EXPECT_EQ(scan("/* **/").blocks, (Blocks{{1, 6, kComment}}));

    r = scan("/* /* */ x");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 8, kComment}, {9, 9, kBlank}, {10, 10, kIdentifier}}));

    r = scan("/* a */ */");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_MULT, 1, "*"}, {MV_TOK_DIV, 1, "/"}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 7, kComment}, {8, 8, kBlank}, {9, 9, kOperator},
                                {10, 10, kOperator}}));
}

TEST(LexerComments, EndOfInputClosesAnOpenComment) {
    Scan r = scan("x /* abc\n");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, eof(2)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 1, kIdentifier}, {2, 2, kBlank}, {3, 9, kComment}}));
    EXPECT_EQ(r.console, "");
}

TEST(LexerLayout, BlanksAndEachKindOfLineEndAreBlocks) {
    Scan r = scan("a \t b\r\nc\rd\ne");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "a"}, {MV_TOK_IDENT, 1, "b"},
                                {MV_TOK_IDENT, 2, "c"}, {MV_TOK_IDENT, 3, "d"},
                                {MV_TOK_IDENT, 4, "e"}, eof(4)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 1, kIdentifier}, {2, 4, kBlank}, {5, 5, kIdentifier},
                                {6, 7, kBlank}, {8, 8, kIdentifier}, {9, 9, kBlank},
                                {10, 10, kIdentifier}, {11, 11, kBlank}, {12, 12, kIdentifier}}));
}

TEST(LexerLayout, ColumnsCountTheWholeTextAcrossLines) {
    Scan r = scan("set x\n  to 5;\n\"s\"");
    EXPECT_EQ(r.blocks, (Blocks{{1, 3, kKeyword}, {4, 4, kBlank}, {5, 5, kIdentifier},
                                {6, 6, kBlank}, {7, 8, kBlank}, {9, 10, kKeyword},
                                {11, 11, kBlank}, {12, 12, kLiteral}, {13, 13, kPunctuation},
                                {14, 14, kBlank}, {15, 17, kString}}));
    EXPECT_EQ(std::get<1>(r.tokens.back()), 3);
}

TEST(LexerLayout, TheTextEndsAtItsFirstNulByte) {
    const std::string text("x\0y", 3);
    Scan r = scan(text, 0);
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, eof(1)}));
}

// ---------------------------------------------------------------------------
// Embedded script blocks

TEST(LexerScriptBlocks, TextRunsUpToTheTerminatingWord) {
    Scan r = scan("applescript tell app \"Finder\"\nmorvane x");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_SCRIPT, 2, " tell app \"Finder\"\n"},
                                {MV_TOK_IDENT, 2, "x"}, eof(2)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 37, kScriptBlock}, {38, 38, kBlank}, {39, 39, kIdentifier}}));
}

TEST(LexerScriptBlocks, OnlyALowerCaseRunSpellingExactlyTheWordEndsTheBlock) {
    Scan r = scan("applescript morvanes Morvane xmorvane applescript morvane");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_SCRIPT, 1, " morvanes Morvane xmorvane applescript "},
                                eof(1)}));
    r = scan("applescript x morvane2");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_SCRIPT, 1, " x "}, {MV_TOK_INT1, 1, "2"}, eof(1)}));
    r = scan("applescript\r\n\nmorvane");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_SCRIPT, 3, "\r\n\n"}, eof(3)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 21, kScriptBlock}}));
}

// ---------------------------------------------------------------------------
// Lexical errors

TEST(LexerErrors, CharactersThatStartNoTokenAreDroppedWithAConsoleLine) {
    const std::string bad[] = {"$", "?", "@", "\\", "^", "`", "~", "#", "_",
                               "\x01", "\x1b", "\x7f", "\x80", "\xc3", "\xff"};
    for (const std::string& text : bad) {
        Scan r = scan(text);
        EXPECT_EQ(r.tokens, (Tokens{eof(1)})) << int(static_cast<unsigned char>(text[0]));
        EXPECT_EQ(r.blocks, Blocks{});
        EXPECT_EQ(r.console, kLexicalError1);
        EXPECT_FALSE(r.parseErrorFlag);
        EXPECT_EQ(r.parseErrorCount, 0);
    }
}

TEST(LexerErrors, OnlyTheBadCharacterIsDroppedWhenItStartsTheLexeme) {
    Scan r = scan("$x _y");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, {MV_TOK_IDENT, 1, "y"}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{2, 2, kIdentifier}, {3, 3, kBlank}, {5, 5, kIdentifier}}));
    EXPECT_EQ(r.console, kLexicalError1 + kLexicalError1);
}

TEST(LexerErrors, HalfAMarkerStartIsAnError) {
    Scan r = scan("/#x y");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "y"}, eof(1)}));
    EXPECT_EQ(r.console, kLexicalError1);
}

TEST(LexerErrors, EachErrorNamesTheLineItIsOn) {
    Scan r = scan("a\n\n\n\n$\nb ? c\n");
    EXPECT_EQ(r.console,
              "Lexical Error: invalid token, at line 5\nLexical Error: invalid token, at line 6\n");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "a"}, {MV_TOK_IDENT, 6, "b"},
                                {MV_TOK_IDENT, 6, "c"}, eof(7)}));
}

TEST(LexerErrors, HighBytesInsideStringsAndCommentsAreText) {
    Scan r = scan("\"caf\xc3\xa9\" // \xff\n");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_STRINGLIT, 1, "caf\xc3\xa9"}, eof(2)}));
    EXPECT_EQ(r.console, "");
}

// ---------------------------------------------------------------------------
// Long lexemes

TEST(LexerLimits, ALexemeLongerThanTheBufferIsCut) {
    const std::string word(40000, 'a');
    Scan r = scan(word + " b");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, std::string(32000, 'a')},
                                {MV_TOK_IDENT, 1, "b"}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 40000, kIdentifier}, {40001, 40001, kBlank},
                                {40002, 40002, kIdentifier}}));

    r = scan("\"" + std::string(40000, 's') + "\"");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_STRINGLIT, 1, std::string(32000, 's')}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 40002, kString}}));

    r = scan(std::string(33000, '9'));
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_INT_TOK, 1, std::string(32000, '9')}, eof(1)}));

    r = scan("applescript " + std::string(32500, 'z') + " morvane");
    EXPECT_EQ(r.tokens,
              (Tokens{{MV_TOK_SCRIPT, 1, " " + std::string(31999, 'z')}, eof(1)}));
}

// ---------------------------------------------------------------------------
// Include markers

TEST(LexerMarkers, AnUnknownMarkerLineIsDroppedWithoutCountingIt) {
    Scan r = scan("/##junk\nx");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 8, kComment}, {9, 9, kIdentifier}}));
    EXPECT_EQ(r.console, "");

    r = scan("/##\r\nx");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, eof(1)}));
    EXPECT_EQ(r.blocks, (Blocks{{1, 5, kComment}, {6, 6, kIdentifier}}));
}

TEST(LexerMarkers, AnErrorMarkerWritesItsMessageAtItsLine) {
    Scan r = scan("x\n/##!Include Error: file 'q'\ny\n$");
    EXPECT_EQ(r.console,
              "Include Error: file 'q', at line 2\nLexical Error: invalid token, at line 4\n");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, {MV_TOK_IDENT, 3, "y"}, eof(4)}));
    EXPECT_FALSE(r.parseErrorFlag);
    EXPECT_EQ(r.parseErrorCount, 0);
}

TEST(LexerMarkers, EndOfInputEndsAMarkerLine) {
    Scan r = scan("x\n/##!oops");
    EXPECT_EQ(r.console, "oops, at line 2\n");
    EXPECT_EQ(r.blocks, (Blocks{{1, 1, kIdentifier}, {2, 2, kBlank}, {3, 10, kComment}}));
}

// The first token comes before the markers: making the session scans it
// once, and the markers are then followed by the fresh scan alone.
TEST(LexerMarkers, IncludedLinesAreLocatedInTheirFile) {
    Scan r = scan("x\n/##+b.mv\ny\n$\n/##-\nz $\n");
    EXPECT_EQ(r.tokens, (Tokens{{MV_TOK_IDENT, 1, "x"}, {MV_TOK_IDENT, 3, "y"},
                                {MV_TOK_IDENT, 6, "z"}, eof(7)}));
    EXPECT_EQ(r.console,
              "Lexical Error: invalid token, at file 'b.mv', line 2\nincluded from line 2\n"
              "Lexical Error: invalid token, at line 3\n");
    EXPECT_EQ(r.blocks, (Blocks{{1, 1, kIdentifier}, {2, 2, kBlank}, {3, 11, kComment},
                                {12, 12, kIdentifier}, {13, 13, kBlank},
                                {15, 15, kBlank}, {16, 20, kComment},
                                {21, 21, kIdentifier}, {22, 22, kBlank}, {24, 24, kBlank}}));
}

TEST(LexerMarkers, NestedIncludesNameEveryEnclosingFile) {
    Scan r = scan("x\n/##+a\n/##+b\n$\n/##-\n/##-\ny $");
    EXPECT_EQ(r.console,
              "Lexical Error: invalid token, at file 'b', line 1\n"
              "included from file 'a', line 1\n"
              "included from line 2\n"
              "Lexical Error: invalid token, at line 3\n");
    EXPECT_EQ(std::get<1>(r.tokens[1]), 7);
}

TEST(LexerMarkers, ControlCharactersAreNotCollectedIntoTheName) {
    Scan r = scan("x\n/##+b\t.mv\n$");
    EXPECT_EQ(r.console,
              "Lexical Error: invalid token, at file 'b.mv', line 1\nincluded from line 2\n");
}

TEST(LexerMarkers, AnUnbalancedEndMarkerLeavesLocationsEmpty) {
    Scan r = scan("x\n/##-\n$");
    EXPECT_EQ(r.console, "Lexical Error: invalid token,\n");
}

// ---------------------------------------------------------------------------
// The colouring pass

TEST(LexerColouringPass, RecordsEveryBlockOfTheTextInOrder) {
    MvParser session("set x to 1; // n\nprint \"a\" $", 0, nullptr, false);
    session.LexicalPassOnly();
    const std::vector<Block> expected = {
        {1, 3, kKeyword},    {4, 4, kBlank},   {5, 5, kIdentifier}, {6, 6, kBlank},
        {7, 8, kKeyword},    {9, 9, kBlank},   {10, 10, kLiteral},  {11, 11, kPunctuation},
        {12, 12, kBlank},    {13, 17, kComment}, {18, 22, kKeyword}, {23, 23, kBlank},
        {24, 26, kString},   {27, 27, kBlank}};
    std::vector<Block> blocks = blocksOf(session);
    ASSERT_GE(blocks.size(), expected.size());
    // After the pass the session starts a new scanner, which scans the first
    // token again; only the pass itself is checked here.
    blocks.resize(expected.size());
    EXPECT_EQ(blocks, expected);
    EXPECT_EQ(consoleOf(session), "Lexical Error: invalid token, at line 2\n");
}

// ---------------------------------------------------------------------------
// Invariants over generated scripts

// A piece of script and the token it scans to (0: none).
struct Piece {
    std::string text;
    int type;
};

class ScriptGenerator {
public:
    explicit ScriptGenerator(unsigned seed) : random_(seed) {}

    // Well-formed pieces separated by blanks and line ends.
    std::vector<Piece> pieces(int count) {
        std::vector<Piece> all;
        for (int i = 0; i < count; ++i) {
            all.push_back(piece());
            all.push_back({pick({" ", "\t", "\n", "\r\n", "\r", "  "}), 0});
        }
        return all;
    }

    // Arbitrary bytes, weighted towards the characters that open modes.
    std::string soup(int length) {
        static const std::string special = "\"'\\/*#+-!\n\r\t $_.e0123456789applescriptmorvane";
        std::string text;
        for (int i = 0; i < length; ++i) {
            if (below(3) == 0)
                text += static_cast<char>(1 + below(255));
            else
                text += special[below(special.size())];
        }
        return text;
    }

private:
    Piece piece() {
        switch (below(9)) {
        case 0: {
            const Spelling& s = kWordKeywords[below(std::size(kWordKeywords))];
            return {s.text, s.token};
        }
        case 1: {
            const Spelling& s = kSymbols[below(std::size(kSymbols))];
            return {s.text, s.token};
        }
        case 2: return {"q" + units({"a", "Z", "0", "_"}, 6), MV_TOK_IDENT};
        case 3: return number();
        case 4:
            return {"\"" + units({"a", " ", "'", "\\n", "\\065", "\\q", "\\\\", "\\\""}, 6) + "\"",
                    MV_TOK_STRINGLIT};
        case 5: return {"'" + units({"a", " ", "''", "\\", "\""}, 6) + "'", MV_TOK_STRINGLIT};
        case 6: return {"/*" + units({"a", " ", "\n", "* ", "/"}, 8) + "*/", 0};
        case 7: return {"//" + units({"ab", " ", "/*", "'", "\""}, 6) + "\n", 0};
        default:
            return {"applescript " + units({"tell", " ", "\r\n", "X", "\""}, 8) + " morvane",
                    MV_TOK_SCRIPT};
        }
    }

    Piece number() {
        const std::string digits = "1" + units({"0", "5", "9"}, 5);
        const std::size_t n = digits.size();
        switch (below(3)) {
        case 0:
            return {digits, n == 1   ? MV_TOK_INT1
                            : n == 2 ? MV_TOK_INT2
                            : n == 4 ? MV_TOK_INT4
                                     : MV_TOK_INT_TOK};
        case 1: return {digits + "." + digits, MV_TOK_FLOAT};
        default: return {digits + "e" + pick({"", "+", "-", "+-"}) + digits, MV_TOK_EXP_NUM};
        }
    }

    // Up to `longest` of the given pieces of text, one after the other.
    std::string units(std::initializer_list<const char*> choices, int longest) {
        std::string text;
        for (int n = below(longest + 1); n > 0; --n)
            text += pick(choices);
        return text;
    }

    std::string pick(std::initializer_list<const char*> choices) {
        return *(choices.begin() + below(choices.size()));
    }

    int below(std::size_t n) { return static_cast<int>(random_() % n); }

    std::mt19937 random_;
};

// Lines as the scanner counts them: CR LF, CR and LF each end one.
int lineAfter(const std::string& text) {
    int line = 1;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++line;
    return line;
}

TEST(LexerInvariants, GeneratedScriptsScanToTheirPiecesAndAreCoveredExactly) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        ScriptGenerator generator(seed);
        std::string text;
        std::vector<Token> expected;
        for (const Piece& p : generator.pieces(40)) {
            text += p.text;
            if (p.type != 0)
                expected.emplace_back(p.type, lineAfter(text), "");
        }
        expected.push_back(eof(lineAfter(text)));

        Scan r = scan(text);
        SCOPED_TRACE(text);
        ASSERT_EQ(r.console, "");
        ASSERT_EQ(r.tokens.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(std::get<0>(r.tokens[i]), std::get<0>(expected[i])) << "token " << i;
            EXPECT_EQ(std::get<1>(r.tokens[i]), std::get<1>(expected[i])) << "token " << i;
        }
        // Every character lies in exactly one block, and the blocks come in
        // text order.
        int covered = 0;
        for (const Block& b : r.blocks) {
            ASSERT_EQ(std::get<0>(b), covered + 1);
            ASSERT_GE(std::get<1>(b), std::get<0>(b));
            covered = std::get<1>(b);
        }
        EXPECT_EQ(covered, static_cast<int>(text.size()));
    }
}

TEST(LexerInvariants, ArbitraryBytesGiveOrderedBlocksInsideTheText) {
    for (unsigned seed = 1; seed <= 500; ++seed) {
        ScriptGenerator generator(seed);
        const std::string text = generator.soup(1 + static_cast<int>(seed % 200));
        Scan r = scan(text, 0);
        const int length = static_cast<int>(text.find('\0') == std::string::npos
                                                 ? text.size()
                                                 : text.find('\0'));
        SCOPED_TRACE(testing::PrintToString(text));
        ASSERT_FALSE(r.tokens.empty());
        EXPECT_EQ(std::get<0>(r.tokens.back()), MV_TOK_EOF);
        int previousEnd = 0;
        for (const Block& b : r.blocks) {
            ASSERT_GT(std::get<0>(b), previousEnd);
            ASSERT_GE(std::get<1>(b), std::get<0>(b));
            ASSERT_LE(std::get<1>(b), length);
            ASSERT_GE(std::get<2>(b), 0);
            ASSERT_LE(std::get<2>(b), 9);
            previousEnd = std::get<1>(b);
        }
    }
}

} // namespace
