// Movie values as scripts see them: properties, frames added and taken,
// cuts, and the messages for what a movie cannot do.
#include "movie_support.h"

namespace {

class MovieValueTest : public MovieFolderTest {
protected:
    void SetUp() override {
        MovieFolderTest::SetUp();
        ASSERT_TRUE(haveTool("ffmpeg"));
        ASSERT_TRUE(makeMovie("ten.mp4", 10, "-c:v libx264 -g 4 -pix_fmt yuv420p"));
    }
    std::string ten() const { return "set m to file \"" + at("ten.mp4") + "\";\n"; }
};

TEST_F(MovieValueTest, PropertiesOfAMovieFile) {
    EXPECT_EQ(run(ten() + "print type of m; print length of m; print size of m;"
                          "print frame_rate of m; print compression of m;"
                          "print graphics_mode of m; print overlay_compression of m;"
                          "print SafeAppendMode of m;"),
              "movie\n10\n64\t48\n29.97\nCinepak\ncopy\nTIFF\nfalse\n");
    EXPECT_EQ(run(ten() + "print duration of m;"), "0.4\n");
}

TEST_F(MovieValueTest, DescriptionHasOneLinePerTrack) {
    ASSERT_TRUE(makeMovie("sound.mov", 5, "-c:v mjpeg -c:a pcm_s16le", 64, 48, 25, true));
    EXPECT_EQ(run("print file \"" + at("sound.mov") + "\";"),
              "movie value\twidth:\t64\theight:\t48\tcompression:Cinepak\n"
              "\t\tTrack: Photo - JPEG\tLayer 0\n\t\tTrack: Sound\t\tLayer 0\n");
    EXPECT_EQ(run("print movie;"), "movie value\twidth:\t0\theight:\t0\tcompression:Cinepak\n");
}

TEST_F(MovieValueTest, FramesCarryTheirDurationAndTimeCode) {
    EXPECT_EQ(run(ten() + "set f to m[3.9]; print type of f; print size of f;"
                          "print duration of f; print time_code of f;"),
              "frame\n64\t48\n0.04\n00:00:00:03\n");
}

TEST_F(MovieValueTest, ChangingATakenFrameLeavesTheMovieAlone) {
    EXPECT_EQ(run(ten() + "set f to m[3]; set g to m[3]; set f[0, 0] to {0.25, 0.5, 0.75} as color;"
                          "print m[3][0, 0] = f[0, 0]; print m[3][0, 0] = g[0, 0];"
                          "add 0.5 to g; print m[3][1, 1] = g[1, 1];"
                          "set duration of g to 7; print duration of m[3];"),
              "false\ntrue\nfalse\n0.04\n");
}

TEST_F(MovieValueTest, IndexesPastTheEnd) {
    EXPECT_EQ(run(ten() + "print m[12];"), "error: Movie Index \"12\" is too large (> 9).");
    EXPECT_EQ(run(ten() + "print m[10];"), "error: Movie Index \"10\" is too large (> 9).");
    EXPECT_EQ(run(ten() + "print type of m[9];"), "frame\n");
    EXPECT_EQ(run("set m to movie; print m[0];"), "error: Movie Index \"0\" is too large (> -1).");
}

TEST_F(MovieValueTest, SubMovies) {
    EXPECT_EQ(run(ten() + "set c to m[3, 3];"), "error: Movie indexes can not be equal (3,3).");
    EXPECT_EQ(run(ten() + "set c to m[5, 3];"),
              "error: The first movie index (5) is greater than the second (3).");
    EXPECT_EQ(run(ten() + "set c to m[2.7, 6.2]; print length of c; print length of m;"),
              "4\n10\n");
    // Frame 0 of the cut is frame 2 of the movie, its time code from the cut's start.
    EXPECT_EQ(run(ten() + "set c to m[2, 10]; print c[0][5, 5] = m[2][5, 5] and c[0][9, 3] = m[2][9, 3];"
                          "print time_code of c[0]; print c[0][9, 3] = m[3][9, 3];"),
              "true\n00:00:00:00\nfalse\n");
    EXPECT_EQ(run(ten() + "set c to m[2, 11];"), "error: Movie Index \"11\" is too large (> 9).");
}

TEST_F(MovieValueTest, PropertyErrors) {
    EXPECT_EQ(run(ten() + "set size of m to {320};"),
              "error: Expecting a two component vector {width,height}");
    EXPECT_EQ(run(ten() + "set offset of m to 3;"),
              "error: Expecting a two component vector {width,height}");
    EXPECT_EQ(run(ten() + "set width of m to 0;"), "error: Movie width must be greater than zero");
    EXPECT_EQ(run(ten() + "set height of m to -2;"),
              "error: Movie height must be greater than zero");
    EXPECT_EQ(run(ten() + "set graphics_mode of m to \"blend\";"),
              "error: Unknown Graphics Mode: available modes are 'copy', 'dither copy', "
              "'straight alpha', 'premul white alpha'");
    EXPECT_EQ(run(ten() + "set graphics_mode of m to \"dither copy\"; print graphics_mode of m;"),
              "dither copy\n");
}

TEST_F(MovieValueTest, CompressorsByName) {
    const std::string out = run(ten() + "set compression of m to \"Cinepack\";");
    EXPECT_EQ(out.rfind("error: Unknown movie compressor: \"Cinepack\"\nAvailable compressors are:\n"
                        "    \"Cinepak\"\n", 0),
              0u)
        << out;
    EXPECT_EQ(run(ten() + "set compression of m to \"FFV1\"; print compression of m;"
                          "set overlay_compression of m to \"PNG\"; print overlay_compression of m;"),
              "FFV1\nPNG\n");
    // Names are exact.
    EXPECT_NE(run(ten() + "set compression of m to \"ffv1\";").find("Unknown movie compressor"),
              std::string::npos);
}

TEST_F(MovieValueTest, FrameRateAndDurationWrites) {
    EXPECT_EQ(run("set m to movie; set frame_rate of m to 12.5; print frame_rate of m;"),
              "12.5\n");
    EXPECT_EQ(run("set m to movie; set frame_rate of m to 0.1; print frame_rate of m = 0.1;"
                  "print abs(frame_rate of m - 0.1) < 1 / 65536;"),
              "false\ntrue\n");
    EXPECT_EQ(run(ten() + "set duration of m to 0.8; print duration of m; print length of m;"),
              "0.8\n10\n");
}

TEST_F(MovieValueTest, AddingFrames) {
    const std::string movie320 =
        "set m to movie; set size of m to {320, 240}; set f to frame with size to {320, 240};\n";
    EXPECT_EQ(run(movie320 + "append frame with size to {100, 100} to m;"),
              "error: The image or frame being added to the movie must have the same dimensions "
              "as the movie.");
    EXPECT_EQ(run(movie320 + "append f to m; print length of m; print (duration of m) * 29.97;"
                             "append f to m; print length of m; print (duration of m[1]) * 29.97;"),
              "1\n1\n2\n1\n");
    EXPECT_EQ(run(movie320 + "insert f into m at 0;"),
              "error: You cannot add frame to a movie which has no content.");
    EXPECT_EQ(run(movie320 + "set m[0] to 5;"), "error: Movie: Wrong type for indexing operation");
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(MovieValueTest, EditsKeepFramesInOrder) {
    // Each added frame is a plain grey; the edits must show the greys in order.
    const std::string script =
        "set m to movie; set compression of m to \"FFV1\";\n"
        "set i to 0;\n"
        "repeat 5 times begin\n"
        "  set f to frame with size to {16, 8}; set f to f + i * 0.15;\n"
        "  append f to m; add 1 to i;\n"
        "end\n"
        "set n to m[1, 4];\n"           // 1 2 3
        "prepend n to m;\n"             // 1 2 3 0 1 2 3 4
        "insert m[0, 2] into m at 4;\n" // 1 2 3 0 1 2 1 2 3 4
        "set m[9] to m[0];\n"           // ... last becomes 1
        "set s to \"\";\n"
        "set i to 0;\n"
        "repeat length of m times begin\n"
        "  set s to s + round((red of m[i][0, 0]) / 0.15) as text; add 1 to i;\n"
        "end\n"
        "print s; print length of m;\n";
    EXPECT_EQ(run(script), "1230121231\n10\n");
}

TEST_F(MovieValueTest, MoviesAddUp) {
    EXPECT_EQ(run(ten() + "set n to m + m; print length of n; print length of m;"
                          "set k to m + m[0]; print length of k; print duration of n;"),
              "20\n10\n11\n0.8\n");
}

TEST_F(MovieValueTest, TemporaryFilesGoWithTheLastValue) {
    EXPECT_EQ(run("set m to movie; set f to frame with size to {8, 8}; append f to m;"
                  "set n to m; set m to 0; print length of n;"),
              "1\n");
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(MovieValueTest, EndingsAreRecognisedInOneCase) {
    writeBytes(at("notes.Mov"), "some text");
    writeBytes(at("notes.mov"), "some text");
    writeBytes(at("notes.MP4"), "some text");
    EXPECT_EQ(run("set t to file \"" + at("notes.Mov") + "\"; print type of t;"), "text\n");
    EXPECT_EQ(run("print file \"" + at("notes.mov") + "\";"),
              "error: File \"" + at("notes.mov") + "\" does not seem to be a movie file.");
    EXPECT_EQ(run("print file \"" + at("notes.MP4") + "\";"),
              "error: File \"" + at("notes.MP4") + "\" does not seem to be a movie file.");
    // A movie under an ending that names none is still found by its contents.
    std::filesystem::copy_file(at("ten.mp4"), at("ten.Mov"));
    EXPECT_EQ(run("set t to file \"" + at("ten.Mov") + "\"; print length of t;"), "10\n");
}

} // namespace
