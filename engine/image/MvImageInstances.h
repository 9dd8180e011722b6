// Instantiation of the image templates for the four pixel types, in the
// files that define their members.
#ifndef MORVANE_ENGINE_MVIMAGEINSTANCES_H
#define MORVANE_ENGINE_MVIMAGEINSTANCES_H

#define MV_FOR_EACH_PIXEL_TYPE(X) X(bgPix) X(bcPix) X(fgPix) X(fcPix)

#define MV_INSTANTIATE_IMAGE_CLASS(Pix) template class MvNewImageValue<Pix>;

#endif
