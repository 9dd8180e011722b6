// One scanned token: its type, the scanner line at which it was completed,
// and its text after the scanner's replacements (escapes, dropped quotes).
#ifndef MORVANE_ENGINE_MVTOKEN_H
#define MORVANE_ENGINE_MVTOKEN_H

#include <string>

struct MvToken {
    int type = 0;
    int line = 0;
    std::string text;
};

#endif
