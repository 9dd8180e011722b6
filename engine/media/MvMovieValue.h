// MvMovieValue: the script value of kind movie.
//
// A movie is an edit list: segments, each a run of frames of one source (a
// movie file's video stream, or the movie's own temporary file of frames
// the script added). Appending, prepending, inserting, cutting and
// replacing frames edit the list; only frames the script adds are encoded,
// and nothing is decoded until a frame is read. Sources are shared between
// movies and live as long as a segment shows them.
#ifndef MORVANE_ENGINE_MVMOVIEVALUE_H
#define MORVANE_ENGINE_MVMOVIEVALUE_H

#include "media/MvMovieEncoder.h"
#include "media/MvMovieSource.h"
#include "morvane/MvValue.h"

#include <memory>
#include <string>
#include <vector>

class MvMovieFrameStore;

struct MvMovieSegment {
    std::shared_ptr<MvMovieSource> source;
    int first;
    int count;
};

class MV_EXPORT MvMovieValue : public MvValue {
public:
    // An empty movie with the global compression preferences.
    MvMovieValue();
    // The movie in a file (or at a URL) FFmpeg can read.
    explicit MvMovieValue(const std::string& path);
    MvMovieValue(const MvMovieValue& other);
    MvMovieValue& operator=(const MvMovieValue&) = default;
    ~MvMovieValue() override;

    MvValue* Clone() override { return new MvMovieValue(*this); }
    MvTypeEnum GetType() override { return MvTypeMovie; }
    void Display(MvGraphics* picture) override;
    void SaveToFile(const char* path) override;
    void CopyToClipboard() override;
    MvValue* GetProperty(int propertyId) override;
    int GetPropertyId(const char* name) override;
    void SetProperty(int propertyId, MvValue* newValue) override;
    void Add(MvValueHolder& result, MvValueHolder& operand) override;
    bool CanHoldResult(MvTypeEnum resultType, MvValue* left) override;
    void Append(MvValueHolder& element) override;
    void Prepend(MvValueHolder& element) override;
    void Insert(MvValueHolder& element, MvValue* index) override;
    MvValueHolder GetElement2(MvValue* i, MvValue* j) override;
    MvValueHolder GetElement(MvValue* index, bool forWrite) override;
    void SetElement(MvValue* index, MvValue* newValue) override;
    std::string GetText() override;

    // A movie operand's frames, or an image as one frame, added at the end.
    void addTo(MvValue* operand);
    void insertAt(int position, MvValue* element);

    int frameCount() const;
    int width() const { return width_; }
    int height() const { return height_; }
    // Frame n as a new frame value with its duration and time code.
    MvValue* frame(int n);
    // Start and length of frame n in seconds (n = frameCount() gives the end).
    double frameTime(int n) const;
    double frameDuration(int n) const;
    // Seconds of all frames at the natural rate.
    double naturalDuration() const;
    MvMovieSettings& settings() { return settings_; }
    const std::vector<MvMovieSegment>& segments() const { return segments_; }
    // Writes the frames the compressor still holds.
    void commit();
    // The movie's own frames as one flat file at path (see MvMovieWriter.h).
    void save(const std::string& path);

private:
    void insertFrames(int position, const std::vector<MvMovieSegment>& frames);
    std::vector<MvMovieSegment> encodeFrame(MvValue* image);
    std::vector<MvMovieSegment> slice(int from, int to) const;
    void checkIndex(int n) const;
    // The segment holding frame n and n's index within it.
    std::size_t locate(int n, int& within) const;

    std::vector<MvMovieSegment> segments_;
    std::shared_ptr<MvMovieFrameStore> store_;
    MvMovieSettings settings_;
    int width_ = 0;
    int height_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
    double preferredRate_ = 1.0;
    std::string overlayCompression_ = "TIFF";
    std::string graphicsMode_ = "copy";
    bool safeAppendMode_ = false;
};

#endif
