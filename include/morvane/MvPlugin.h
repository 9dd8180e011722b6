// Everything a native plug-in library uses.
#ifndef MORVANE_MVPLUGIN_H
#define MORVANE_MVPLUGIN_H

#include "MvShared.h"

#endif
