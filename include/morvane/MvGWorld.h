// An offscreen pixel buffer, reference counted so that pictures can keep
// showing a frame after the image that produced it has changed.
#ifndef MORVANE_MVGWORLD_H
#define MORVANE_MVGWORLD_H

#include "MvAutoObject.h"
#include "MvExport.h"

class MV_EXPORT MvGWorld : public MvAutoObject {
public:
    MvGWorld() = default;
    ~MvGWorld() override;
};

#endif
