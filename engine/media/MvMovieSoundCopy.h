// A sound track copied packet for packet from the files under the movie's
// segments, each file's packets shifted to the segment's place.
#ifndef MORVANE_ENGINE_MVMOVIESOUNDCOPY_H
#define MORVANE_ENGINE_MVMOVIESOUNDCOPY_H

#include "media/MvMovieSoundInput.h"
#include "media/MvMovieSoundTrack.h"

#include <limits>

class MvMovieSoundCopy : public MvMovieSoundTrack {
public:
    // Every span has a file whose sound is coded like model's.
    MvMovieSoundCopy(AVFormatContext& output, const std::vector<MvSoundSpan>& spans,
                     const AVStream& model, const Sink& sink);
    void writeUntil(double seconds) override;
    void finish() override;

private:
    // Copies the next packet; false when every span is done.
    bool step();
    // Copies the packet when it belongs to span (true), or tells that the
    // span is over (false).
    bool copy(AVPacket& packet, const MvSoundSpan& span, AVRational base);

    std::vector<MvSoundSpan> spans_;
    MvMovieSoundInputs inputs_;
    Sink sink_;
    AVStream* out_ = nullptr;
    MvPacketPtr packet_ = MvNewPacket();
    std::size_t span_ = 0;
    bool started_ = false;
    double reached_ = 0;   // movie time of the last packet written
    // Movie time where the last packet written ends; packets of the next
    // span that would overlap it are left out.
    double lastEnd_ = -std::numeric_limits<double>::infinity();
};

#endif
