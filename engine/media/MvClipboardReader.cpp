#include "media/MvClipboardReader.h"

#include "media/MvDecodedImage.h"
#include "media/MvFFmpeg.h"
#include "media/MvMovieOpen.h"
#include "morvane/MvException.h"
#include "morvane/MvShared.h"
#include "platform/MvPlatform.h"
#include "values/MvMemoryRequest.h"

#include <cstring>
#include <limits>
#include <string>

namespace {

// Pictures larger than this are refused before they are decoded.
constexpr int kMaxPixels = 1 << 28;

[[noreturn]] void raiseDamaged(const std::string& reason) {
    MvRaise("Could not read the picture on the clipboard (" + reason + ").");
}

// The movie whose file URI the text is, or null.
MvValue* movieOfText(const std::string& text) {
    if (text.rfind("file://", 0) != 0 || text.find_first_of("\r\n") != std::string::npos)
        return nullptr;
    try {
        return MvOpenMovieURL(text.c_str());
    } catch (MvException* notAMovie) {
        delete notAMovie;   // then it is just text
        return nullptr;
    }
}

MvFramePtr decodePng(const std::string& bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) -
                           AV_INPUT_BUFFER_PADDING_SIZE)
        raiseDamaged("the picture is too large");
    MvCheckMemoryRequest(bytes.size(), 1, "picture");
    MvPacketPtr packet = MvNewPacket();
    if (av_new_packet(packet.get(), static_cast<int>(bytes.size())) < 0)
        throw new MvMemoryException("During allocation of image data.");
    std::memcpy(packet->data, bytes.data(), bytes.size());
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_PNG);
    if (!codec)
        raiseDamaged("this build reads no PNG pictures");
    MvCodecContextPtr decoder = MvNewCodecContext(codec);
    // Damaged data is an error, not a picture with holes: the chunks'
    // checksums are checked as well.
    decoder->err_recognition = AV_EF_EXPLODE | AV_EF_CRCCHECK;
    decoder->max_pixels = kMaxPixels;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        raiseDamaged("no PNG decoder");
    MvFramePtr picture = MvNewFrame();
    int status = avcodec_send_packet(decoder.get(), packet.get());
    if (status >= 0) {
        avcodec_send_packet(decoder.get(), nullptr);
        status = avcodec_receive_frame(decoder.get(), picture.get());
    }
    if (status == AVERROR_EOF || status == AVERROR(EAGAIN))
        raiseDamaged("it holds no picture");
    if (status < 0)
        raiseDamaged(MvFFmpegErrorText(status));
    if (picture->decode_error_flags || (picture->flags & AV_FRAME_FLAG_CORRUPT))
        raiseDamaged("the picture data are damaged");
    if (picture->width <= 0 || picture->height <= 0)
        raiseDamaged("the picture has no pixels");
    return picture;
}

// The picture as a colour frame, whatever its pixels (grey included).
MvValue* colourFrameOfPng(const std::string& bytes) {
    MvQuietFFmpeg();
    const MvFramePtr picture = decodePng(bytes);
    MvValue* frame = MvFrameValueOfDecodedImage(*picture, "the clipboard");
    if (frame->GetType() == MvTypeFrame)
        return frame;
    MvValueHolder grey(frame);
    MvValueHolder colour;
    grey->Coerce(colour, MvTypeFrame);
    return colour->Clone();
}

} // namespace

MvValue* MvReadClipboard() {
    const std::string text = MvPlatform::clipboardText();
    if (MvValue* movie = movieOfText(text))
        return movie;
    if (!text.empty())
        return MvTextCreate(text.c_str());
    const std::string png = MvPlatform::clipboardImage();
    if (!png.empty())
        return colourFrameOfPng(png);
    MvRaise("Scrap is empty");
}
