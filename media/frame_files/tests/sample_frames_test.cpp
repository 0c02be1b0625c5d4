// The sample frame files decode to what make_frames.py drew, and the GIFs and
// bitmaps decode to the pixels ImageMagick reads from them.
#include <gtest/gtest.h>

#include <numeric>

#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/tests/frame_test_files.h"

namespace frame_files {
namespace {

using frame_test::ReadSample;

FrameAnimation Decode(const std::string& name) {
    const frame_test::Bytes bytes = ReadSample(name);
    FrameAnimation animation;
    const DecodeError e = DecodeFrameFile(bytes.data(), bytes.size(), &animation);
    EXPECT_EQ(e, DecodeError::None) << name << ": " << DecodeErrorName(e) << " (" << bytes.size() << " bytes)";
    return animation;
}

uint8_t AlphaAt(const FrameAnimation& a, size_t frame, int x, int y) {
    return a.frames[frame].rgba[(static_cast<size_t>(y) * a.width + x) * 4 + 3];
}

std::vector<uint32_t> Durations(const FrameAnimation& a) {
    std::vector<uint32_t> d;
    for (const AnimationFrame& f : a.frames) d.push_back(f.duration_ms);
    return d;
}

TEST(SampleFrames, PictureFramesAreStillsWithATransparentCentreAndAnOpaqueBorder) {
    for (const char* name : {"wood.bmp", "filmstrip.bmp", "hearts.bmp", "stars.bmp", "polka.bmp", "postcard.bmp",
                             "snow.bmp"}) {
        SCOPED_TRACE(name);
        const FrameAnimation a = Decode(name);
        ASSERT_EQ(a.frames.size(), 1u);
        EXPECT_EQ(a.width, 320);
        EXPECT_EQ(a.height, 240);
        EXPECT_EQ(a.frames[0].duration_ms, 1000u);
        EXPECT_EQ(AlphaAt(a, 0, 160, 120), 0) << "the camera shows in the middle";
        size_t opaque = 0;
        for (size_t i = 3; i < a.frames[0].rgba.size(); i += 4) opaque += a.frames[0].rgba[i] == 255;
        EXPECT_GT(opaque, 1000u) << "the frame itself is drawn";
    }
}

TEST(SampleFrames, KeyColourAndAlphaRulesGiveTheDrawnTransparency) {
    const FrameAnimation film = Decode("filmstrip.bmp");
    EXPECT_EQ(AlphaAt(film, 0, 12, 14), 0) << "sprocket hole is keyed out";
    EXPECT_EQ(AlphaAt(film, 0, 2, 14), 255);
    const FrameAnimation postcard = Decode("postcard.bmp");  // 32-bit BI_RGB with alpha
    EXPECT_EQ(AlphaAt(postcard, 0, 2, 120), 255);
    const uint8_t shadow = AlphaAt(postcard, 0, 25, 120);
    EXPECT_GT(shadow, 0);
    EXPECT_LT(shadow, 255) << "the soft shadow keeps its partial alpha";
    const FrameAnimation snow = Decode("snow.bmp");  // 32-bit bitfields in a V4 header
    EXPECT_EQ(AlphaAt(snow, 0, 160, 239), 255);
    EXPECT_LT(AlphaAt(snow, 0, 40, 40), 255);
    EXPECT_GT(AlphaAt(snow, 0, 1, 1), 0) << "frost in the corner";
}

TEST(SampleFrames, GifsKeepTheirFramesDelaysAndLooping) {
    struct Expected {
        const char* name;
        std::vector<uint32_t> delays;
    };
    const Expected expected[] = {
        {"twinkle.gif", {300, 120, 160, 120, 160, 120, 400}},
        {"snowfall.gif", std::vector<uint32_t>(8, 100)},
        {"bubbles.gif", {100, 80, 120, 160, 80, 120, 160}},
        {"sun.gif", std::vector<uint32_t>(8, 100)},  // written with delay 0
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const FrameAnimation a = Decode(e.name);
        EXPECT_EQ(a.width, 320);
        EXPECT_EQ(a.height, 240);
        EXPECT_TRUE(a.loops);
        EXPECT_EQ(Durations(a), e.delays);
        EXPECT_EQ(AlphaAt(a, 0, 160, 120), 0);
    }
}

// Every frame, every pixel: alpha equal, colour equal where opaque.
void ExpectSameAsImageMagick(const std::string& name, const FrameAnimation& ours) {
    frame_test::MagickFrames magick;
    std::string error;
    ASSERT_TRUE(frame_test::ReadWithImageMagick(frame_test::SamplePath(name), &magick, &error)) << error;
    ASSERT_EQ(magick.width, ours.width);
    ASSERT_EQ(magick.height, ours.height);
    ASSERT_EQ(magick.rgba.size(), ours.frames.size());
    for (size_t f = 0; f < ours.frames.size(); ++f) {
        size_t differing = 0;
        const frame_test::Bytes& theirs = magick.rgba[f];
        const std::vector<uint8_t>& mine = ours.frames[f].rgba;
        for (size_t i = 0; i < mine.size(); i += 4) {
            const bool colour_matters = mine[i + 3] != 0;
            if (mine[i + 3] != theirs[i + 3] ||
                (colour_matters && !std::equal(&mine[i], &mine[i] + 3, &theirs[i])))
                ++differing;
        }
        EXPECT_EQ(differing, 0u) << name << " frame " << f;
    }
}

TEST(SampleFrames, GifsDecodeToImageMagicksCoalescedFrames) {
    for (const char* name : {"twinkle.gif", "snowfall.gif", "bubbles.gif", "sun.gif"})
        ExpectSameAsImageMagick(name, Decode(name));
}

TEST(SampleFrames, BitmapColoursMatchImageMagick) {
    for (const char* name : {"wood.bmp", "polka.bmp", "snow.bmp"}) {
        SCOPED_TRACE(name);
        const FrameAnimation ours = Decode(name);
        frame_test::MagickFrames magick;
        std::string error;
        ASSERT_TRUE(frame_test::ReadWithImageMagick(frame_test::SamplePath(name), &magick, &error)) << error;
        ASSERT_EQ(magick.rgba.size(), 1u);
        const frame_test::Bytes& theirs = magick.rgba[0];
        const std::vector<uint8_t>& mine = ours.frames[0].rgba;
        ASSERT_EQ(theirs.size(), mine.size());
        size_t compared = 0, differing = 0;
        for (size_t i = 0; i < mine.size(); i += 4) {
            if (mine[i + 3] != 255) continue;  // keyed or translucent: ImageMagick keeps the stored colour
            ++compared;
            differing += !std::equal(&mine[i], &mine[i] + 3, &theirs[i]);
        }
        EXPECT_GT(compared, 1000u);
        EXPECT_EQ(differing, 0u);
    }
}

// Centre of the pixels that differ from the stage background in a band of rows.
double DrawnCentreX(const FrameAnimation& a, size_t frame, int top, int bottom) {
    double sum = 0, count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < a.width; ++x)
            if (AlphaAt(a, frame, x, y) != 0) sum += x, ++count;
    return count ? sum / count : -1;
}

bool IsBalloonRed(const uint8_t* p) { return p[3] == 255 && p[0] > 180 && p[1] < 110 && p[2] < 130; }
bool IsBalloonBlue(const uint8_t* p) { return p[3] == 255 && p[2] > 180 && p[0] < 110; }

// Pixels of a colour below the bunting along the top.
size_t CountBelowBunting(const FrameAnimation& a, size_t frame, bool (*is)(const uint8_t*)) {
    size_t count = 0;
    for (size_t i = static_cast<size_t>(30) * a.width * 4; i < a.frames[frame].rgba.size(); i += 4)
        count += is(&a.frames[frame].rgba[i]);
    return count;
}

TEST(SampleFrames, FlashMoviesPlayTheirBitmapsMoving) {
    const FrameAnimation balloons = Decode("balloons.swf");  // uncompressed
    ASSERT_EQ(balloons.frames.size(), 12u);
    EXPECT_EQ(balloons.width, 320);
    EXPECT_EQ(balloons.TotalDurationMs(), 1000u) << "12 frames at 12 per second";
    EXPECT_EQ(AlphaAt(balloons, 0, 160, 120), 0) << "key-coloured stage background is transparent";
    EXPECT_EQ(AlphaAt(balloons, 0, 10, 5), 255) << "the bunting along the top";
    for (size_t f = 1; f < balloons.frames.size(); ++f)
        EXPECT_NE(balloons.frames[f].rgba, balloons.frames[f - 1].rgba) << "frame " << f << " moved nothing";
    // Frame 6 replaces the red balloon's character by the blue one; frame 9 removes the right-hand balloon.
    EXPECT_GT(CountBelowBunting(balloons, 5, IsBalloonRed), 200u);
    EXPECT_EQ(CountBelowBunting(balloons, 6, IsBalloonRed), 0u);
    const size_t two_blue = CountBelowBunting(balloons, 8, IsBalloonBlue), one_blue = CountBelowBunting(balloons, 9, IsBalloonBlue);
    EXPECT_GT(one_blue, 200u);
    EXPECT_LT(one_blue * 3, two_blue * 2);

    const FrameAnimation butterflies = Decode("butterflies.swf");  // zlib-compressed
    ASSERT_EQ(butterflies.frames.size(), 10u);
    EXPECT_EQ(Durations(butterflies), std::vector<uint32_t>(10, 100));
    double last = -1;
    for (size_t f = 0; f < butterflies.frames.size(); ++f) {
        const double x = DrawnCentreX(butterflies, f, 0, 100);
        EXPECT_GT(x, last) << "the butterfly flies right, frame " << f;
        last = x;
    }
    EXPECT_EQ(AlphaAt(butterflies, 0, 22, 210), 255) << "flowers in the bottom left corner";
}

TEST(SampleFrames, FirstFrameOnlyDecodesTheSameFirstPicture) {
    for (const char* name : {"bubbles.gif", "butterflies.swf", "stars.bmp"}) {
        SCOPED_TRACE(name);
        const frame_test::Bytes bytes = ReadSample(name);
        FrameAnimation all, first;
        DecodeOptions options;
        options.first_frame_only = true;
        ASSERT_EQ(DecodeFrameFile(bytes.data(), bytes.size(), &all), DecodeError::None);
        ASSERT_EQ(DecodeFrameFile(bytes.data(), bytes.size(), &first, options), DecodeError::None);
        ASSERT_EQ(first.frames.size(), 1u);
        EXPECT_EQ(first.frames[0].rgba, all.frames[0].rgba);
    }
}

}  // namespace
}  // namespace frame_files
