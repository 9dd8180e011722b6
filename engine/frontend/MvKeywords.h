// The reserved words of the script language: spelling, token and colour.
//
// Words are case-sensitive and must match a spelling exactly; a word that
// merely begins with a keyword is an identifier. Lookup is a hash probe,
// not a scan of the list.
#ifndef MORVANE_ENGINE_MVKEYWORDS_H
#define MORVANE_ENGINE_MVKEYWORDS_H

#include <cstddef>

// The colouring kinds of syntax blocks.
enum MvSyntaxKind {
    MvKindScriptBlock = 0,   // an embedded script block, opening word to terminator
    MvKindString = 1,        // quote to quote
    MvKindComment = 2,       // comments and include-marker lines
    MvKindBlank = 3,         // blanks and line ends
    MvKindOperator = 4,
    MvKindLiteral = 5,       // numbers, true, false, month names
    MvKindKeyword = 6,       // keywords, type names, "&", property names
    MvKindFunction = 7,      // function and unit words, "%", internal functions
    MvKindIdentifier = 8,
    MvKindPunctuation = 9
};

struct MvKeyword {
    const char* spelling;
    int token;   // MV_TOK_APPLESCRIPT_START for the word that opens a script block
    int kind;    // colouring kind of the word
};

// The keyword spelled by the length bytes at word, or null when the word is
// not reserved.
const MvKeyword* MvFindKeyword(const char* word, std::size_t length);

#endif
