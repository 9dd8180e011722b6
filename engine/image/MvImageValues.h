// The four image kinds:
//   MvImageValueBM  frame_mono  bgPix   byte grey
//   MvImageValueBC  frame       bcPix   byte colour
//   MvImageValueFM  image_mono  fgPix   float grey
//   MvImageValueFC  image       fcPix   float colour
// Frames carry the compression their files are exported with; float images
// add the channel functions sqrt, log, abs and pow.
#ifndef MORVANE_ENGINE_MVIMAGEVALUES_H
#define MORVANE_ENGINE_MVIMAGEVALUES_H

#include "image/MvNewImageValue.h"

#include <string>

// The compression code of "JPEG", 'jpeg'.
constexpr std::uint32_t kMvCompressionJPEG = 0x6A706567;

template <class Pix>
class MvImageValueB : public MvNewImageValue<Pix> {
public:
    using MvNewImageValue<Pix>::MvNewImageValue;

    // Exports through the media layer when it is there; otherwise the frame
    // is written as a value file, as every other value is.
    void SaveToFile(const char* path) override;
    // Adds "compression" to the properties of every image.
    MvValue* GetProperty(int propertyId) override;
    int GetPropertyId(const char* name) override;
    void SetProperty(int propertyId, MvValue* newValue) override;

    std::uint32_t compressionCode = kMvCompressionJPEG;
    std::string compressionName = "JPEG";
};

// sqrt, log (natural), abs and pow of every grey value, or of red, green
// and blue of every colour pixel; alpha stays.
template <class Pix>
class MvImageValueF : public MvNewImageValue<Pix> {
public:
    using MvNewImageValue<Pix>::MvNewImageValue;
    MvValue* Sqrt() override;
    MvValue* Log() override;
    MvValue* Abs() override;
    MvValue* Pow(MvValue* exponent) override;
};

class MvImageValueBM : public MvImageValueB<bgPix> {
public:
    using MvImageValueB<bgPix>::MvImageValueB;
    MvValue* Clone() override { return new MvImageValueBM(*this); }
    Mv2DValue* TypeConstruct(std::int32_t width, std::int32_t height) override {
        return new MvImageValueBM(width, height);
    }
};

class MvImageValueBC : public MvImageValueB<bcPix> {
public:
    using MvImageValueB<bcPix>::MvImageValueB;
    MvValue* Clone() override { return new MvImageValueBC(*this); }
    Mv2DValue* TypeConstruct(std::int32_t width, std::int32_t height) override {
        return new MvImageValueBC(width, height);
    }
};

class MvImageValueFM : public MvImageValueF<fgPix> {
public:
    using MvImageValueF<fgPix>::MvImageValueF;
    MvValue* Clone() override { return new MvImageValueFM(*this); }
    Mv2DValue* TypeConstruct(std::int32_t width, std::int32_t height) override {
        return new MvImageValueFM(width, height);
    }
};

class MvImageValueFC : public MvImageValueF<fcPix> {
public:
    using MvImageValueF<fcPix>::MvImageValueF;
    MvValue* Clone() override { return new MvImageValueFC(*this); }
    Mv2DValue* TypeConstruct(std::int32_t width, std::int32_t height) override {
        return new MvImageValueFC(width, height);
    }
};

#endif
