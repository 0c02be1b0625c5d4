// Tiny hand-built GIFs: how frames compose on the logical screen (disposal
// methods, transparent index, local palettes, interlace) and their timing.
#include <gtest/gtest.h>

#include <string>

#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/tests/frame_test_files.h"

namespace frame_files {
namespace {

using frame_test::GifImage;

// Palette letters: K black, R red, G green, B blue; '.' is transparent.
const std::vector<uint8_t> kRgbk = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};

std::vector<uint8_t> Indices(const std::string& letters) {
    std::vector<uint8_t> out;
    for (char c : letters) out.push_back(static_cast<uint8_t>(std::string("KRGB").find(c)));
    return out;
}

// One letter per pixel, rows joined, as above.
std::string Letters(const FrameAnimation& a, size_t frame) {
    std::string s;
    const std::vector<uint8_t>& p = a.frames[frame].rgba;
    for (size_t i = 0; i < p.size(); i += 4) {
        if (p[i + 3] == 0) {
            s += '.';
            continue;
        }
        const int r = p[i], g = p[i + 1], b = p[i + 2];
        s += r == 255 && !g && !b ? 'R' : g == 255 && !r && !b ? 'G' : b == 255 && !r && !g ? 'B' : !r && !g && !b ? 'K' : '?';
    }
    return s;
}

GifImage Image(int left, int top, int width, int height, const std::string& letters, int disposal,
               int transparent = -1) {
    GifImage image;
    image.left = left, image.top = top, image.width = width, image.height = height;
    image.indices = Indices(letters);
    image.disposal = disposal;
    image.transparent = transparent;
    return image;
}

FrameAnimation DecodeOk(const frame_test::Bytes& gif) {
    FrameAnimation a;
    EXPECT_EQ(DecodeGifFrames(gif.data(), gif.size(), &a), DecodeError::None);
    return a;
}

TEST(GifComposition, DisposalMethodsComposeLikeBrowsers) {
    const frame_test::Bytes gif = frame_test::MakeGif(4, 3, kRgbk, {
        Image(0, 0, 4, 3, "RRRRRRRRRRRR", 1),  // leave in place
        Image(1, 1, 2, 2, "GGGG", 2),           // cleared to transparent afterwards
        Image(0, 0, 2, 1, "BB", 3),             // undone afterwards
        Image(2, 0, 2, 2, "KGKG", 0, 0),        // K is transparent: what lies below shows
    });
    const FrameAnimation a = DecodeOk(gif);
    ASSERT_EQ(a.frames.size(), 4u);
    EXPECT_EQ(Letters(a, 0), "RRRR" "RRRR" "RRRR");
    EXPECT_EQ(Letters(a, 1), "RRRR" "RGGR" "RGGR");
    EXPECT_EQ(Letters(a, 2), "BBRR" "R..R" "R..R");
    EXPECT_EQ(Letters(a, 3), "RRRG" "R..G" "R..R");
}

TEST(GifComposition, InterlacedRowsLandWhereTheyBelong) {
    std::string letters;
    for (int y = 0; y < 11; ++y) letters += std::string(3, "KRGB"[y % 4]);
    GifImage plain = Image(0, 0, 3, 11, letters, 1), interlaced = plain;
    interlaced.interlaced = true;
    const FrameAnimation a = DecodeOk(frame_test::MakeGif(3, 11, kRgbk, {plain})),
                         b = DecodeOk(frame_test::MakeGif(3, 11, kRgbk, {interlaced}));
    ASSERT_EQ(b.frames.size(), 1u);
    EXPECT_EQ(Letters(b, 0), letters);
    EXPECT_EQ(Letters(a, 0), Letters(b, 0));
}

TEST(GifComposition, LocalPaletteAppliesToItsImageOnly) {
    GifImage first = Image(0, 0, 2, 1, "RG", 1);
    GifImage second = Image(1, 0, 1, 1, "R", 1);  // index 1: blue in its own palette
    second.local_rgb = {0, 0, 0, 0, 0, 255};
    const FrameAnimation a = DecodeOk(frame_test::MakeGif(2, 1, kRgbk, {first, second}));
    ASSERT_EQ(a.frames.size(), 2u);
    EXPECT_EQ(Letters(a, 1), "RB");
}

TEST(GifComposition, DelaysFollowBrowsersAndLoopingFollowsTheNetscapeBlock) {
    std::vector<GifImage> images;
    for (int delay : {0, 1, 2, 7, 150}) {
        images.push_back(Image(0, 0, 1, 1, "R", 1));
        images.back().delay_cs = delay;
    }
    const FrameAnimation looping = DecodeOk(frame_test::MakeGif(1, 1, kRgbk, images, true));
    std::vector<uint32_t> delays;
    for (const AnimationFrame& f : looping.frames) delays.push_back(f.duration_ms);
    EXPECT_EQ(delays, (std::vector<uint32_t>{100, 100, 20, 70, 1500}));
    EXPECT_TRUE(looping.loops);
    EXPECT_FALSE(DecodeOk(frame_test::MakeGif(1, 1, kRgbk, images, false)).loops);
}

TEST(GifComposition, ImagesReachingPastTheScreenAreClipped) {
    const FrameAnimation a = DecodeOk(frame_test::MakeGif(2, 2, kRgbk, {Image(1, 1, 3, 2, "GGGBBB", 1)}));
    ASSERT_EQ(a.frames.size(), 1u);
    EXPECT_EQ(Letters(a, 0), ".." ".G");
}

TEST(GifComposition, ZeroLogicalScreenTakesTheFirstImagesExtent) {
    const FrameAnimation a = DecodeOk(frame_test::MakeGif(0, 0, kRgbk, {Image(1, 0, 2, 2, "RGBK", 1)}));
    ASSERT_EQ(a.frames.size(), 1u);
    EXPECT_EQ(a.width, 3);
    EXPECT_EQ(a.height, 2);
    EXPECT_EQ(Letters(a, 0), ".RG" ".BK");
}

}  // namespace
}  // namespace frame_files
