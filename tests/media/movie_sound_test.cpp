// The sound of saved movies: silence under frames the script added and under
// files without sound, sound joined from several files (copied when coded
// alike, encoded again otherwise), each in step with the frames; and frames
// the script added reach the saved file as they were first encoded.
#include "movie_support.h"
#include "thrown_message.h"

#include "morvane/MvMovieApi.h"
#include "morvane/MvValueFile.h"

#include <cstring>
#include <sstream>

namespace {

class MovieSoundTest : public MovieFolderTest {
protected:
    void SetUp() override {
        MovieFolderTest::SetUp();
        ASSERT_TRUE(haveTool("ffmpeg"));
        ASSERT_TRUE(haveTool("ffprobe"));
    }

    // 2 s of test pictures at 25 frames a second, key frame every 5, and a
    // 440 Hz tone coded with soundOptions (none: no sound).
    bool makeToneMovie(const std::string& name, const std::string& soundOptions) {
        const std::string video = "-c:v libx264 -g 5 -bf 0 -pix_fmt yuv420p ";
        return makeMovie(name, 50, video + soundOptions, 64, 48, 25, !soundOptions.empty());
    }

    // Where the last packet of a stream ends, in seconds.
    double streamEnd(const std::string& name, const std::string& stream) {
        std::string out;
        runTool("ffprobe -v error -select_streams " + stream +
                    " -show_entries packet=pts_time,duration_time -of csv=p=0 " + quoted(at(name)),
                &out);
        std::istringstream lines(out);
        std::string line, last;
        while (std::getline(lines, line))
            if (!line.empty())
                last = line;
        const std::size_t comma = last.find(',');
        if (comma == std::string::npos)
            return -1;
        return std::stod(last.substr(0, comma)) + std::stod(last.substr(comma + 1));
    }

    // The loudest sample of the sound between from and to seconds, in dB
    // (silence reads about -91).
    double loudest(const std::string& name, double from, double to) {
        std::string out;
        runTool("ffmpeg -nostdin -v info -i " + quoted(at(name)) + " -map 0:a:0 -af atrim=" +
                    std::to_string(from) + ":" + std::to_string(to) +
                    ",volumedetect -f null - 2>&1 | grep max_volume",
                &out);
        const std::size_t at = out.find("max_volume:");
        return at == std::string::npos ? 0 : std::stod(out.substr(at + 11));
    }

    std::string soundCodec(const std::string& name) {
        return probe(name, "stream=codec_name", "a");
    }

    // The frames are where the sound says: the sound ends with the pictures
    // (give or take one packet of sound).
    void expectInStep(const std::string& name, double seconds, double slack) {
        SCOPED_TRACE(name);
        EXPECT_NEAR(streamEnd(name, "v:0"), seconds, 0.05);
        EXPECT_NEAR(streamEnd(name, "a:0"), seconds, slack);
    }
};

// 20 frames of the tone, 10 frames the script makes, 20 frames of the tone.
const char* const kToneSilenceTone =
    "set m to file \"tone.mp4\";\n"
    "set c to m[0, 20];\n"
    "set frame_rate of c to 25;\n"
    "set i to 0;\n"
    "repeat 10 times begin\n"
    "  set f to frame with size to {64, 48}; set f to f + i / 10; append f to c; add 1 to i;\n"
    "end\n"
    "append m[20, 40] to c;\n";

TEST_F(MovieSoundTest, FramesTheScriptAddedHaveSilenceOfTheirLength) {
    ASSERT_TRUE(makeToneMovie("tone.mp4", "-c:a aac"));
    const char* const names[] = {"s.mp4", "s.mov", "s.mkv", "s.webm", "s.avi"};
    std::string script = kToneSilenceTone;
    for (const char* name : names)
        script += std::string("set file \"") + name + "\" to c;\n";
    EXPECT_EQ(run(script + "print length of c;"), "50\n");
    EXPECT_EQ(soundCodec("s.mp4"), "aac");
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(probe(name, "stream=nb_read_frames"), "50");
        expectInStep(name, 2.0, 0.15);
        // Tone over the first file's frames, silence over the script's
        // 0.8 .. 1.2 s, tone again after them (packets of sound smear each
        // edge by up to 0.13 s).
        EXPECT_GT(loudest(name, 0.2, 0.65), -30);
        EXPECT_LT(loudest(name, 0.95, 1.05), -50);
        EXPECT_GT(loudest(name, 1.35, 1.8), -30);
    }
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(MovieSoundTest, FilesWithoutSoundHaveSilenceToo) {
    ASSERT_TRUE(makeToneMovie("tone.mp4", "-c:a aac"));
    ASSERT_TRUE(makeToneMovie("mute.mp4", ""));
    EXPECT_EQ(run("set t to file \"tone.mp4\"; set u to file \"mute.mp4\";"
                  "set file \"joined.mp4\" to u[0, 10] + t[0, 20] + u[10, 20] + t[20, 30];"
                  "set file \"mute-only.mp4\" to u[0, 10] + u[20, 30];"),
              "");
    expectInStep("joined.mp4", 2.0, 0.15);
    EXPECT_LT(loudest("joined.mp4", 0.0, 0.25), -50);
    EXPECT_GT(loudest("joined.mp4", 0.55, 1.05), -30);
    EXPECT_LT(loudest("joined.mp4", 1.35, 1.45), -50);
    EXPECT_GT(loudest("joined.mp4", 1.7, 1.85), -30);
    // Nothing with sound: no sound track at all.
    EXPECT_EQ(probe("mute-only.mp4", "stream=codec_type", "a"), "");
    EXPECT_EQ(probe("mute-only.mp4", "stream=nb_read_frames"), "20");
}

TEST_F(MovieSoundTest, SoundOfSeveralFilesCodedAlikeIsCopied) {
    ASSERT_TRUE(makeToneMovie("one.mp4", "-c:a aac"));
    ASSERT_TRUE(makeToneMovie("two.mp4", "-c:a aac"));
    EXPECT_EQ(run("set a to file \"one.mp4\"; set b to file \"two.mp4\";"
                  "set c to a[0, 20] + b[10, 30] + a[40, 50];"
                  "set file \"c.mp4\" to c; set file \"c.mkv\" to c; set file \"c.webm\" to c;"),
              "");
    // Matroska's own sound codec is another: AAC there was copied.
    EXPECT_EQ(soundCodec("c.mp4"), "aac");
    EXPECT_EQ(soundCodec("c.mkv"), "aac");
    // WebM takes no AAC: encoded again.
    EXPECT_NE(soundCodec("c.webm"), "aac");
    EXPECT_NE(soundCodec("c.webm"), "");
    for (const char* name : {"c.mp4", "c.mkv", "c.webm"}) {
        SCOPED_TRACE(name);
        expectInStep(name, 2.0, 0.15);
        EXPECT_GT(loudest(name, 0.2, 1.8), -30);
    }
}

TEST_F(MovieSoundTest, SoundCopiedFromFilesOfOtherClocksAndFromSingleFrames) {
    // MP4 and Matroska count time in other units; one-frame pieces are
    // shorter than a packet of sound.
    ASSERT_TRUE(makeToneMovie("one.mp4", "-c:a aac"));
    ASSERT_TRUE(makeToneMovie("two.mkv", "-c:a aac"));
    EXPECT_EQ(run("set a to file \"one.mp4\"; set b to file \"two.mkv\";"
                  "set c to a[0, 1] + b[10, 11] + a[20, 50] + b[49, 50];"
                  "set file \"c.mp4\" to c; set file \"c.mkv\" to c;"),
              "");
    for (const char* name : {"c.mp4", "c.mkv"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(soundCodec(name), "aac");
        EXPECT_EQ(probe(name, "stream=nb_read_frames"), "33");
        expectInStep(name, 1.32, 0.15);
        EXPECT_GT(loudest(name, 0.2, 1.1), -30);
    }
}

TEST_F(MovieSoundTest, SoundOfFilesCodedDifferentlyIsEncodedAgain) {
    ASSERT_TRUE(makeToneMovie("aac.mp4", "-c:a aac"));
    ASSERT_TRUE(makeToneMovie("mp3.mkv", "-c:a libmp3lame -ar 22050 -ac 2"));
    ASSERT_TRUE(makeToneMovie("mute.mp4", ""));
    EXPECT_EQ(run("set a to file \"aac.mp4\"; set b to file \"mp3.mkv\"; set u to file \"mute.mp4\";"
                  "set c to a[0, 15] + b[5, 25] + u[0, 10] + b[30, 35];"
                  "set file \"c.mp4\" to c; set file \"c.avi\" to c;"),
              "");
    EXPECT_EQ(soundCodec("c.mp4"), "aac");
    EXPECT_EQ(probe("c.mp4", "stream=nb_read_frames"), "50");
    for (const char* name : {"c.mp4", "c.avi"}) {
        SCOPED_TRACE(name);
        expectInStep(name, 2.0, 0.15);
        EXPECT_GT(loudest(name, 0.2, 1.25), -30);    // both files' sound
        EXPECT_LT(loudest(name, 1.5, 1.65), -50);    // the file without
        EXPECT_GT(loudest(name, 1.85, 1.95), -30);
    }
}

TEST_F(MovieSoundTest, SoundThatStartsLateKeepsItsPlaceAndItsChannels) {
    // Six channels of tone that start half a second after the pictures.
    ASSERT_TRUE(runTool("ffmpeg -nostdin -y -loglevel error -f lavfi -i "
                        "testsrc2=size=64x48:rate=25 -itsoffset 0.5 -f lavfi -i "
                        "sine=frequency=440:sample_rate=8000,pan='5.1|c0=c0|c1=c0|c2=c0|c3=c0|"
                        "c4=c0|c5=c0' -frames:v 50 -t 2 -c:v libx264 -g 5 -bf 0 -pix_fmt yuv420p "
                        "-c:a aac " + quoted(at("late.mp4"))));
    EXPECT_EQ(run("set m to file \"late.mp4\"; set c to m[0, 50];"
                  "set frame_rate of c to 25;"
                  "append frame with size to {64, 48} to c;"
                  "set file \"late.mp4.mp4\" to c; set file \"late.avi\" to c;"),
              "");
    EXPECT_EQ(probe("late.mp4.mp4", "stream=channels", "a:0"), "6");
    EXPECT_EQ(probe("late.avi", "stream=channels", "a:0"), "2");   // MP3 has two at most
    for (const char* name : {"late.mp4.mp4", "late.avi"}) {
        SCOPED_TRACE(name);
        expectInStep(name, 2.04, 0.15);
        EXPECT_LT(loudest(name, 0.05, 0.3), -50);
        EXPECT_GT(loudest(name, 0.75, 1.8), -30);
    }
}

TEST_F(MovieSoundTest, ASourceGoneBeforeSavingStopsTheSaveCleanly) {
    ASSERT_TRUE(makeToneMovie("tone.mp4", "-c:a aac"));
    OwnedValue movie(LoadValueFromFile(at("tone.mp4").c_str()));
    ASSERT_NE(movie, nullptr);
    std::filesystem::remove(at("tone.mp4"));
    EXPECT_EQ(thrownMessage([&] { movie->SaveToFile(at("out.mp4").c_str()); }),
              "Cannot open movie file \"" + at("tone.mp4") + "\"");
    EXPECT_FALSE(std::filesystem::exists(at("out.mp4")));
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
        entries += entry.path() != at("tone.mp4") ? 1 : 0;
    EXPECT_EQ(entries, 0u);
    // The movie itself still reads.
    EXPECT_NE(movieFrame(movie.get(), 30), nullptr);
}

// Frames the script added are encoded once: the saved file holds the same
// coded pictures, so they decode to exactly the movie's own frames (an
// encoding again would change them).
TEST_F(MovieSoundTest, AddedFramesAreSavedAsFirstEncoded) {
    for (const char* compressor : {"H.264", "Photo - JPEG"}) {
        SCOPED_TRACE(compressor);
        OwnedValue movie(MvMovieCreate(nullptr));
        MvMovieSetCompression(movie.get(), compressor);
        MvMovieSetFrameRate(movie.get(), 25);
        for (int n = 0; n < 12; ++n) {
            OwnedValue frame(MvFrameColorCreate(64, 48));
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x)
                    MvFrameColorSetPixelARGB(frame.get(), x, y,
                                             0xFF000000u | ((x * 4 + n * 9) & 255) << 16 |
                                                 ((y * 5) & 255) << 8 | ((x ^ y) * 3 & 255));
            MvValueHolder held(frame.release());
            movie->Append(held);
        }
        const std::string name = std::string(compressor) == "H.264" ? "h264.mp4" : "jpeg.mov";
        movie->SaveToFile(at(name).c_str());
        OwnedValue saved(LoadValueFromFile(at(name).c_str()));
        ASSERT_NE(saved, nullptr);
        ASSERT_EQ(MvMovieGetFrameCount(saved.get()), 12);
        for (int n = 0; n < 12; n += 5) {
            SCOPED_TRACE(n);
            OwnedValue mine = movieFrame(movie.get(), n);
            OwnedValue theirs = movieFrame(saved.get(), n);
            bool same = true;
            for (int y = 0; y < 48 && same; ++y)
                same = std::memcmp(MvFrameColorGetLine(mine.get(), y),
                                   MvFrameColorGetLine(theirs.get(), y), 64 * 4) == 0;
            EXPECT_TRUE(same);
        }
    }
}

} // namespace
