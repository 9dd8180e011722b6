// Everything a host application uses to drive the engine.
#ifndef MORVANE_MVHOST_H
#define MORVANE_MVHOST_H

#include "MvHostServices.h"
#include "MvShared.h"

#endif
