// Movies saved in each container, checked by ffprobe: codec, frame count,
// size, frame rate and duration; cuts on key frames copied packet for
// packet, other edits encoded again.
#include "movie_support.h"

#include "morvane/MvMovieApi.h"
#include "morvane/MvValueFile.h"

namespace {

class MovieSaveTest : public MovieFolderTest {
protected:
    void SetUp() override {
        MovieFolderTest::SetUp();
        ASSERT_TRUE(haveTool("ffmpeg"));
        ASSERT_TRUE(haveTool("ffprobe"));
    }

    struct Expected {
        const char* name;
        const char* codec;
    };

    void expectStream(const std::string& name, const std::string& codec, int frames, int w, int h,
                      const std::string& rate) {
        SCOPED_TRACE(name);
        EXPECT_EQ(probe(name, "stream=codec_name"), codec);
        EXPECT_EQ(probe(name, "stream=nb_read_frames"), std::to_string(frames));
        EXPECT_EQ(probe(name, "stream=width,height"), std::to_string(w) + "\n" + std::to_string(h));
        EXPECT_EQ(probe(name, "stream=r_frame_rate"), rate);
    }

    // Packet sizes of the video stream, one a line.
    std::string packetSizes(const std::string& name) {
        return probe(name, "packet=size");
    }
};

TEST_F(MovieSaveTest, GeneratedFramesCutAppendedAndSavedInEveryContainer) {
    std::string script =
        "set m to movie; set size of m to {32, 24}; set frame_rate of m to 25;\n"
        "set i to 0;\n"
        "repeat 30 times begin\n"
        "  set f to frame with size to {32, 24}; set f to f + i / 30; append f to m; add 1 to i;\n"
        "end\n"
        "set c to m[10, 25];\n"   // 15 frames
        "append c to c;\n"        // 30 frames
        "print length of c;\n";
    const Expected saved[] = {{"all.mov", "cinepak"}, {"all.avi", "cinepak"},
                              {"all.mpg", "mpeg1video"}, {"all.mp4", "h264"},
                              {"all.mkv", "h264"}, {"all.webm", "vp9"}};
    for (const Expected& e : saved)
        script += "set file \"" + at(e.name) + "\" to c;\n";
    EXPECT_EQ(run(script), "30\n");
    for (const Expected& e : saved) {
        expectStream(e.name, e.codec, 30, 32, 24, "25/1");
        // A program stream states no duration; ffprobe guesses one from the
        // few timestamps a small file has.
        if (std::string(e.name) == "all.mpg")
            continue;
        const double duration = std::stod(probe(e.name, "format=duration", "v:0"));
        EXPECT_NEAR(duration, 1.2, 0.05) << e.name;
    }
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(MovieSaveTest, ContainersThatCannotCarryTheCompressorWarn) {
    RunResult result = runScript("set m to movie; append frame with size to {16, 16} to m;"
                                 "set file \"" + at("w.mp4") + "\" to m;");
    EXPECT_TRUE(result.records.empty());
    // The warning goes to the process's warning console, not the script's.
    EXPECT_EQ(probe("w.mp4", "stream=codec_name"), "h264");
}

TEST_F(MovieSaveTest, CutsOnKeyFramesAreCopiedPacketForPacket) {
    ASSERT_TRUE(makeMovie("src.mp4", 30, "-c:v libx264 -g 5 -bf 0 -pix_fmt yuv420p"));
    EXPECT_EQ(run("set m to file \"" + at("src.mp4") + "\"; set c to m[10, 20];"
                  "set file \"" + at("cut.mp4") + "\" to c;"
                  "set file \"" + at("cut.mkv") + "\" to c;"),
              "");
    expectStream("cut.mp4", "h264", 10, 64, 48, "25/1");
    expectStream("cut.mkv", "h264", 10, 64, 48, "25/1");
    // The same coded pictures as frames 10 .. 19 of the source.
    std::string sizes = packetSizes("src.mp4");
    std::istringstream lines(sizes);
    std::string line, expected;
    for (int n = 0; std::getline(lines, line); ++n)
        if (n >= 10 && n < 20)
            expected += (expected.empty() ? "" : "\n") + line;
    EXPECT_EQ(packetSizes("cut.mp4"), expected);
    EXPECT_NEAR(std::stod(probe("cut.mp4", "format=duration")), 0.4, 0.02);
}

TEST_F(MovieSaveTest, PicturesWhoseHeadersTheContainerCannotKeepAreEncodedAgain) {
    // MP4's H.264 keeps its stream headers apart from the pictures; AVI has
    // no place for them.
    ASSERT_TRUE(makeMovie("src.mp4", 30, "-c:v libx264 -g 5 -bf 0 -pix_fmt yuv420p"));
    EXPECT_EQ(run("set m to file \"" + at("src.mp4") + "\"; set c to m[10, 20];"
                  "set file \"" + at("cut.avi") + "\" to c;"
                  "set compression of c to \"H.264\"; set file \"" + at("h264.avi") + "\" to c;"),
              "");
    expectStream("cut.avi", "cinepak", 10, 64, 48, "25/1");
    expectStream("h264.avi", "h264", 10, 64, 48, "25/1");
}

TEST_F(MovieSaveTest, EveryImageKindAndOddSizesEncode) {
    // Each kind of image as a frame; a size of one pixel, and odd sizes that
    // 4:2:0 pictures cannot take.
    const struct {
        int w, h;
    } sizes[] = {{1, 1}, {33, 25}, {64, 48}};
    for (const auto& size : sizes) {
        const std::string wh = std::to_string(size.w) + ", " + std::to_string(size.h);
        const std::string name = "k" + std::to_string(size.w) + ".mp4";
        SCOPED_TRACE(name);
        EXPECT_EQ(run("set m to movie; set compression of m to \"H.264\";"
                      "set frame_rate of m to 25;"
                      "append frame with size to {" + wh + "} to m;"
                      "append frame_mono with size to {" + wh + "} to m;"
                      "append image with size to {" + wh + "} to m;"
                      "append (image_mono with size to {" + wh + "}) + 0.5 to m;"
                      "set file \"" + at(name) + "\" to m;"
                      "set n to file \"" + at(name) + "\"; print length of n;"),
                  "4\n");
        expectStream(name, "h264", 4, size.w, size.h, "25/1");
    }
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(MovieSaveTest, FlatColoursComeBackAsTheyWere) {
    // Six patches of 16 x 16; the encoder at its best quality, so that only
    // the conversions to and from its pictures can change a colour.
    const std::uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                     0xFFFFFFFF, 0xFF000000, 0xFF808040};
    OwnedValue movie(MvMovieCreate(nullptr));
    MvMovieSetCompression(movie.get(), "H.264");
    MvMovieSetSpatialQuality(movie.get(), 1.0);
    OwnedValue frame(MvFrameColorCreate(48, 32));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            MvFrameColorSetPixelARGB(frame.get(), x, y, colours[(y / 16) * 3 + x / 16]);
    MvValueHolder held(frame->Clone());
    movie->Append(held);
    movie->SaveToFile(at("flat.mp4").c_str());
    OwnedValue saved(LoadValueFromFile(at("flat.mp4").c_str()));
    ASSERT_NE(saved, nullptr);
    OwnedValue back = movieFrame(saved.get(), 0);
    for (int patch = 0; patch < 6; ++patch) {
        const int x = (patch % 3) * 16 + 8, y = (patch / 3) * 16 + 8;
        const unsigned char* got = MvFrameColorGetLine(back.get(), y) + 4 * x;
        const unsigned char* want = MvFrameColorGetLine(frame.get(), y) + 4 * x;
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(got[c], want[c], 3) << "patch " << patch << " channel " << c;
    }
}

TEST_F(MovieSaveTest, CutsBetweenKeyFramesAreEncodedAgain) {
    ASSERT_TRUE(makeMovie("src.mp4", 30, "-c:v libx264 -g 10 -pix_fmt yuv420p"));
    EXPECT_EQ(run("set m to file \"" + at("src.mp4") + "\"; set c to m[3, 17];"
                  "set compression of c to \"H.264\"; set file \"" + at("cut.mov") + "\" to c;"
                  "set d to file \"" + at("cut.mov") + "\"; print length of d;"),
              "14\n");
    expectStream("cut.mov", "h264", 14, 64, 48, "25/1");
}

TEST_F(MovieSaveTest, CutsKeepTheirSoundInStep) {
    ASSERT_TRUE(makeMovie("snd.mp4", 50, "-c:v libx264 -g 5 -bf 0 -pix_fmt yuv420p -c:a aac", 64,
                          48, 25, true));
    EXPECT_EQ(run("set m to file \"" + at("snd.mp4") + "\";"
                  "set file \"" + at("copied.mp4") + "\" to m[10, 30];"
                  "set file \"" + at("encoded.mov") + "\" to m[12, 30];"
                  "set file \"" + at("joined.mp4") + "\" to m[10, 20] + m[40, 45];"),
              "");
    // Sound comes in packets of 1024 samples at 8 kHz: 0.128 s.
    const struct {
        const char* name;
        double seconds;
    } cuts[] = {{"copied.mp4", 0.8}, {"encoded.mov", 0.72}, {"joined.mp4", 0.6}};
    for (const auto& cut : cuts) {
        SCOPED_TRACE(cut.name);
        EXPECT_EQ(probe(cut.name, "stream=codec_name", "a:0"), "aac");
        EXPECT_NEAR(std::stod(probe(cut.name, "stream=duration")), cut.seconds, 0.01);
        EXPECT_NEAR(std::stod(probe(cut.name, "stream=duration", "a:0")), cut.seconds, 0.13);
        EXPECT_NEAR(std::stod(probe(cut.name, "stream=start_time", "a:0")), 0, 0.13);
    }
}

TEST_F(MovieSaveTest, SavingFailuresLeaveNothingBehind) {
    const std::string made = "set m to movie; append frame with size to {16, 16} to m;";
    EXPECT_EQ(run(made + "set file \"" + at("none/x.mov") + "\" to m;").rfind("error: ", 0), 0u);
    EXPECT_EQ(run(made + "set file \"" + at("x.unknownending") + "\" to m;").rfind("error: Could not create movie (FlattenMovieData)", 0), 0u);
    EXPECT_EQ(run("set m to movie; set file \"" + at("empty.mov") + "\" to m;")
                  .rfind("error: Could not create movie (FlattenMovieData)", 0),
              0u);
    EXPECT_FALSE(std::filesystem::exists(at("empty.mov")));
    EXPECT_FALSE(std::filesystem::exists(at("x.unknownending")));
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
        entries += entry.path().filename() != "none" ? 1 : 0;
    EXPECT_EQ(entries, 0u);
}

} // namespace
