// MvNewImageValue<Pix>: every value and image operation for one pixel type.
//
// One template serves the four image kinds; the member functions are defined
// in the MvImage*.cpp files and instantiated there for bgPix, bcPix, fgPix
// and fcPix. The leaf classes (MvImageValues.h) add only what differs by
// kind: cloning, construction by size, the frames' compression, the float
// images' channel functions.
#ifndef MORVANE_ENGINE_MVNEWIMAGEVALUE_H
#define MORVANE_ENGINE_MVNEWIMAGEVALUE_H

#include "image/MvPixelArray.h"
#include "image/MvPixelKernels.h"
#include "morvane/Mv2DValue.h"
#include "morvane/MvPixel.h"

#include <cstdint>
#include <iosfwd>

// The script type of the image kind of each pixel type.
template <class Pix> struct MvImageKind;
template <> struct MvImageKind<bgPix> { static constexpr MvTypeEnum kType = MvTypeFrameMono; };
template <> struct MvImageKind<bcPix> { static constexpr MvTypeEnum kType = MvTypeFrame; };
template <> struct MvImageKind<fgPix> { static constexpr MvTypeEnum kType = MvTypeImageMono; };
template <> struct MvImageKind<fcPix> { static constexpr MvTypeEnum kType = MvTypeImage; };

inline bool MvIsImageType(MvTypeEnum t) {
    return t == MvTypeFrameMono || t == MvTypeFrame || t == MvTypeImageMono || t == MvTypeImage;
}

template <class Pix>
class MvNewImageValue : public Mv2DValue {
public:
    MvNewImageValue() = default;
    // A width x height image whose pixels start at 0.
    MvNewImageValue(std::int32_t width, std::int32_t height) : pixels(width, height) {}
    explicit MvNewImageValue(MvPixelArray<Pix> p) : pixels(std::move(p)) {}

    MvTypeEnum GetType() override { return MvImageKind<Pix>::kType; }
    void Coerce(MvValueHolder& result, MvTypeEnum target) override;
    void Display(MvGraphics* picture) override;
    void Write(std::ostream& out) override;
    MvValue* Sdev() override;
    MvValue* Average() override;
    MvValue* Max() override;
    MvValue* Min() override;
    MvValue* Difference(MvValue* other, double threshold, bool useThreshold) override;
    void Add(MvValueHolder& result, MvValueHolder& operand) override;
    void Subtract(MvValueHolder& result, MvValueHolder& operand) override;
    void Multiply(MvValueHolder& result, MvValueHolder& operand) override;
    void Divide(MvValueHolder& result, MvValueHolder& operand) override;
    bool CanHoldResult(MvTypeEnum resultType, MvValue* left) override;
    MvValueHolder GetElement2(MvValue* i, MvValue* j) override;
    MvValueHolder GetElement(MvValue* index, bool forWrite) override;
    void SetElement2(MvValue* i, MvValue* j, MvValue* newValue) override;

    MvGWorld* CreateGWorld() override;
    MvValue* SumElements() override;
    MvValue* Convolute(MvValue* kernel) override;
    MvValue* MedianFilter(MvValue* mask, double rank) override;
    MvValue* GetAlpha() override;
    MvValue* SetAlpha(MvValue* alpha) override;
    MvValue* Interlace(MvValue* other) override;
    MvValue* DeInterlaceEven() override;
    MvValue* DeInterlaceOdd() override;
    void BrightestPixel(double& luminance, double& x, double& y, bool subPixel) override;
    void DarkestPixel(double& luminance, double& x, double& y, bool subPixel) override;
    MvValue* BinaryMin(MvValue* other) override;
    MvValue* BinaryMax(MvValue* other) override;
    double GetPixelLuminance(std::int32_t x, std::int32_t y) override;
    std::int32_t GetWidth() override { return pixels.width(); }
    std::int32_t GetHeight() override { return pixels.height(); }
    void Resize(std::int32_t width, std::int32_t height) override;
    MvValue* ReplaceInside(MvValue* minimum, MvValue* maximum, MvValue* replacement) override;
    MvValue* ReplaceOutside(MvValue* minimum, MvValue* maximum, MvValue* replacement) override;
    void DrawLine(double x1, double y1, double x2, double y2, const MvDrawStyle& style) override;
    void DrawRectangle(double x, double y, double width, double height,
                       const MvDrawStyle& style) override;
    void DrawCircle(double x, double y, double radius, const MvDrawStyle& style) override;
    void DrawText(const std::string& text, std::int32_t left, std::int32_t top,
                  std::int32_t right, std::int32_t bottom, double size,
                  const MvColor& colour) override;
    MvValue* NormalizedCopy(MvValue* minimum, MvValue* maximum) override;
    void NormalizeInPlace(MvValue* minimum, MvValue* maximum) override;
    void MultiplyPixelByNumber(std::int32_t x, std::int32_t y, double factor) override;
    void TransformAffine(Mv2DValue* destination, double a, double b, double c, double d,
                         std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                         std::int32_t sx0, std::int32_t sy0, std::int32_t sx1, std::int32_t sy1,
                         const MvColor& background) override;

    // The sub-image of columns left .. right - 1 and rows top .. bottom - 1;
    // each bound is index checked against the image.
    virtual MvValue* SubImage(std::int32_t top, std::int32_t left, std::int32_t bottom,
                              std::int32_t right);

    // out = this op operand, where out has this image's size (it may be this
    // image itself). operand is a number, a colour, an image or (for +) a
    // text. The pixels of out outside the area the operation covers are this
    // image's.
    void combine(MvPixelKernels::Op op, MvValue* operand, MvNewImageValue& out);

    MvPixelArray<Pix> pixels;

protected:
    // The pixel of the image kind for a colour.
    static Pix pixelOf(const MvColor& colour);
};

// A new image of the kind of Pix (frames get the compression "JPEG"), with
// pixels (the leaf class for the pixel type).
template <class Pix>
MvNewImageValue<Pix>* MvMakeImage(MvPixelArray<Pix> pixels);

// Calls fn with the image as its MvNewImageValue<Pix>; false when value is
// not an image.
template <class Fn>
bool MvVisitImage(MvValue* value, Fn&& fn) {
    switch (value ? value->GetType() : MvTypeUndefined) {
    case MvTypeFrameMono: fn(*static_cast<MvNewImageValue<bgPix>*>(value)); return true;
    case MvTypeFrame: fn(*static_cast<MvNewImageValue<bcPix>*>(value)); return true;
    case MvTypeImageMono: fn(*static_cast<MvNewImageValue<fgPix>*>(value)); return true;
    case MvTypeImage: fn(*static_cast<MvNewImageValue<fcPix>*>(value)); return true;
    default: return false;
    }
}

// The image value of a pixel-array-free reading: a new image of the kind
// type read from a value-file body (width, height, then the rows).
MvValue* MvReadImageBody(MvTypeEnum type, std::istream& in);

#endif
