// The value-file body of an image: width and height as 32-bit little-endian
// integers, then each row's pixels as they lie in memory (no padding).
#include "image/MvImageInstances.h"
#include "image/MvNewImageValue.h"

#include "morvane/MvException.h"
#include "values/MvLittleEndian.h"

#include <istream>
#include <ostream>

namespace {

// What is left of a stream that can tell, or -1.
std::streamoff remainingBytes(std::istream& in) {
    const std::streampos here = in.tellg();
    if (here == std::streampos(-1))
        return -1;
    in.seekg(0, std::ios::end);
    const std::streampos end = in.tellg();
    in.seekg(here);
    if (end == std::streampos(-1) || !in)
        return -1;
    return end - here;
}

[[noreturn]] void raiseUnreadable() { throw new MvFileException("Reading Image Data Failed."); }

template <class Pix>
MvValue* readImage(std::istream& in) {
    std::int32_t width = 0, height = 0;
    if (!MvLittleEndian::readI32(in, width) || !MvLittleEndian::readI32(in, height) || width < 0 ||
        height < 0)
        raiseUnreadable();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(Pix);
    // A damaged size must not make the reader allocate more than the file holds.
    const std::streamoff left = remainingBytes(in);
    if (left >= 0 && static_cast<double>(rowBytes) * height > static_cast<double>(left))
        raiseUnreadable();
    MvPixelArray<Pix> pixels(width, height);
    for (std::int32_t y = 0; y < height; ++y)
        if (!in.read(reinterpret_cast<char*>(pixels.row(y)),
                     static_cast<std::streamsize>(rowBytes)))
            raiseUnreadable();
    return MvMakeImage(std::move(pixels));
}

} // namespace

template <class Pix>
void MvNewImageValue<Pix>::Write(std::ostream& out) {
    MvLittleEndian::writeI32(out, pixels.width());
    MvLittleEndian::writeI32(out, pixels.height());
    const std::size_t rowBytes = static_cast<std::size_t>(pixels.width()) * sizeof(Pix);
    for (std::int32_t y = 0; y < pixels.height() && out; ++y)
        out.write(reinterpret_cast<const char*>(pixels.row(y)),
                  static_cast<std::streamsize>(rowBytes));
    if (!out)
        throw new MvFileException("Writing Image Data Failed.");
}

MvValue* MvReadImageBody(MvTypeEnum type, std::istream& in) {
    switch (type) {
    case MvTypeFrameMono: return readImage<bgPix>(in);
    case MvTypeFrame: return readImage<bcPix>(in);
    case MvTypeImageMono: return readImage<fgPix>(in);
    case MvTypeImage: return readImage<fcPix>(in);
    default: return nullptr;
    }
}

#define MV_INSTANTIATE_BODY(Pix) template void MvNewImageValue<Pix>::Write(std::ostream&);

MV_FOR_EACH_PIXEL_TYPE(MV_INSTANTIATE_BODY)
