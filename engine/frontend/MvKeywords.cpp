// The keyword table and its hash index.
#include "MvKeywords.h"

#include "morvane/MvTokens.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr MvKeyword kKeywords[] = {
    // The word that opens an embedded script block.
    {"applescript", MV_TOK_APPLESCRIPT_START, MvKindScriptBlock},

    // Word operators and truth values.
    {"and", MV_TOK_AND, MvKindOperator},
    {"or", MV_TOK_OR, MvKindOperator},
    {"true", MV_TOK_TRUE, MvKindLiteral},
    {"false", MV_TOK_FALSE, MvKindLiteral},

    // Statements and clauses.
    {"set", MV_TOK_SET, MvKindKeyword},
    {"to", MV_TOK_TO, MvKindKeyword},
    {"reference", MV_TOK_REFERENCE, MvKindKeyword},
    {"add", MV_TOK_ADD, MvKindKeyword},
    {"subtract", MV_TOK_SUBTRACT, MvKindKeyword},
    {"multiply", MV_TOK_MULTIPLY, MvKindKeyword},
    {"divide", MV_TOK_DIVIDE, MvKindKeyword},
    {"by", MV_TOK_BY, MvKindKeyword},
    {"append", MV_TOK_APPEND, MvKindKeyword},
    {"prepend", MV_TOK_PREPEND, MvKindKeyword},
    {"insert", MV_TOK_INSERT, MvKindKeyword},
    {"into", MV_TOK_INTO, MvKindKeyword},
    {"at", MV_TOK_AT, MvKindKeyword},
    {"delete", MV_TOK_DELETE, MvKindKeyword},
    {"file", MV_TOK_FILE, MvKindKeyword},
    {"URL", MV_TOK_URL, MvKindKeyword},
    {"window", MV_TOK_WINDOW, MvKindKeyword},
    {"ClipBoard", MV_TOK_CLIPBOARD, MvKindKeyword},
    {"if", MV_TOK_IF, MvKindKeyword},
    {"then", MV_TOK_THEN, MvKindKeyword},
    {"else", MV_TOK_ELSE, MvKindKeyword},
    {"wait", MV_TOK_WAIT, MvKindKeyword},
    {"beep", MV_TOK_BEEP, MvKindKeyword},
    {"print", MV_TOK_PRINT, MvKindKeyword},
    {"repeat", MV_TOK_REPEAT, MvKindKeyword},
    {"until", MV_TOK_UNTIL, MvKindKeyword},
    {"from", MV_TOK_FROM, MvKindKeyword},
    {"for", MV_TOK_FOR, MvKindKeyword},
    {"time", MV_TOK_TIMES, MvKindKeyword},
    {"times", MV_TOK_TIMES, MvKindKeyword},
    {"every", MV_TOK_EVERY, MvKindKeyword},
    {"forever", MV_TOK_FOREVER, MvKindKeyword},
    {"while", MV_TOK_WHILE, MvKindKeyword},
    {"increment", MV_TOK_INCREMENT, MvKindKeyword},
    {"break", MV_TOK_BREAK, MvKindKeyword},
    {"end", MV_TOK_END, MvKindKeyword},
    {"begin", MV_TOK_BEGIN, MvKindKeyword},
    {"catch", MV_TOK_CATCH, MvKindKeyword},
    {"define", MV_TOK_DEFINE, MvKindKeyword},
    {"return", MV_TOK_RETURN, MvKindKeyword},
    {"returns", MV_TOK_RETURN, MvKindKeyword},
    {"local", MV_TOK_LOCAL, MvKindKeyword},
    {"global", MV_TOK_GLOBAL, MvKindKeyword},
    {"as", MV_TOK_AS, MvKindKeyword},
    {"of", MV_TOK_OF, MvKindKeyword},
    {"with", MV_TOK_WITH, MvKindKeyword},

    // Type names.
    {"frame_mono", MV_TOK_FRAME_MONO, MvKindKeyword},
    {"frame", MV_TOK_FRAME, MvKindKeyword},
    {"image_mono", MV_TOK_IMAGE_MONO, MvKindKeyword},
    {"image", MV_TOK_IMAGE, MvKindKeyword},
    {"list", MV_TOK_LIST, MvKindKeyword},
    {"text", MV_TOK_TEXT, MvKindKeyword},
    {"date", MV_TOK_DATE, MvKindKeyword},
    {"number", MV_TOK_NUMBER, MvKindKeyword},
    {"boolean", MV_TOK_BOOLEAN, MvKindKeyword},
    {"vector", MV_TOK_VECTOR, MvKindKeyword},
    {"color", MV_TOK_COLOR, MvKindKeyword},
    {"movie", MV_TOK_MOVIE, MvKindKeyword},
    {"videosource", MV_TOK_VIDEOSOURCE, MvKindKeyword},
    {"video_source", MV_TOK_VIDEOSOURCE, MvKindKeyword},
    {"video_output", MV_TOK_VIDEOOUTPUT, MvKindKeyword},
    {"video_track", MV_TOK_VIDEOTRACK, MvKindKeyword},
    {"any", MV_TOK_ANY, MvKindKeyword},
    {"none", MV_TOK_NONE, MvKindKeyword},

    // Built-in functions.
    {"max", MV_TOK_MAX, MvKindFunction},
    {"min", MV_TOK_MIN, MvKindFunction},
    {"sin", MV_TOK_SIN, MvKindFunction},
    {"cos", MV_TOK_COS, MvKindFunction},
    {"tan", MV_TOK_TAN, MvKindFunction},
    {"asin", MV_TOK_ASIN, MvKindFunction},
    {"acos", MV_TOK_ACOS, MvKindFunction},
    {"atan", MV_TOK_ATAN, MvKindFunction},
    {"sqrt", MV_TOK_SQRT, MvKindFunction},
    {"log", MV_TOK_LOG, MvKindFunction},
    {"exp", MV_TOK_EXP, MvKindFunction},
    {"ln", MV_TOK_LN, MvKindFunction},
    {"round", MV_TOK_ROUND, MvKindFunction},
    {"floor", MV_TOK_FLOOR, MvKindFunction},
    {"ceil", MV_TOK_CEIL, MvKindFunction},
    {"abs", MV_TOK_ABS, MvKindFunction},
    {"pow", MV_TOK_POW, MvKindFunction},

    // Time units, singular and plural.
    {"second", MV_TOK_SECOND, MvKindFunction},
    {"seconds", MV_TOK_SECOND, MvKindFunction},
    {"minute", MV_TOK_MINUTE, MvKindFunction},
    {"minutes", MV_TOK_MINUTE, MvKindFunction},
    {"hour", MV_TOK_HOUR, MvKindFunction},
    {"hours", MV_TOK_HOUR, MvKindFunction},
    {"day", MV_TOK_DAY, MvKindFunction},
    {"days", MV_TOK_DAY, MvKindFunction},
    {"week", MV_TOK_WEEK, MvKindFunction},
    {"weeks", MV_TOK_WEEK, MvKindFunction},
    {"year", MV_TOK_YEAR, MvKindFunction},
    {"years", MV_TOK_YEAR, MvKindFunction},

    // Months, upper case only.
    {"JAN", MV_TOK_JAN, MvKindLiteral},
    {"FEB", MV_TOK_FEB, MvKindLiteral},
    {"MAR", MV_TOK_MAR, MvKindLiteral},
    {"APR", MV_TOK_APR, MvKindLiteral},
    {"MAY", MV_TOK_MAY, MvKindLiteral},
    {"JUN", MV_TOK_JUN, MvKindLiteral},
    {"JUL", MV_TOK_JUL, MvKindLiteral},
    {"AUG", MV_TOK_AUG, MvKindLiteral},
    {"SEP", MV_TOK_SEP, MvKindLiteral},
    {"OCT", MV_TOK_OCT, MvKindLiteral},
    {"NOV", MV_TOK_NOV, MvKindLiteral},
    {"DEC", MV_TOK_DEC, MvKindLiteral},
};

constexpr std::size_t kKeywordCount = sizeof kKeywords / sizeof kKeywords[0];

// Open addressing with linear probing, built by the compiler; the table is
// kept under half full so probes stay short. A slot holds a keyword's index
// plus one, 0 when empty.
constexpr std::size_t kSlotCount = 256;
static_assert(kKeywordCount * 2 <= kSlotCount, "keyword hash table too full");
static_assert(kKeywordCount < 255, "keyword index does not fit a slot");

constexpr std::uint32_t hashWord(const char* word, std::size_t length) {
    std::uint32_t hash = 2166136261u;   // FNV-1a
    for (std::size_t i = 0; i < length; ++i)
        hash = (hash ^ static_cast<unsigned char>(word[i])) * 16777619u;
    return hash;
}

constexpr std::size_t spellingLength(const char* spelling) {
    std::size_t length = 0;
    while (spelling[length])
        ++length;
    return length;
}

// No keyword is longer than this; longer words skip the lookup.
constexpr std::size_t longestSpelling() {
    std::size_t longest = 0;
    for (const MvKeyword& keyword : kKeywords)
        if (spellingLength(keyword.spelling) > longest)
            longest = spellingLength(keyword.spelling);
    return longest;
}
constexpr std::size_t kLongestKeyword = longestSpelling();

struct KeywordIndex {
    std::uint8_t slots[kSlotCount] = {};
    std::uint8_t lengths[kKeywordCount] = {};

    constexpr KeywordIndex() {
        for (std::size_t k = 0; k < kKeywordCount; ++k) {
            const char* spelling = kKeywords[k].spelling;
            lengths[k] = static_cast<std::uint8_t>(spellingLength(spelling));
            std::size_t slot = hashWord(spelling, lengths[k]) % kSlotCount;
            while (slots[slot] != 0)
                slot = (slot + 1) % kSlotCount;
            slots[slot] = static_cast<std::uint8_t>(k + 1);
        }
    }

    bool spells(std::size_t k, const char* word, std::size_t length) const {
        return lengths[k] == length && std::memcmp(kKeywords[k].spelling, word, length) == 0;
    }
};

constexpr KeywordIndex kIndex;

} // namespace

const MvKeyword* MvFindKeyword(const char* word, std::size_t length) {
    if (length == 0 || length > kLongestKeyword)
        return nullptr;
    std::size_t slot = hashWord(word, length) % kSlotCount;
    for (; kIndex.slots[slot] != 0; slot = (slot + 1) % kSlotCount) {
        const std::size_t k = kIndex.slots[slot] - 1;
        if (kIndex.spells(k, word, length))
            return &kKeywords[k];
    }
    return nullptr;
}
