// Text drawing without a font renderer: the warning and nothing drawn.
#include "image/MvTextDrawing.h"

#include "morvane/MvProcess.h"

template <class Pix>
void MvDrawText(MvPixelArray<Pix>&, const std::string&, int, int, int, int, double,
                const MvColor&) {
    MvWarning("Unimplemented text drawing in MacOS X\n");
}

template void MvDrawText(MvPixelArray<bgPix>&, const std::string&, int, int, int, int, double,
                         const MvColor&);
template void MvDrawText(MvPixelArray<bcPix>&, const std::string&, int, int, int, int, double,
                         const MvColor&);
template void MvDrawText(MvPixelArray<fgPix>&, const std::string&, int, int, int, int, double,
                         const MvColor&);
template void MvDrawText(MvPixelArray<fcPix>&, const std::string&, int, int, int, int, double,
                         const MvColor&);
