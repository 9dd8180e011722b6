// The flat movie functions a host calls, and the compression preferences
// new movies start with.
#include "movie_support.h"

#include "morvane/MvMovieApi.h"

namespace {

class MovieApiTest : public MovieFolderTest {};

OwnedValue movieOfFrames(int frames, int w = 8, int h = 8) {
    OwnedValue movie(MvMovieCreate(nullptr));
    OwnedValue frame(MvFrameColorCreate(w, h));
    for (int i = 0; i < frames; ++i) {
        MvValueHolder held(frame->Clone());
        movie->Append(held);
    }
    return movie;
}

TEST_F(MovieApiTest, FramesAndTimes) {
    OwnedValue movie = movieOfFrames(3);
    MvMovieSetFrameRate(movie.get(), 10);
    EXPECT_EQ(MvMovieGetFrameCount(movie.get()), 3);
    EXPECT_EQ(MvMovieGetWidth(movie.get()), 8);
    EXPECT_EQ(MvMovieGetHeight(movie.get()), 8);
    // Frames already added keep the rate they were added at.
    EXPECT_NEAR(MvMovieGetIndexTime(movie.get(), 2), 2 / 29.97, 1e-9);
    EXPECT_NEAR(MvMovieGetIndexDuration(movie.get(), 0), 1 / 29.97, 1e-9);
    EXPECT_EQ(MvMovieGetIndexDuration(movie.get(), 3), -1);
    EXPECT_EQ(MvMovieGetIndexTime(movie.get(), 4), -1);
    OwnedValue last(MvMovieGetFrame(movie.get(), 2));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetType(), MvTypeFrame);
    EXPECT_EQ(MvMovieGetFrame(movie.get(), 3), nullptr);
    EXPECT_EQ(MvMovieGetFrame(movie.get(), -1), nullptr);
}

TEST_F(MovieApiTest, MoviesCombine) {
    OwnedValue movie = movieOfFrames(2);
    OwnedValue other = movieOfFrames(3);
    MvMovieAppendMovie(movie.get(), other.get());
    MvMoviePrependMovie(movie.get(), other.get());
    MvMovieInsertMovie(movie.get(), other.get(), 1);
    EXPECT_EQ(MvMovieGetFrameCount(movie.get()), 11);
    MvMovieInsertMovie(movie.get(), other.get(), 12);   // past the end: refused
    EXPECT_EQ(MvMovieGetFrameCount(movie.get()), 11);
    OwnedValue number(MvNumberCreate(1));
    MvMovieAppendMovie(movie.get(), number.get());
    EXPECT_EQ(MvMovieGetFrameCount(movie.get()), 11);
    EXPECT_EQ(temporaryFiles(), 2);
    movie.reset();
    other.reset();
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(MovieApiTest, CompressionSettings) {
    OwnedValue movie = movieOfFrames(0);
    EXPECT_STREQ(MvMovieGetCompression(movie.get()), "Cinepak");
    MvMovieSetCompression(movie.get(), "PNG");
    EXPECT_STREQ(MvMovieGetCompression(movie.get()), "PNG");
    MvMovieSetCompression(movie.get(), "Nonesuch");
    EXPECT_STREQ(MvMovieGetCompression(movie.get()), "PNG");
    MvMovieSetKeyFrameInterval(movie.get(), 5);
    EXPECT_EQ(MvMovieGetKeyFrameInterval(movie.get()), 5);
    MvMovieSetSpatialQuality(movie.get(), 0.75);
    EXPECT_EQ(MvMovieGetSpatialQuality(movie.get()), 0.75);
    MvMovieSetTemporalQuality(movie.get(), 2);
    EXPECT_EQ(MvMovieGetTemporalQuality(movie.get()), 0.5);
}

TEST_F(MovieApiTest, PreferencesOfNewMovies) {
    MvMoviePreferenceRecord saved;
    MvMovieGetPreferences(&saved);
    EXPECT_STREQ(saved.compressor, "Cinepak");
    EXPECT_EQ(saved.keyFrameInterval, 24);
    MvMoviePreferenceRecord wanted = saved;
    std::strcpy(wanted.compressor, "FFV1");
    wanted.frameRate = 12;
    ASSERT_TRUE(MvMovieSetPreferences(&wanted));
    OwnedValue movie(MvMovieCreate(nullptr));
    EXPECT_STREQ(MvMovieGetCompression(movie.get()), "FFV1");
    EXPECT_EQ(MvMovieGetFrameRate(movie.get()), 12);
    MvMoviePreferenceRecord bad = wanted;
    bad.spatialQuality = 1.5;
    EXPECT_FALSE(MvMovieSetPreferences(&bad));
    std::strcpy(bad.compressor, "Nonesuch");
    bad.spatialQuality = 0.5;
    EXPECT_FALSE(MvMovieSetPreferences(&bad));
    EXPECT_FALSE(MvMovieSetPreferences(nullptr));
    MvMoviePreferenceRecord now;
    MvMovieGetPreferences(&now);
    EXPECT_STREQ(now.compressor, "FFV1");
    ASSERT_TRUE(MvMovieSetPreferences(&saved));
}

} // namespace
