#include "media/MvMovieFrameStore.h"

#include "media/MvMovieFrames.h"
#include "morvane/MvException.h"
#include "morvane/MvFile.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

MvMovieFrameStore::MvMovieFrameStore(const MvMovieSettings& settings, int width, int height)
    : settings_(settings),
      frameRate_(settings.frameRate > 0 ? settings.frameRate : 29.97),
      timeBase_(av_inv_q(av_d2q(frameRate_, 1 << 20))) {
    if (!settings.compressor)
        MvRaise("No movie compressor is available.");
    width_ = width;
    height_ = height;
    MvFSSpec spec;
    MvCreateTempFileSpec(&spec);
    path_ = spec.path;
    file_.open(path_, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
    if (!file_)
        MvRaise("Could not create the temporary movie file \"" + path_ + "\".");
}

MvMovieFrameStore::~MvMovieFrameStore() {
    file_.close();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

bool MvMovieFrameStore::matches(const MvMovieSettings& settings, int width, int height) const {
    return settings.compressor == settings_.compressor && width == width_ && height == height_ &&
           settings.frameRate == settings_.frameRate &&
           settings.spatialQuality == settings_.spatialQuality &&
           settings.temporalQuality == settings_.temporalQuality &&
           settings.keyFrameInterval == settings_.keyFrameInterval;
}

namespace {

bool sameExtradata(const AVCodecParameters& a, const AVCodecContext& b) {
    return a.extradata_size == b.extradata_size &&
           (a.extradata_size == 0 ||
            std::equal(a.extradata, a.extradata + a.extradata_size, b.extradata));
}

} // namespace

// The stream headers go to the store's codec parameters, not into the key
// frames: the pictures can then be copied as they are into a container that
// keeps the headers apart, and saving encodes nothing again. Every run of
// the store must bring the same headers, since one decoder reads them all.
void MvMovieFrameStore::startRun() {
    auto encoder = std::make_unique<MvMovieEncoder>(settings_, settings_.compressor->codec, width_,
                                                    height_, timeBase_, true);
    if (pictures_.empty()) {
        if (avcodec_parameters_from_context(parameters_.get(), &encoder->context()) < 0)
            throw new MvMemoryException("During allocation of image data.");
    } else if (!sameExtradata(*parameters_, encoder->context())) {
        MvRaise("The movie compressor " + encoder->name() +
                " changed its stream headers; the frame was not added.");
    }
    encoder_ = std::move(encoder);
}

void MvMovieFrameStore::add(MvValue* image) {
    if (!encoder_)
        startRun();
    encoder_->encode(image, added_, [this](AVPacket& p) { store(p); });
    ++added_;
}

void MvMovieFrameStore::store(AVPacket& packet) {
    file_.seekp(0, std::ios::end);
    const std::int64_t offset = file_.tellp();
    file_.write(reinterpret_cast<const char*>(packet.data), packet.size);
    if (!file_)
        MvRaise("Could not write the temporary movie file \"" + path_ + "\" (is the disk full?).");
    pictures_.push_back(Picture{offset, packet.size, (packet.flags & AV_PKT_FLAG_KEY) != 0});
}

void MvMovieFrameStore::commit() {
    if (!encoder_)
        return;
    encoder_->flush([this](AVPacket& p) { store(p); });
    encoder_.reset();
    file_.flush();
    if (static_cast<int>(pictures_.size()) != added_)
        MvRaise("The movie compressor lost frames.");
}

bool MvMovieFrameStore::isKeyFrame(int n) const {
    return n < static_cast<int>(pictures_.size()) && pictures_[n].key;
}

bool MvMovieFrameStore::packet(int n, AVPacket& out) {
    commit();
    if (n < 0 || n >= static_cast<int>(pictures_.size()))
        return false;
    const Picture& picture = pictures_[n];
    if (av_new_packet(&out, picture.size) < 0)
        return false;
    file_.seekg(picture.offset);
    file_.read(reinterpret_cast<char*>(out.data), picture.size);
    if (!file_) {
        file_.clear();
        av_packet_unref(&out);
        return false;
    }
    out.pts = out.dts = n;
    out.duration = 1;
    if (picture.key)
        out.flags |= AV_PKT_FLAG_KEY;
    return true;
}

void MvMovieFrameStore::openDecoder() {
    const AVCodec* codec = avcodec_find_decoder(parameters_->codec_id);
    if (!codec)
        MvRaise("No decoder for the movie's frames.");
    decoder_ = MvNewCodecContext(codec);
    if (avcodec_parameters_to_context(decoder_.get(), parameters_.get()) < 0 ||
        avcodec_open2(decoder_.get(), codec, nullptr) < 0)
        MvRaise("No decoder for the movie's frames.");
}

void MvMovieFrameStore::decodeUpTo(int n) {
    commit();
    if (!decoder_)
        openDecoder();
    // Reading on from where the decoder stands avoids decoding the run from
    // its key frame again (sequential reads).
    bool keyBetween = false;
    for (int i = std::max(nextSent_, 0); i <= n && !keyBetween; ++i)
        keyBetween = i > nextDecoded_ && pictures_[i].key;
    if (nextDecoded_ < 0 || nextDecoded_ > n || nextSent_ < nextDecoded_ || keyBetween) {
        int key = n;
        while (key > 0 && !pictures_[key].key)
            --key;
        avcodec_flush_buffers(decoder_.get());
        nextDecoded_ = nextSent_ = key;
    }
    MvPacketPtr coded = MvNewPacket();
    MvFramePtr picture = MvNewFrame();
    auto receive = [&] {
        while (avcodec_receive_frame(decoder_.get(), picture.get()) == 0) {
            if (nextDecoded_ == n) {
                MvValue* frame = converter_.frameValue(*picture, path_);
                MvSetMovieFrameTiming(frame, frameTime(n), frameDuration(n));
                cache_.add(n, frame, static_cast<std::size_t>(width_) * height_ * 4);
            }
            ++nextDecoded_;
            av_frame_unref(picture.get());
        }
    };
    receive();
    while (nextDecoded_ <= n && nextSent_ < frameCount()) {
        if (!packet(nextSent_, *coded)) {
            nextDecoded_ = -1;
            MvRaise("Could not read the temporary movie file \"" + path_ + "\".");
        }
        avcodec_send_packet(decoder_.get(), coded.get());
        av_packet_unref(coded.get());
        ++nextSent_;
        receive();
    }
    if (nextDecoded_ <= n) {
        // The last pictures: drain the decoder, which must start afresh next time.
        avcodec_send_packet(decoder_.get(), nullptr);
        receive();
        nextDecoded_ = -1;
    }
}
