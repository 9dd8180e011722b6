// Shared pieces of the movie tests: a scratch folder that is also the
// current directory (movies keep their temporary files there), scripts run
// through the host interface, movies made by ffmpeg and read by ffprobe.
#ifndef MORVANE_TESTS_MOVIE_SUPPORT_H
#define MORVANE_TESTS_MOVIE_SUPPORT_H

#include "media_support.h"
#include "script_runner.h"
#include "morvane/MvProperties.h"

#include <cmath>

class MovieFolderTest : public MediaFolderTest {
protected:
    void SetUp() override {
        MediaFolderTest::SetUp();
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        MediaFolderTest::TearDown();
    }

    // Runs script; returns its console, or "error: " and the first error's
    // message when it failed.
    static std::string run(const std::string& script) {
        RunResult result = runScript(script);
        if (!result.records.empty()) {
            std::string console = result.console;
            const std::string banner = "RunTime Error";
            if (console.size() >= banner.size() &&
                console.compare(console.size() - banner.size(), banner.size(), banner) == 0)
                console.erase(console.size() - banner.size());
            return console + "error: " + result.records.front().message;
        }
        return result.console;
    }

    // Makes name with ffmpeg from its test picture source (and a tone when
    // sound is true): frames frames of w x h at rate, with the codec options.
    bool makeMovie(const std::string& name, int frames, const std::string& codecOptions,
                   int w = 64, int h = 48, int rate = 25, bool sound = false) {
        const double seconds = frames / double(rate);
        std::string command = "ffmpeg -nostdin -y -loglevel error -f lavfi -i testsrc2=size=" +
                              std::to_string(w) + "x" + std::to_string(h) +
                              ":rate=" + std::to_string(rate);
        if (sound)
            command += " -f lavfi -i sine=frequency=440:sample_rate=8000";
        command += " -frames:v " + std::to_string(frames) + " -t " + std::to_string(seconds) +
                   " " + codecOptions + " " + quoted(at(name));
        return runTool(command);
    }

    // One ffprobe entry (e.g. "stream=codec_name") of the first video stream.
    std::string probe(const std::string& name, const std::string& entry,
                      const std::string& stream = "v:0") {
        std::string out;
        runTool("ffprobe -v error -count_frames -select_streams " + stream +
                    " -show_entries " + entry + " -of default=nw=1:nk=1 " + quoted(at(name)),
                &out);
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
            out.pop_back();
        return out;
    }

    // Temporary movie files left in the folder.
    int temporaryFiles() const {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            if (entry.path().filename().string().rfind("MvTemp_", 0) == 0)
                ++count;
        return count;
    }

    std::filesystem::path previous_;
};

// Frame n of a movie value through the value interface.
inline OwnedValue movieFrame(MvValue* movie, int n) {
    OwnedValue index(MvNumberCreate(n));
    MvValueHolder frame = movie->GetElement(index.get(), false);
    return OwnedValue(frame.get() ? frame->Clone() : nullptr);
}

// The peak signal-to-noise ratio of a colour frame against BGRA bytes.
inline double psnrAgainst(MvValue* frame, const std::string& bgra, int w, int h) {
    double squared = 0;
    for (int y = 0; y < h; ++y) {
        const unsigned char* line = MvFrameColorGetLine(frame, y);
        for (int x = 0; x < w * 4; ++x) {
            if (x % 4 == 3)
                continue;
            const double d = double(line[x]) - double(static_cast<unsigned char>(bgra[y * w * 4 + x]));
            squared += d * d;
        }
    }
    const double mse = squared / (w * h * 3.0);
    return mse == 0 ? 1000.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

#endif
