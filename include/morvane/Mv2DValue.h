// Mv2DValue: the base of the four image kinds (frame_mono, frame,
// image_mono, image).
//
// Every image carries three frame attributes besides its pixels: how long it
// stands as a movie frame, the compression quality used when it is saved or
// exported, and the time code of the movie frame it came from. The image
// operations follow the operations of MvValue in a fixed order (plug-ins
// call them through the same table): do not reorder.
#ifndef MORVANE_MV2DVALUE_H
#define MORVANE_MV2DVALUE_H

#include "MvColor.h"
#include "MvExport.h"
#include "MvValue.h"

#include <cstdint>
#include <string>

class MvGWorld;

// How drawing sets a pixel: the colour, the mode (1 copy, 2 xor, 3 or;
// anything else raises "Illegal mode"), the weight of the new value against
// the old per channel (1 replaces it) and whether closed shapes are filled.
struct MvDrawStyle {
    MvColor colour;
    MvColor weight{1.0, 1.0, 1.0};
    int mode = 1;
    bool fill = false;
};

// Hours, minutes, seconds and frames.
struct MvTimeCode {
    std::uint8_t hours = 0;
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    std::uint8_t frames = 0;
};

class MV_EXPORT Mv2DValue : public MvValue {
public:
    Mv2DValue() = default;
    Mv2DValue(const Mv2DValue&) = default;
    Mv2DValue& operator=(const Mv2DValue&) = default;
    ~Mv2DValue() override;

    // width, height, size, duration, quality and time_code; the rest go to
    // the operations every value has.
    MvValue* GetProperty(int propertyId) override;
    int GetPropertyId(const char* name) override;
    void SetProperty(int propertyId, MvValue* newValue) override;
    // The type name, the size, duration, quality and time code, one a line.
    std::string GetText() override;
    // Images never go to the clipboard as text.
    void CopyToClipboard() override;

    // The image operations.
    virtual Mv2DValue* TypeConstruct(std::int32_t width, std::int32_t height) = 0;
    // A new opaque 'BGRA' buffer of the image (the caller owns it).
    virtual MvGWorld* CreateGWorld() = 0;
    virtual MvValue* SumElements() = 0;
    virtual MvValue* Convolute(MvValue* kernel) = 0;
    virtual MvValue* MedianFilter(MvValue* mask, double rank) = 0;
    virtual MvValue* GetAlpha() = 0;
    virtual MvValue* SetAlpha(MvValue* alpha) = 0;
    virtual MvValue* Interlace(MvValue* other) = 0;
    virtual MvValue* DeInterlaceEven() = 0;
    virtual MvValue* DeInterlaceOdd() = 0;
    virtual void BrightestPixel(double& luminance, double& x, double& y, bool subPixel) = 0;
    virtual void DarkestPixel(double& luminance, double& x, double& y, bool subPixel) = 0;
    virtual MvValue* BinaryMin(MvValue* other) = 0;
    virtual MvValue* BinaryMax(MvValue* other) = 0;
    virtual double GetPixelLuminance(std::int32_t x, std::int32_t y) = 0;
    virtual std::int32_t GetWidth() = 0;
    virtual std::int32_t GetHeight() = 0;
    // Rescales by nearest neighbour; nothing happens when the size stays.
    virtual void Resize(std::int32_t width, std::int32_t height) = 0;
    virtual MvValue* ReplaceInside(MvValue* minimum, MvValue* maximum, MvValue* replacement) = 0;
    virtual MvValue* ReplaceOutside(MvValue* minimum, MvValue* maximum,
                                    MvValue* replacement) = 0;
    // Drawing changes the image itself; pixels outside it are skipped.
    virtual void DrawLine(double x1, double y1, double x2, double y2, const MvDrawStyle& style) = 0;
    virtual void DrawRectangle(double x, double y, double width, double height,
                               const MvDrawStyle& style) = 0;
    virtual void DrawCircle(double x, double y, double radius, const MvDrawStyle& style) = 0;
    // Draws text inside the box left, top, right, bottom.
    virtual void DrawText(const std::string& text, std::int32_t left, std::int32_t top,
                          std::int32_t right, std::int32_t bottom, double size,
                          const MvColor& colour) = 0;
    virtual MvValue* NormalizedCopy(MvValue* minimum, MvValue* maximum) = 0;
    virtual void NormalizeInPlace(MvValue* minimum, MvValue* maximum) = 0;
    virtual void MultiplyPixelByNumber(std::int32_t x, std::int32_t y, double factor) = 0;
    virtual void TransformAffine(Mv2DValue* destination, double a, double b, double c, double d,
                                 std::int32_t x0, std::int32_t y0, std::int32_t x1,
                                 std::int32_t y1, std::int32_t sx0, std::int32_t sy0,
                                 std::int32_t sx1, std::int32_t sy1,
                                 const MvColor& background) = 0;

    double duration = 0.1;
    double quality = 0.5;
    MvTimeCode timeCode;

    // "HH:MM:SS:FF", each field at least two digits.
    std::string timeCodeText() const;
};

#endif
