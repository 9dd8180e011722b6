// The value a script reads from the clipboard (ClipBoard).
#ifndef MORVANE_ENGINE_MVCLIPBOARDREADER_H
#define MORVANE_ENGINE_MVCLIPBOARDREADER_H

#include "morvane/MvValue.h"

// A new value of what the clipboard holds, looked for in this order: a
// movie (its text is the file URI of a movie, as copying a movie leaves
// it), text, a picture (as a colour frame). Raises "Scrap is empty" when it
// holds none of them, and an error saying why when its picture is damaged.
MvValue* MvReadClipboard();

#endif
