// Bitmap layouts beyond the samples: row order, palette depths, and the
// transparency rule's three cases for 32-bit pictures.
#include <gtest/gtest.h>

#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/tests/frame_test_files.h"

namespace frame_files {
namespace {

using frame_test::Bytes;
using frame_test::MakeBitmap;

FrameAnimation DecodeOk(const Bytes& bmp) {
    FrameAnimation a;
    EXPECT_EQ(DecodeBitmapFrame(bmp.data(), bmp.size(), &a), DecodeError::None);
    return a;
}

// 3x2, rows top first, B G R bytes: magenta key, red, green / blue, white, black.
const Bytes kRows24 = {255, 0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 0};
const Bytes kExpected = {0, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255,  //
                         0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255};

TEST(BitmapVariants, BottomUpAndTopDownRowsGiveTheSamePicture) {
    const FrameAnimation up = DecodeOk(MakeBitmap(3, 2, 24, kRows24, false));
    const FrameAnimation down = DecodeOk(MakeBitmap(3, 2, 24, kRows24, true));
    ASSERT_EQ(up.frames.size(), 1u);
    EXPECT_EQ(up.frames[0].rgba, kExpected) << "key colour transparent, the rest opaque";
    EXPECT_EQ(down.frames[0].rgba, kExpected);
}

TEST(BitmapVariants, PalettesOfOneFourAndEightBits) {
    const Bytes palette = {255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};  // key, red, green, blue
    const Bytes indices = {0, 1, 2, 3, 2, 1};
    const FrameAnimation eight = DecodeOk(MakeBitmap(3, 2, 8, indices, false, palette));
    EXPECT_EQ(eight.frames[0].rgba, (Bytes{0, 0, 0, 0, 255, 0, 0, 255, 0, 255, 0, 255,  //
                                           0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255}));
    // The same picture packed two and eight pixels a byte, high bits first.
    const FrameAnimation four = DecodeOk(MakeBitmap(3, 2, 4, {0x01, 0x20, 0x32, 0x10}, false, palette));
    EXPECT_EQ(four.frames[0].rgba, eight.frames[0].rgba);
    const FrameAnimation one = DecodeOk(MakeBitmap(3, 2, 1, {0x40, 0xA0}, false, Bytes(palette.begin(), palette.begin() + 8)));
    EXPECT_EQ(one.frames[0].rgba, (Bytes{0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0,  //
                                         255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255}));
}

TEST(BitmapVariants, ThirtyTwoBitPicturesUseAlphaOnlyWhenTheyHaveSome) {
    // B G R A: magenta with alpha 0, red with alpha 0.
    const Bytes zero_alpha = {255, 0, 255, 0, 0, 0, 255, 0};
    for (bool bitfields : {false, true}) {
        const FrameAnimation keyed = DecodeOk(MakeBitmap(2, 1, 32, zero_alpha, false, {}, bitfields));
        EXPECT_EQ(keyed.frames[0].rgba, (Bytes{0, 0, 0, 0, 255, 0, 0, 255})) << "all-zero alpha: the key rule";
        const Bytes with_alpha = {255, 0, 255, 255, 0, 0, 255, 90};
        const FrameAnimation alpha = DecodeOk(MakeBitmap(2, 1, 32, with_alpha, false, {}, bitfields));
        EXPECT_EQ(alpha.frames[0].rgba, (Bytes{255, 0, 255, 255, 255, 0, 0, 90})) << "own alpha: magenta is opaque";
    }
    // Bitfields after a 40-byte header carry no alpha mask: the key rule applies.
    Bytes three_masks = MakeBitmap(2, 1, 32, {255, 0, 255, 9, 0, 0, 255, 9});
    three_masks[30] = 3;
    const uint8_t masks[12] = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
    three_masks.insert(three_masks.begin() + 54, masks, masks + 12);
    three_masks[10] += 12;
    const FrameAnimation no_alpha_mask = DecodeOk(three_masks);
    EXPECT_EQ(no_alpha_mask.frames[0].rgba, (Bytes{0, 0, 0, 0, 255, 0, 0, 255}));
}

}  // namespace
}  // namespace frame_files
