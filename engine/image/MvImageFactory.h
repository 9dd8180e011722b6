// Making image values by kind: for the type words, the arithmetic's result
// holders and the exported creators.
#ifndef MORVANE_ENGINE_MVIMAGEFACTORY_H
#define MORVANE_ENGINE_MVIMAGEFACTORY_H

#include "morvane/Mv2DValue.h"

#include <cstdint>
#include <vector>

// A new image of kind type (frame_mono, frame, image_mono or image),
// width x height, pixels 0; frames get the compression "JPEG".
Mv2DValue* MvImageCreate(MvTypeEnum type, std::int32_t width, std::int32_t height);

// A new image of kind type with the width and height of shape (0 x 0 when
// shape is not an image).
Mv2DValue* MvImageOfShape(MvTypeEnum type, MvValue* shape);

// An image_mono whose row y holds the numbers of vector rows[y]: as many
// rows as vectors, as wide as the longest; shorter rows end in 0. An element
// that is not a vector raises the type error "vector".
Mv2DValue* MvImageMonoFromRows(const std::vector<MvValueHolder>& rows);

#endif
