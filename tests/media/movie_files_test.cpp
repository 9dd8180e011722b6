// Movies made by ffmpeg read back frame for frame, damaged movie files are
// refused cleanly, and movies come from URLs.
#include "movie_support.h"

#include <csignal>
#include <thread>

namespace {

class MovieFilesTest : public MovieFolderTest {
protected:
    void SetUp() override {
        MovieFolderTest::SetUp();
        ASSERT_TRUE(haveTool("ffmpeg"));
    }

    // ffmpeg's own decoding of every frame, as BGRA bytes.
    std::string ffmpegFrames(const std::string& name) {
        std::string bytes;
        runTool("ffmpeg -nostdin -v error -i " + quoted(at(name)) +
                    " -vsync passthrough -sws_flags bilinear -f rawvideo -pix_fmt bgra -",
                &bytes);
        return bytes;
    }

    void expectFramesMatch(const std::string& name, int frames, double minimumPsnr, int w = 64,
                           int h = 48) {
        SCOPED_TRACE(name);
        OwnedValue movie = load(at(name));
        ASSERT_EQ(movie->GetType(), MvTypeMovie);
        OwnedValue length(movie->GetProperty(MvPropertyIdFromName("length")));
        EXPECT_EQ(length->GetNumber(), frames);
        const std::string reference = ffmpegFrames(name);
        ASSERT_EQ(reference.size(), std::size_t(frames) * w * h * 4);
        // Backwards and then in order: seeking and decoding forward agree.
        for (int n = frames - 1; n >= 0; n -= 3) {
            OwnedValue frame = movieFrame(movie.get(), n);
            EXPECT_GE(psnrAgainst(frame.get(), reference.substr(std::size_t(n) * w * h * 4), w, h),
                      minimumPsnr)
                << "frame " << n;
        }
        for (int n = 0; n < frames; ++n) {
            OwnedValue frame = movieFrame(movie.get(), n);
            EXPECT_GE(psnrAgainst(frame.get(), reference.substr(std::size_t(n) * w * h * 4), w, h),
                      minimumPsnr)
                << "frame " << n;
        }
    }
};

TEST_F(MovieFilesTest, MoviesMadeByFFmpegReadFrameForFrame) {
    ASSERT_TRUE(makeMovie("h264.mp4", 30, "-c:v libx264 -g 7 -bf 2 -pix_fmt yuv420p -c:a aac",
                          64, 48, 25, true));
    ASSERT_TRUE(makeMovie("mpeg4.avi", 30, "-c:v mpeg4 -g 6 -q:v 2 -c:a pcm_s16le",
                          64, 48, 25, true));
    // B-frames in AVI: the container gives no display times.
    ASSERT_TRUE(makeMovie("bframes.avi", 30, "-c:v mpeg4 -g 12 -bf 2 -q:v 2 -c:a pcm_s16le",
                          64, 48, 25, true));
    ASSERT_TRUE(makeMovie("h264.avi", 30, "-c:v libx264 -g 9 -bf 3 -pix_fmt yuv420p"));
    // Full-range 4:2:0 (JPEG's colours) as well as video range.
    ASSERT_TRUE(makeMovie("mjpeg420.avi", 12, "-c:v mjpeg -q:v 2 -pix_fmt yuvj420p"));
    ASSERT_TRUE(makeMovie("mjpeg.mov", 20, "-c:v mjpeg -q:v 2 -c:a pcm_s16le", 64, 48, 25, true));
    ASSERT_TRUE(makeMovie("vp9.webm", 20, "-c:v libvpx-vp9 -g 5 -crf 10 -b:v 0 -deadline realtime "
                                         "-cpu-used 8 -c:a libopus",
                          64, 48, 25, true));
    ASSERT_TRUE(makeMovie("ffv1.mkv", 20, "-c:v ffv1 -pix_fmt bgr0 -c:a flac", 64, 48, 25, true));
    expectFramesMatch("h264.mp4", 30, 40);
    expectFramesMatch("mpeg4.avi", 30, 40);
    expectFramesMatch("bframes.avi", 30, 40);
    expectFramesMatch("h264.avi", 30, 40);
    expectFramesMatch("mjpeg420.avi", 12, 40);
    // Odd sizes: the last column and row have chroma of their own.
    // (testsrc2 makes even sizes only; testsrc keeps odd ones.)
    for (const char* size : {"33x18", "33x17", "32x17"}) {
        const std::string name = std::string("odd") + size + ".mkv";
        ASSERT_TRUE(runTool(std::string("ffmpeg -nostdin -y -v error -f lavfi -i testsrc=size=") +
                            size + ":rate=25 -frames:v 5 -c:v ffv1 -pix_fmt yuv420p " +
                            quoted(at(name))));
        expectFramesMatch(name, 5, 40, std::stoi(size), std::stoi(size + 3));
    }
    expectFramesMatch("mjpeg.mov", 20, 40);
    expectFramesMatch("vp9.webm", 20, 40);
    expectFramesMatch("ffv1.mkv", 20, 1000);   // lossless: exact
}

TEST_F(MovieFilesTest, DamagedFilesAreRefusedCleanly) {
    ASSERT_TRUE(makeMovie("good.mp4", 20, "-c:v libx264 -g 5 -pix_fmt yuv420p"));
    ASSERT_TRUE(makeMovie("good.avi", 20, "-c:v mpeg4 -g 5"));
    const std::string mp4 = fileBytes(at("good.mp4"));
    const std::string avi = fileBytes(at("good.avi"));
    writeBytes(at("empty.mov"), "");
    writeBytes(at("half.mp4"), mp4.substr(0, mp4.size() / 2));
    writeBytes(at("head.avi"), avi.substr(0, 300));
    writeBytes(at("tail.avi"), avi.substr(0, avi.size() * 3 / 4));
    std::string noisy = avi;
    for (std::size_t i = 400; i < noisy.size(); i += 97)
        noisy[i] = static_cast<char>(noisy[i] ^ 0x5A);
    writeBytes(at("noisy.avi"), noisy);
    ASSERT_TRUE(runTool("ffmpeg -nostdin -y -v error -f lavfi -i sine=duration=0.2 " +
                        quoted(at("sound.mkv"))));
    EXPECT_EQ(run("set m to file \"" + at("sound.mkv") + "\";"),
              "error: File \"" + at("sound.mkv") + "\" does not seem to be a movie file.");
    EXPECT_EQ(run("set m to file \"" + at("empty.mov") + "\";"),
              "error: File \"" + at("empty.mov") + "\" does not seem to be a movie file.");
    // Whatever survives reads frame by frame or says why not; nothing crashes.
    for (const char* name : {"half.mp4", "head.avi", "tail.avi", "noisy.avi"}) {
        SCOPED_TRACE(name);
        const std::string out =
            run("set m to file \"" + at(name) + "\"; set i to 0;"
                "repeat length of m times begin set f to m[i]; add 1 to i; end print i;");
        EXPECT_TRUE(out.rfind("error: ", 0) == 0 || out.find_first_not_of("0123456789\n") ==
                                                          std::string::npos)
            << out;
    }
    EXPECT_EQ(run("set m to file \"" + at("missing.mov") + "\";").rfind("error: ", 0), 0u);
}

TEST_F(MovieFilesTest, MoviesFromALocalWebServer) {
    const char* python = "python3";
    if (!haveTool(python))
        GTEST_SKIP() << "no python3";
    ASSERT_TRUE(makeMovie("served.mp4", 12, "-c:v libx264 -g 4 -pix_fmt yuv420p"));
    // The server picks a free port and writes it to a file once it listens.
    const std::string script =
        "import http.server, functools, sys\n"
        "class Q(http.server.SimpleHTTPRequestHandler):\n"
        "    def log_message(self, *a): pass\n"
        "s = http.server.HTTPServer(('127.0.0.1', 0), functools.partial(Q, directory=sys.argv[1]))\n"
        "open(sys.argv[2] + '.part', 'w').write(str(s.server_address[1]))\n"
        "import os; os.rename(sys.argv[2] + '.part', sys.argv[2])\n"
        "s.serve_forever()\n";
    writeBytes(at("serve.py"), script);
    const std::string portFile = at("port");
    const std::string command = std::string(python) + " " + quoted(at("serve.py")) + " " +
                                quoted(folder_.string()) + " " + quoted(portFile) +
                                " >/dev/null 2>&1 & echo $!";
    std::string pid;
    ASSERT_TRUE(runTool(command, &pid));
    // Waits for the server however slow the machine; gives up after minutes.
    for (int i = 0; i < 6000 && !std::filesystem::exists(portFile); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(std::filesystem::exists(portFile));
    const std::string base = "http://127.0.0.1:" + fileBytes(portFile) + "/";
    OwnedValue movie(LoadValueFromURL((base + "served.mp4").c_str()));
    OwnedValue length(movie->GetProperty(MvPropertyIdFromName("length")));
    EXPECT_EQ(length->GetNumber(), 12);
    EXPECT_EQ(movieFrame(movie.get(), 11)->GetType(), MvTypeFrame);
    EXPECT_EQ(thrownMessage([&] { delete LoadValueFromURL((base + "missing.mp4").c_str()); }),
              "Movie was not found at the specified URL.");
    EXPECT_EQ(thrownMessage([&] { delete LoadValueFromURL((base + "served.txt").c_str()); }),
              "The URL \"" + base + "served.txt\" does not have a recognized ending.");
    kill(std::stoi(pid), SIGTERM);
}

} // namespace
