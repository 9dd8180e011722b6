// Sets of tokens that the grammar tests as one: the token classes of the
// scanner's vocabulary and the sets of tokens that can begin a rule.
#ifndef MORVANE_ENGINE_MVTOKENCLASSES_H
#define MORVANE_ENGINE_MVTOKENCLASSES_H

#include "morvane/MvTokens.h"

// max min sin cos tan asin acos atan sqrt log exp ln round floor ceil abs
inline bool mvIsFunction1(int t) { return t >= MV_TOK_MAX && t <= MV_TOK_ABS; }

// The type words, frame_mono to video_track (not any and none).
inline bool mvIsTypeWord(int t) { return t >= MV_TOK_FRAME_MONO && t <= MV_TOK_VIDEOTRACK; }

// second minute hour day week year %
inline bool mvIsUnit(int t) { return t >= MV_TOK_SECOND && t <= MV_TOK_PERCENT; }

inline bool mvIsMonth(int t) { return t >= MV_TOK_JAN && t <= MV_TOK_DEC; }

inline bool mvIsNumber(int t) {
    switch (t) {
    case MV_TOK_INT1: case MV_TOK_INT2: case MV_TOK_INT4: case MV_TOK_INT_TOK:
    case MV_TOK_FLOAT: case MV_TOK_EXP_NUM:
        return true;
    default:
        return false;
    }
}

// An unterminated string is a string literal too.
inline bool mvIsString(int t) { return t == MV_TOK_STRINGLIT || t == MV_TOK_BADSTRING; }

// Keywords that may also name a property.
inline bool mvIsPropertyKeyword(int t) {
    switch (t) {
    case MV_TOK_SECOND: case MV_TOK_MINUTE: case MV_TOK_HOUR: case MV_TOK_WEEK:
    case MV_TOK_YEAR: case MV_TOK_FRAME: case MV_TOK_MOVIE:
        return true;
    default:
        return false;
    }
}

// A token that may stand where a property name is written.
inline bool mvIsPropertyToken(int t) { return t == MV_TOK_IDENT || mvIsPropertyKeyword(t); }

inline bool mvIsRelationalOperator(int t) { return t >= MV_TOK_EQUAL && t <= MV_TOK_NE; }

// Words that begin no statement; met where an element starts, they are
// reported as an unrecognised statement.
inline bool mvIsNonStatement(int t) {
    switch (t) {
    case MV_TOK_SECOND: case MV_TOK_MINUTE: case MV_TOK_HOUR: case MV_TOK_DAY:
    case MV_TOK_PERCENT: case MV_TOK_LIST: case MV_TOK_TEXT: case MV_TOK_DATE:
    case MV_TOK_NUMBER: case MV_TOK_BOOLEAN: case MV_TOK_VECTOR: case MV_TOK_COLOR:
    case MV_TOK_MOVIE: case MV_TOK_VIDEOSOURCE: case MV_TOK_AS: case MV_TOK_THEN:
    case MV_TOK_ELSE: case MV_TOK_UNTIL: case MV_TOK_FROM: case MV_TOK_FOR:
    case MV_TOK_TIMES: case MV_TOK_EVERY: case MV_TOK_FOREVER: case MV_TOK_WHILE:
    case MV_TOK_INCREMENT: case MV_TOK_END: case MV_TOK_CATCH: case MV_TOK_REFERENCE:
    case MV_TOK_TO: case MV_TOK_OF: case MV_TOK_WITH: case MV_TOK_REFER:
        return true;
    default:
        return mvIsMonth(t);
    }
}

inline bool mvCanBeginStatement(int t) {
    switch (t) {
    case MV_TOK_BEGIN: case MV_TOK_SEMI: case MV_TOK_IF: case MV_TOK_REPEAT:
    case MV_TOK_SCRIPT: case MV_TOK_SET: case MV_TOK_ADD: case MV_TOK_APPEND:
    case MV_TOK_PREPEND: case MV_TOK_SUBTRACT: case MV_TOK_MULTIPLY: case MV_TOK_DIVIDE:
    case MV_TOK_INSERT: case MV_TOK_PRINT: case MV_TOK_WAIT: case MV_TOK_BEEP:
    case MV_TOK_BREAK: case MV_TOK_DELETE: case MV_TOK_RETURN: case MV_TOK_IDENT:
    case MV_TOK_POW:
        return true;
    default:
        return mvIsFunction1(t);
    }
}

inline bool mvCanBeginElement(int t) {
    return mvCanBeginStatement(t) || t == MV_TOK_DEFINE || mvIsNonStatement(t);
}

inline bool mvCanBeginExpression(int t) {
    switch (t) {
    case MV_TOK_WINDOW: case MV_TOK_GLOBAL: case MV_TOK_LOCAL: case MV_TOK_URL:
    case MV_TOK_FILE: case MV_TOK_IDENT: case MV_TOK_PLUS: case MV_TOK_MINUS:
    case MV_TOK_NOT: case MV_TOK_CLIPBOARD: case MV_TOK_TRUE: case MV_TOK_FALSE:
    case MV_TOK_LLIST: case MV_TOK_LPAREN: case MV_TOK_POW:
        return true;
    default:
        return mvIsPropertyKeyword(t) || mvIsTypeWord(t) || mvIsNumber(t) || mvIsString(t) ||
               mvIsFunction1(t);
    }
}

#endif
