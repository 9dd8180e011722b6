// An image file is recognised by its contents first (FFmpeg's probes of the
// image formats), and by its ending only when the contents say nothing (a
// TGA file has no signature). The whole file is then one packet for the
// decoder, and the decoded picture becomes a frame.
#include "media/MvImageFileReader.h"

#include "media/MvDecodedImageTarget.h"
#include "media/MvExportTypes.h"
#include "media/MvImageDataComplete.h"
#include "media/MvFFmpeg.h"
#include "morvane/MvException.h"
#include "platform/MvRegularFile.h"
#include "values/MvMemoryRequest.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Enough of the file for every image probe to see the headers it checks,
// large thumbnails in JPEG headers included.
constexpr std::size_t kProbeSize = 64 * 1024;

// Image files are read whole; anything larger is refused as too large.
constexpr std::uint64_t kImageFileLimit = std::uint64_t(1) << 30;

// The decoders' own limit on pixels, far below what the frame of a larger
// picture would take.
constexpr int kMaxPixels = 1 << 28;

[[noreturn]] void raiseFor(const char* what, const char* path, const std::string& reason) {
    MvRaise(std::string(what) + " File \"" + path + "\": " + reason + ".");
}

// The decoder for the image format FFmpeg's probe names ("png_pipe",
// "jpeg_pipe", "gif", ...), or null for formats that are no still images.
const AVCodec* decoderForProbedFormat(const char* formatName) {
    std::string name(formatName);
    const std::string pipe = "_pipe";
    if (name.size() > pipe.size() && name.compare(name.size() - pipe.size(), pipe.size(), pipe) == 0)
        name.erase(name.size() - pipe.size());
    else if (name != "gif")
        return nullptr;
    static const struct {
        const char* format;
        const char* decoder;
    } kRenamed[] = {{"jpeg", "mjpeg"}, {"j2k", "jpeg2000"}, {"jpegxl", "libjxl"}};
    for (const auto& renamed : kRenamed)
        if (name == renamed.format)
            name = renamed.decoder;
    return avcodec_find_decoder_by_name(name.c_str());
}

// What the first bytes of a file say about it.
enum class Contents { kUnknown, kImage, kValueFile };

// The decoder for an image format recognised by its contents; a value
// file (four 0xAA bytes first) is never an image, whatever its ending.
Contents probeContents(const char* path, const AVCodec*& decoder) {
    decoder = nullptr;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Contents::kUnknown;
    std::vector<unsigned char> head(kProbeSize + AVPROBE_PADDING_SIZE, 0);
    in.read(reinterpret_cast<char*>(head.data()), kProbeSize);
    const std::streamsize got = in.gcount();
    if (got <= 0)
        return Contents::kUnknown;
    if (got >= 4 && head[0] == 0xAA && head[1] == 0xAA && head[2] == 0xAA && head[3] == 0xAA)
        return Contents::kValueFile;
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = head.data();
    probe.buf_size = static_cast<int>(got);
    int score = 0;
    MvQuietFFmpeg();
    const AVInputFormat* format = av_probe_input_format3(&probe, 1, &score);
    if (format && score > 0)
        decoder = decoderForProbedFormat(format->name);
    return decoder ? Contents::kImage : Contents::kUnknown;
}

const AVCodec* decoderByEnding(const char* path) {
    const char* dot = std::strrchr(path, '.');
    const char* slash = std::strrchr(path, '/');
    if (!dot || (slash && dot < slash))
        return nullptr;
    const MvExportType* type = MvExportTypeWithEnding(dot + 1);
    if (!type)
        return nullptr;
    const AVCodec* encoder = avcodec_find_encoder_by_name(type->encoder);
    return encoder ? avcodec_find_decoder(encoder->id) : nullptr;
}

// The whole file in a packet (with the zeroed padding decoders may read).
MvPacketPtr readWholeFile(const char* path) {
    const MvPlatform::FileCheck check = MvPlatform::checkRegularFile(path, kImageFileLimit);
    if (!check)
        MvRaise(std::string("file \"") + path + "\" " + check.reason + ".");
    MvCheckMemoryRequest(check.size, 1, "image file");
    MvPacketPtr packet = MvNewPacket();
    if (av_new_packet(packet.get(), static_cast<int>(check.size)) < 0)
        throw new MvMemoryException("During allocation of image data.");
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(packet->data), static_cast<std::streamsize>(check.size));
    if (!in || static_cast<std::uint64_t>(in.gcount()) != check.size)
        MvRaise(std::string("file \"") + path + "\" cannot be read.");
    return packet;
}

// A PFM file stores its rows from the bottom up. FFmpeg's decoders before
// version 6 hand them over in file order, which would load the picture
// upside down: read the rows backwards instead.
void putBottomRowLast(AVFrame& frame) {
#if LIBAVCODEC_VERSION_MAJOR < 60
    for (int plane = 0; plane < AV_NUM_DATA_POINTERS && frame.data[plane]; ++plane) {
        frame.data[plane] += std::ptrdiff_t(frame.height - 1) * frame.linesize[plane];
        frame.linesize[plane] = -frame.linesize[plane];
    }
#else
    (void)frame;
#endif
}

MvFramePtr decode(const AVCodec* decoder, const AVPacket& packet, const char* path,
                  MvDecodedImageTarget& target) {
    MvCodecContextPtr context = MvNewCodecContext(decoder);
    target.attachTo(*context);
    // Damaged data is an error, not a picture with grey holes. TIFF files
    // carry tags the decoder does not know, which it would count as damage.
    // (PNG's picture data carry a checksum of their own, which zlib checks.)
    if (decoder->id != AV_CODEC_ID_TIFF)
        context->err_recognition = AV_EF_EXPLODE;
    context->max_pixels = kMaxPixels;
    int status = avcodec_open2(context.get(), decoder, nullptr);
    if (status < 0)
        raiseFor("Could not get graphics importer for file.", path, MvFFmpegErrorText(status));
    MvFramePtr frame = MvNewFrame();
    status = avcodec_send_packet(context.get(), &packet);
    if (status >= 0) {
        status = avcodec_receive_frame(context.get(), frame.get());
        if (status == AVERROR(EAGAIN)) {
            avcodec_send_packet(context.get(), nullptr);
            status = avcodec_receive_frame(context.get(), frame.get());
        }
    }
    target.raiseFailure();
    if (status == AVERROR_EOF || status == AVERROR(EAGAIN))
        raiseFor("Could not get image description from file.", path, "the file holds no picture");
    if (status < 0)
        raiseFor("Could not get image description from file.", path, MvFFmpegErrorText(status));
    if (frame->decode_error_flags || (frame->flags & AV_FRAME_FLAG_CORRUPT))
        raiseFor("Could not get image description from file.", path, "the picture data are damaged");
    if (frame->width <= 0 || frame->height <= 0)
        raiseFor("Could not get image description from file.", path, "the picture has no pixels");
    if (decoder->id == AV_CODEC_ID_PFM)
        putBottomRowLast(*frame);
    return frame;
}

} // namespace

MvValue* MvImportImageFile(const char* path) {
    const AVCodec* decoder = nullptr;
    const Contents contents = probeContents(path, decoder);
    if (contents == Contents::kValueFile)
        return nullptr;
    if (contents == Contents::kUnknown)
        decoder = decoderByEnding(path);
    if (!decoder)
        return nullptr;
    MvPacketPtr packet = readWholeFile(path);
    if (packet->size == 0)
        raiseFor("Could not get image description from file.", path, "the file is empty");
    if (!MvImageDataComplete(decoder->id, packet->data, static_cast<std::size_t>(packet->size)))
        raiseFor("Could not get image description from file.", path, "the file ends early");
    // The target outlives the decoded picture, which may lie in its pixels.
    MvDecodedImageTarget target;
    MvFramePtr frame = decode(decoder, *packet, path, target);
    packet.reset();
    return target.frameValueOf(*frame, path);
}
