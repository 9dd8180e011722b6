// Services a host may provide to the engine: the beep and the clipboard.
//
// By default a beep does nothing and the clipboard is private to the
// process (it holds text only). A host with a real desktop installs its own
// callbacks.
//
// Reading the clipboard in a script (ClipBoard) gives a movie when its text
// is the file URI of a movie (that is how movies are copied), else its text
// when there is any, else its picture, which the host hands over as the
// bytes of a PNG file; an empty clipboard is an error ("Scrap is empty").
#ifndef MORVANE_MVHOSTSERVICES_H
#define MORVANE_MVHOSTSERVICES_H

#include "MvExport.h"

#include <stddef.h>

typedef void (*MvBeepCallback)(void* context);
// Puts text (NUL-terminated) on the clipboard.
typedef void (*MvClipboardSetCallback)(void* context, const char* text);
// Returns the clipboard's text, or null when it holds none. The engine copies
// the text before the next call into the host.
typedef const char* (*MvClipboardGetCallback)(void* context);
// Returns the clipboard's picture as the bytes of a PNG file, with their
// number in *size, or null when it holds no picture. The engine copies the
// bytes before the next call into the host.
typedef const unsigned char* (*MvClipboardGetImageCallback)(void* context, size_t* size);

// A null callback restores the default.
MV_C_API void MvSetBeepCallback(MvBeepCallback beep, void* context);
MV_C_API void MvSetClipboardCallbacks(MvClipboardSetCallback setText,
                                      MvClipboardGetCallback getText, void* context);
MV_C_API void MvSetClipboardImageCallback(MvClipboardGetImageCallback getImage, void* context);

#endif
