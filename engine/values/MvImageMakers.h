// How the value layer makes images without depending on the image folder:
// the image folder installs these makers when the library loads, and the
// value code (result holders, the list of vectors, value-file bodies) calls
// them. Before installation, or in a build without images, they are null.
#ifndef MORVANE_ENGINE_MVIMAGEMAKERS_H
#define MORVANE_ENGINE_MVIMAGEMAKERS_H

#include "morvane/MvValue.h"

#include <istream>
#include <vector>

struct MvImageMakers {
    // A new image of kind type with the width and height of shape.
    MvValue* (*ofShape)(MvTypeEnum type, MvValue* shape) = nullptr;
    // An image_mono whose rows are the vectors of rows.
    MvValue* (*monoFromRows)(const std::vector<MvValueHolder>& rows) = nullptr;
    // The body of an image of kind type read from a value file.
    MvValue* (*readBody)(MvTypeEnum type, std::istream& in) = nullptr;
};

void MvInstallImageMakers(const MvImageMakers& makers);
const MvImageMakers& MvInstalledImageMakers();

#endif
