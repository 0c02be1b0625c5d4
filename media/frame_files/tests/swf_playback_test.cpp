// Hand-built movies: how shapes, fills, matrices, colour transforms and the
// place and remove tags of every version come out in the pictures.
#include <gtest/gtest.h>

#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/tests/frame_test_files.h"

namespace frame_files {
namespace {

using namespace frame_test;

constexpr uint8_t kKey[3] = {255, 0, 255};
const Bytes kRedBlue = {255, 0, 0, 255, 0, 0, 255, 255};  // a 2x1 bitmap

Bytes Background() { return SwfTag(9, Bytes(kKey, kKey + 3)); }
Bytes ShowFrame() { return {0x40, 0x00}; }

// DefineShape3/4 of the given bounds whose fill styles are a solid colour, a
// linear gradient and then the bitmap fill (type) with a 20-twips-per-pixel matrix.
Bytes BitmapShape(int code, uint16_t id, uint16_t bitmap, int width_px, int height_px, uint8_t type) {
    Bytes body = {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8)};
    const Bytes bounds = SwfRect(0, width_px * 20, 0, height_px * 20);
    body.insert(body.end(), bounds.begin(), bounds.end());
    if (code == 83) {
        body.insert(body.end(), bounds.begin(), bounds.end());
        body.push_back(0);
    }
    body.insert(body.end(), {3, 0x00, 1, 2, 3, 255, 0x10});
    const Bytes identity = SwfMatrix(1, 1, 0, 0, 0, 0), fill = SwfMatrix(20, 20, 0, 0, 0, 0);
    body.insert(body.end(), identity.begin(), identity.end());
    body.insert(body.end(), {2, 0, 9, 9, 9, 255, 255, 8, 8, 8, 255});
    body.insert(body.end(), {type, static_cast<uint8_t>(bitmap), static_cast<uint8_t>(bitmap >> 8)});
    body.insert(body.end(), fill.begin(), fill.end());
    body.insert(body.end(), {0, 0x10, 0x00});  // no line styles; shape records left empty
    return SwfTag(code, body);
}

// PlaceObject2 (code 26) or PlaceObject3 (70, with a class name) with a matrix.
Bytes Place(int code, uint16_t depth, int character, const Bytes& matrix, bool move = false,
            const Bytes& colour = {}) {
    Bytes body = {static_cast<uint8_t>((move ? 1 : 0) | (character >= 0 ? 2 : 0) | 4 | (colour.empty() ? 0 : 8))};
    if (code == 70) body.push_back(0x08);
    body.insert(body.end(), {static_cast<uint8_t>(depth), static_cast<uint8_t>(depth >> 8)});
    if (code == 70) body.insert(body.end(), {'P', 'i', 'c', 0});
    if (character >= 0) body.insert(body.end(), {static_cast<uint8_t>(character), static_cast<uint8_t>(character >> 8)});
    body.insert(body.end(), matrix.begin(), matrix.end());
    body.insert(body.end(), colour.begin(), colour.end());
    return SwfTag(code, body);
}

FrameAnimation Play(const std::vector<Bytes>& tags, bool compressed = false) {
    const Bytes movie = SwfMovie(8, 6, 10, tags, compressed);
    FrameAnimation a;
    EXPECT_EQ(DecodeFlashFrames(movie.data(), movie.size(), &a), DecodeError::None);
    return a;
}

std::vector<uint8_t> Pixel(const FrameAnimation& a, size_t frame, int x, int y) {
    const uint8_t* p = &a.frames[frame].rgba[(static_cast<size_t>(y) * a.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

const std::vector<uint8_t> kRed = {255, 0, 0, 255}, kBlue = {0, 0, 255, 255}, kClear = {0, 0, 0, 0};

TEST(SwfPlayback, RotatedPlacementOfAShapeWhoseBitmapFillFollowsOtherFills) {
    for (int shape_code : {32, 83}) {
        SCOPED_TRACE(shape_code);
        // A quarter turn: shape x runs down the stage, shape y runs left; origin at pixel (4, 2).
        const FrameAnimation a = Play({Background(), SwfLossless2(1, 2, 1, kRedBlue),
                                       BitmapShape(shape_code, 2, 1, 2, 1, 0x41),
                                       Place(70, 1, 2, SwfMatrix(0, 0, 1, -1, 80, 40)), ShowFrame()},
                                      true);
        ASSERT_EQ(a.frames.size(), 1u);
        EXPECT_EQ(Pixel(a, 0, 3, 2), kRed);
        EXPECT_EQ(Pixel(a, 0, 3, 3), kBlue);
        EXPECT_EQ(Pixel(a, 0, 4, 2), kClear);
        EXPECT_EQ(Pixel(a, 0, 2, 2), kClear);
        EXPECT_EQ(Pixel(a, 0, 3, 4), kClear) << "the shape's bounds end the fill";
    }
}

TEST(SwfPlayback, RepeatingFillTilesAndColourTransformFadesThePicture) {
    SwfBits half;  // CXFORMWITHALPHA: multiply terms only, alpha * 128 / 256
    half.Put(0, 1), half.Put(1, 1), half.Put(10, 4);
    for (int v : {256, 256, 256, 128}) half.Put(v, 10);
    const FrameAnimation a = Play({Background(), SwfLossless2(1, 2, 1, kRedBlue), BitmapShape(32, 2, 1, 6, 1, 0x40),
                                   Place(26, 1, 2, SwfMatrix(1, 1, 0, 0, 0, 0)), ShowFrame(),
                                   Place(26, 1, -1, SwfMatrix(1, 1, 0, 0, 20, 40), true, half.Take()),
                                   ShowFrame()});
    ASSERT_EQ(a.frames.size(), 2u);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Pixel(a, 0, x, 0), x % 2 ? kBlue : kRed) << x;
    EXPECT_EQ(Pixel(a, 0, 6, 0), kClear);
    EXPECT_EQ(Pixel(a, 1, 0, 0), kClear) << "moved away";
    EXPECT_EQ(Pixel(a, 1, 1, 2), (std::vector<uint8_t>{255, 0, 0, 255 * 128 / 256})) << "moved one right, two down, half faded";
}

TEST(SwfPlayback, FirstVersionTagsAndUnchangedFramesLengthenThePictureBefore) {
    const Bytes place_v1 = [] {
        Bytes body = {2, 0, 1, 0};  // character 2 at depth 1
        const Bytes m = SwfMatrix(1, 1, 0, 0, 40, 0);
        body.insert(body.end(), m.begin(), m.end());
        return SwfTag(4, body);
    }();
    const FrameAnimation a = Play({Background(), SwfLossless2(1, 2, 1, kRedBlue), BitmapShape(32, 2, 1, 2, 1, 0x41),
                                   place_v1, ShowFrame(), ShowFrame(), ShowFrame(), SwfTag(5, {2, 0, 1, 0}),
                                   ShowFrame()});
    ASSERT_EQ(a.frames.size(), 2u);
    EXPECT_EQ(a.frames[0].duration_ms, 300u) << "three showings of one picture at 10 per second";
    EXPECT_EQ(a.frames[1].duration_ms, 100u);
    EXPECT_EQ(Pixel(a, 0, 2, 0), kRed);
    EXPECT_EQ(Pixel(a, 1, 2, 0), kClear) << "RemoveObject took it away";
}

}  // namespace
}  // namespace frame_files
