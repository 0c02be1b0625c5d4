// BMP files and BGR pictures made from frames: header fields as the BMP
// format defines them, row order and padding, and colours from each family
// of source formats.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "filters/snapshot/frame_pictures.h"

namespace snapshot {
namespace {

using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

struct Bgr {
    int b, g, r;
};

// Pixel (x, y) of a BMP, y counted from the top of the picture, read with
// the file's own header.
Bgr BmpPixel(const std::vector<uint8_t>& file, int x, int y) {
    const int width = static_cast<int>(Le32(file, 18));
    const int height = static_cast<int>(Le32(file, 22));
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const size_t at = Le32(file, 10) + stride * static_cast<size_t>(height - 1 - y) + static_cast<size_t>(x) * 3;
    return {file[at], file[at + 1], file[at + 2]};
}

void ExpectNear(const Bgr& want, const Bgr& got, int tolerance, const char* what) {
    EXPECT_LE(std::abs(want.b - got.b), tolerance) << what << " blue " << got.b;
    EXPECT_LE(std::abs(want.g - got.g), tolerance) << what << " green " << got.g;
    EXPECT_LE(std::abs(want.r - got.r), tolerance) << what << " red " << got.r;
}

TEST(BmpFile, HeadersDescribeABottomUp24BitPictureWithPaddedRows) {
    // Width 3: 9 bytes of pixels per row, padded to 12.
    std::vector<uint8_t> frame(3 * 4 * 2, 0);
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp24(frame.data(), frame.size(), {PixelFormat::kRgb32, 3, 2}, &file));
    ASSERT_EQ(54u + 24u, file.size());
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ('M', file[1]);
    EXPECT_EQ(78u, Le32(file, 2));   // bfSize: the whole file
    EXPECT_EQ(0u, Le32(file, 6));    // reserved
    EXPECT_EQ(54u, Le32(file, 10));  // bfOffBits
    EXPECT_EQ(40u, Le32(file, 14));  // biSize
    EXPECT_EQ(3u, Le32(file, 18));
    EXPECT_EQ(2u, Le32(file, 22));   // positive: bottom-up
    EXPECT_EQ(1u, Le16(file, 26));
    EXPECT_EQ(24u, Le16(file, 28));
    EXPECT_EQ(0u, Le32(file, 30));   // BI_RGB
    EXPECT_EQ(24u, Le32(file, 34));  // biSizeImage
    EXPECT_EQ(0u, Le32(file, 46));   // no palette
}

TEST(BmpFile, TopDownRgb32LandsBottomUpWithZeroPadding) {
    // 3x2 top-down (negative height), six distinct colours.
    const uint8_t frame[] = {
        10, 20, 30, 0, 11, 21, 31, 0, 12, 22, 32, 0,  // top row
        40, 50, 60, 0, 41, 51, 61, 0, 42, 52, 62, 0,  // bottom row
    };
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp24(frame, sizeof frame, {PixelFormat::kRgb32, 3, -2}, &file));
    const std::vector<uint8_t> pixels(file.begin() + 54, file.end());
    const std::vector<uint8_t> expected = {
        40, 50, 60, 41, 51, 61, 42, 52, 62, 0, 0, 0,  // first in the file: the bottom row
        10, 20, 30, 11, 21, 31, 12, 22, 32, 0, 0, 0,
    };
    EXPECT_EQ(expected, pixels);
}

TEST(BmpFile, BottomUpRgb24AtTheDibStrideIsStoredAsItIs) {
    const int w = 5, h = 3;  // 15 bytes per row, stride 16
    std::vector<uint8_t> frame(16 * h);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 7 + 3);
    for (int row = 0; row < h; ++row) frame[row * 16 + 15] = 0;  // padding holds nothing
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp24(frame.data(), frame.size(), {PixelFormat::kRgb24, w, h}, &file));
    EXPECT_EQ(frame, std::vector<uint8_t>(file.begin() + 54, file.end()));
}

TEST(BmpFile, StudioSwingYuy2BecomesFullRangeRgb) {
    // Two pixel pairs: black then white, then mid grey twice; neutral chroma.
    const uint8_t frame[] = {16, 128, 235, 128, 126, 128, 126, 128};
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp24(frame, sizeof frame, {PixelFormat::kYuy2, 4, 1}, &file));
    ExpectNear({0, 0, 0}, BmpPixel(file, 0, 0), 1, "black");
    ExpectNear({255, 255, 255}, BmpPixel(file, 1, 0), 1, "white");
    ExpectNear({128, 128, 128}, BmpPixel(file, 2, 0), 2, "grey");
}

TEST(BmpFile, I420ColoursKeepTheirPlaceInTheTopRow) {
    // 2x2 of BT.601 red over a 2x2 of blue: Y rows, then one U and one V per 2x2 block.
    const int w = 4, h = 2;
    const uint8_t frame[] = {
        81, 81, 41, 41,  // Y, top row
        81, 81, 41, 41,  // Y, bottom row
        90, 240,         // U: red block, blue block
        240, 110,        // V
    };
    std::vector<uint8_t> file;
    ASSERT_TRUE(EncodeBmp24(frame, sizeof frame, {PixelFormat::kI420, w, h}, &file));
    ExpectNear({0, 0, 255}, BmpPixel(file, 0, 0), 3, "red at top left");
    ExpectNear({0, 0, 255}, BmpPixel(file, 1, 1), 3, "red at bottom left");
    ExpectNear({255, 0, 0}, BmpPixel(file, 3, 0), 3, "blue at top right");
}

TEST(BmpFile, RefusesShortFramesAndImpossibleSizes) {
    std::vector<uint8_t> frame(4 * 4 * 3, 0);
    std::vector<uint8_t> file;
    EXPECT_FALSE(EncodeBmp24(frame.data(), frame.size() - 1, {PixelFormat::kRgb24, 4, 4}, &file));
    EXPECT_FALSE(EncodeBmp24(frame.data(), frame.size(), {PixelFormat::kRgb24, 0, 4}, &file));
    EXPECT_FALSE(EncodeBmp24(frame.data(), frame.size(), {PixelFormat::kRgb24, 4, 0}, &file));
    EXPECT_FALSE(EncodeBmp24(frame.data(), frame.size(), {PixelFormat::kRgb24, 40000, 1}, &file));
    EXPECT_FALSE(EncodeBmp24(nullptr, frame.size(), {PixelFormat::kRgb24, 4, 4}, &file));
}

TEST(BgrPicture, RowsRunFromTheTopWhateverTheSourceOrder) {
    // 2x2 bottom-up RGB24: memory row 0 is the bottom of the picture.
    const uint8_t frame[] = {
        1, 2, 3, 4, 5, 6, 0, 0,      // bottom row
        7, 8, 9, 10, 11, 12, 0, 0,   // top row
    };
    BgrPicture picture;
    ASSERT_TRUE(ToTopDownBgr(frame, sizeof frame, {PixelFormat::kRgb24, 2, 2}, &picture));
    EXPECT_EQ(2, picture.width);
    EXPECT_EQ(2, picture.height);
    EXPECT_EQ(8u, picture.stride);
    const std::vector<uint8_t> expected = {7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0};
    EXPECT_EQ(expected, picture.pixels);
}

TEST(BgrPicture, ANarrowerPictureThanItsStrideKeepsItsOwnWidth) {
    // A renderer's stride: 3 pixels shown out of rows 4 pixels (16 bytes) long.
    std::vector<uint8_t> frame(16 * 2, 0);
    frame[0] = 200;   // top-left pixel's blue (top-down frame)
    frame[12] = 99;   // the fourth, hidden pixel
    BgrPicture picture;
    ASSERT_TRUE(ToTopDownBgr(frame.data(), frame.size(), {PixelFormat::kRgb32, 3, -2, 16}, &picture));
    EXPECT_EQ(3, picture.width);
    EXPECT_EQ(12u, picture.stride);
    EXPECT_EQ(200, picture.pixels[0]);
    for (size_t i = 9; i < 12; ++i) EXPECT_EQ(0, picture.pixels[i]) << "padding byte " << i;
}

}  // namespace
}  // namespace snapshot
