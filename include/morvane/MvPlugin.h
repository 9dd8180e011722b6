// Everything a native plug-in library uses: the values and their flat
// functions, and the native-function interface.
#ifndef MORVANE_MVPLUGIN_H
#define MORVANE_MVPLUGIN_H

#include "MvPluginApi.h"
#include "MvShared.h"

#endif
