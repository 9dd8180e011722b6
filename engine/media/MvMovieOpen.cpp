#include "media/MvMovieOpen.h"

#include "media/MvMovieFrames.h"
#include "media/MvMovieValue.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <fstream>
#include <memory>

namespace {

const char* const kMovieEndings[] = {".mov", ".avi", ".mpg", ".mp4", ".m4v",
                                     ".mkv", ".webm", ".ogv", ".wmv", ".flv"};

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// Image formats demux as one-picture videos; they are images, not movies.
bool isImageFormat(const AVInputFormat& format) {
    const std::string name = format.name;
    return endsWith(name, "_pipe") || name == "image2" || name == "gif" || name == "apng" ||
           name == "webp_pipe";
}

// True when the first bytes of the file look like a movie container.
bool looksLikeMovie(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string head(4096 + AVPROBE_PADDING_SIZE, '\0');
    in.read(&head[0], 4096);
    const int got = static_cast<int>(in.gcount());
    if (got < 12)
        return false;
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = reinterpret_cast<unsigned char*>(&head[0]);
    probe.buf_size = got;
    int score = 0;
    const AVInputFormat* format = av_probe_input_format2(&probe, 1, &score);
    return format && score >= AVPROBE_SCORE_MAX / 2 && !isImageFormat(*format);
}

std::string withoutQuery(const std::string& url) {
    const std::size_t end = url.find_first_of("?#");
    return end == std::string::npos ? url : url.substr(0, end);
}

} // namespace

bool MvHasMovieEnding(const std::string& path) {
    if (path.size() < 5)
        return false;
    for (const char* ending : kMovieEndings)
        if (endsWith(path, ending) || endsWith(path, upper(ending)))
            return true;
    return false;
}

MvValue* MvOpenMovieFile(const char* path) {
    MvQuietFFmpeg();
    if (MvHasMovieEnding(path))
        return new MvMovieValue(path);
    if (!looksLikeMovie(path))
        return nullptr;
    try {
        return new MvMovieValue(path);
    } catch (MvException* notAMovie) {
        delete notAMovie;
        return nullptr;
    }
}

MvValue* MvOpenMovieURL(const char* url) {
    MvQuietFFmpeg();
    if (!MvHasMovieEnding(withoutQuery(url)))
        return nullptr;
    avformat_network_init();
    try {
        return new MvMovieValue(url);
    } catch (MvMovieOpenError* failure) {
        const int status = failure->status;
        if (status == AVERROR_HTTP_NOT_FOUND || status == AVERROR(ENOENT)) {
            delete failure;
            MvRaise("Movie was not found at the specified URL.");
        }
        throw;
    }
}

MvValue* MvNewEmptyMovie() { return new MvMovieValue(); }
