// One scanned token: its type, the scanner line at which it was completed,
// and its text after the scanner's replacements (escapes, dropped quotes).
#ifndef MORVANE_ENGINE_MVTOKEN_H
#define MORVANE_ENGINE_MVTOKEN_H

#include <string_view>

// The text is a view, valid as long as the scanner that made the token: a
// piece of the scanned text itself, or, when the scanner rewrote it (a
// string with escapes), a copy the scanner keeps.
struct MvToken {
    int type = 0;
    int line = 0;
    std::string_view text;
};

#endif
