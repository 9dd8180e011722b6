// Services a host may provide to the engine: the beep and the clipboard.
//
// By default a beep does nothing and the clipboard is private to the
// process. A host with a real desktop installs its own callbacks.
#ifndef MORVANE_MVHOSTSERVICES_H
#define MORVANE_MVHOSTSERVICES_H

#include "MvExport.h"

typedef void (*MvBeepCallback)(void* context);
// Puts text (NUL-terminated) on the clipboard.
typedef void (*MvClipboardSetCallback)(void* context, const char* text);
// Returns the clipboard's text, or null when it holds none. The engine copies
// the text before the next call into the host.
typedef const char* (*MvClipboardGetCallback)(void* context);

// A null callback restores the default.
MV_C_API void MvSetBeepCallback(MvBeepCallback beep, void* context);
MV_C_API void MvSetClipboardCallbacks(MvClipboardSetCallback setText,
                                      MvClipboardGetCallback getText, void* context);

#endif
