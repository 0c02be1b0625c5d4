// Frame sizes, row order and buffer limits: what a media type's numbers mean
// for the bytes, and that no conversion strays outside its buffers.
#include <gtest/gtest.h>

#include <vector>

#include "frame_test_util.h"
#include "pixel_formats/convert_frame.h"

namespace pixel_formats {
namespace {

using testing_util::Bgr;
using testing_util::Yuv;

TEST(FrameLayout, DibStridesAndSizes) {
    // RGB rows pad to 4 bytes.
    EXPECT_EQ(DefaultStride(PixelFormat::kRgb24, 1), 4u);
    EXPECT_EQ(DefaultStride(PixelFormat::kRgb24, 3), 12u);
    EXPECT_EQ(DefaultStride(PixelFormat::kRgb24, 5), 16u);
    EXPECT_EQ(DefaultStride(PixelFormat::kRgb565, 3), 8u);
    EXPECT_EQ(DefaultStride(PixelFormat::kRgb32, 3), 12u);
    // Packed YUV rows hold whole pixel pairs, no further padding.
    EXPECT_EQ(DefaultStride(PixelFormat::kYuy2, 3), 8u);
    EXPECT_EQ(DefaultStride(PixelFormat::kUyvy, 6), 12u);
    EXPECT_EQ(FrameSize(PixelFormat::kRgb24, 640, 480), 921600u);
    EXPECT_EQ(FrameSize(PixelFormat::kRgb32, 640, 480), 1228800u);
    EXPECT_EQ(FrameSize(PixelFormat::kRgb565, 640, 480), 614400u);
    EXPECT_EQ(FrameSize(PixelFormat::kYuy2, 640, 480), 614400u);
    EXPECT_EQ(FrameSize(PixelFormat::kI420, 640, 480), 460800u);
    EXPECT_EQ(FrameSize(PixelFormat::kRgb24, 3, -2), 24u);  // top-down: same size
    EXPECT_EQ(FrameSize(PixelFormat::kI420, 3, 3), 9u + 4u + 4u);
    EXPECT_EQ(FrameSize(PixelFormat::kYv12, 5, 1), 5u + 3u + 3u);
}

TEST(FrameLayout, PlanarPlaneOrder) {
    FrameLayout i420, yv12;
    ASSERT_TRUE(ComputeFrameLayout({PixelFormat::kI420, 4, 4}, &i420));
    ASSERT_TRUE(ComputeFrameLayout({PixelFormat::kYv12, 4, 4}, &yv12));
    EXPECT_EQ(i420.planes[1].offset, 16u);  // U right after Y
    EXPECT_EQ(i420.planes[2].offset, 20u);
    EXPECT_EQ(yv12.planes[2].offset, 16u);  // V first in YV12
    EXPECT_EQ(yv12.planes[1].offset, 20u);
    EXPECT_FALSE(i420.bottom_up);
    FrameLayout yuy2;
    ASSERT_TRUE(ComputeFrameLayout({PixelFormat::kYuy2, 4, 4}, &yuy2));
    EXPECT_FALSE(yuy2.bottom_up);  // positive height means bottom-up for RGB only
}

TEST(FrameLayout, RejectsBadSizesAndStrides) {
    FrameLayout layout;
    EXPECT_FALSE(ComputeFrameLayout({PixelFormat::kRgb24, 0, 4}, &layout));
    EXPECT_FALSE(ComputeFrameLayout({PixelFormat::kRgb24, 4, 0}, &layout));
    EXPECT_FALSE(ComputeFrameLayout({PixelFormat::kRgb24, -4, 4}, &layout));
    EXPECT_FALSE(ComputeFrameLayout({PixelFormat::kRgb24, kMaxDimension + 1, 4}, &layout));
    EXPECT_FALSE(ComputeFrameLayout({PixelFormat::kRgb24, 4, -kMaxDimension - 1}, &layout));
    EXPECT_FALSE(ComputeFrameLayout({PixelFormat::kRgb24, 4, 4, 11}, &layout));  // below 12 pixel bytes
    EXPECT_FALSE(ComputeFrameLayout({PixelFormat::kYuy2, 4, 4, -8}, &layout));
    EXPECT_TRUE(ComputeFrameLayout({PixelFormat::kRgb24, 4, 4, 13}, &layout));
    EXPECT_EQ(layout.size, 52u);
    EXPECT_EQ(FrameSize(PixelFormat::kI420, 0, 0), 0u);
}

// The top picture row is white, the rest black: where it lands tells the order.
TEST(Orientation, TopRowFollowsDibRowOrder) {
    const int w = 4, h = 3;
    for (PixelFormat yuv : {PixelFormat::kYuy2, PixelFormat::kUyvy, PixelFormat::kI420, PixelFormat::kYv12}) {
        auto src = testing_util::SolidFrame(yuv, w, h, {}, {16, 128, 128});
        for (int x = 0; x < w; ++x) testing_util::WriteYuv(src, yuv, w, h, x, 0, {235, 128, 128});
        for (PixelFormat rgb : {PixelFormat::kRgb24, PixelFormat::kRgb32, PixelFormat::kRgb565}) {
            for (int sign : {1, -1}) {
                const FrameFormat dst_format{rgb, w, sign * h};
                std::vector<uint8_t> dst(FrameSize(rgb, w, h));
                ASSERT_TRUE(ConvertFrame(src.data(), src.size(), {yuv, w, h}, dst.data(), dst.size(), dst_format));
                const size_t stride = DefaultStride(rgb, w);
                const size_t white_row = sign > 0 ? h - 1 : 0;  // in memory
                EXPECT_EQ(dst[white_row * stride], 255) << PixelFormatName(yuv) << "->" << PixelFormatName(rgb) << sign;
                EXPECT_EQ(dst[(h - 1 - white_row) * stride], 0) << PixelFormatName(yuv) << "->" << PixelFormatName(rgb);

                // And back: the white memory row of the DIB becomes the top YUV row.
                std::vector<uint8_t> back(src.size());
                ASSERT_TRUE(ConvertFrame(dst.data(), dst.size(), dst_format, back.data(), back.size(), {yuv, w, h}));
                EXPECT_EQ(testing_util::ReadYuv(back, yuv, w, h, 0, 0).y, 235);
                EXPECT_EQ(testing_util::ReadYuv(back, yuv, w, h, 0, h - 1).y, 16);
            }
        }
    }
}

TEST(Orientation, FlipsBetweenBottomUpAndTopDownRgb) {
    const int w = 3, h = 2;
    auto bottom_up = testing_util::RandomBytes(FrameSize(PixelFormat::kRgb24, w, h), 3);
    std::vector<uint8_t> top_down(FrameSize(PixelFormat::kRgb32, w, h));
    ASSERT_TRUE(ConvertFrame(bottom_up.data(), bottom_up.size(), {PixelFormat::kRgb24, w, h}, top_down.data(),
                             top_down.size(), {PixelFormat::kRgb32, w, -h}));
    // Memory row 0 of the bottom-up frame is the last memory row of the top-down one.
    for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(top_down[(h - 1) * 12 + 4 * x + c], bottom_up[3 * x + c]);
}

TEST(BufferLimits, RefusesShortBuffersAndWritesNothing) {
    const int w = 5, h = 3;
    for (PixelFormat from : kAllPixelFormats) {
        for (PixelFormat to : kAllPixelFormats) {
            const size_t src_size = FrameSize(from, w, h), dst_size = FrameSize(to, w, h);
            const auto src = testing_util::RandomBytes(src_size, 1);
            std::vector<uint8_t> dst(dst_size, 0xA5);
            const std::vector<uint8_t> untouched = dst;
            EXPECT_FALSE(ConvertFrame(src.data(), src_size - 1, from, dst.data(), dst_size, to, w, h));
            EXPECT_FALSE(ConvertFrame(src.data(), src_size, from, dst.data(), dst_size - 1, to, w, h));
            EXPECT_FALSE(ConvertFrame(nullptr, src_size, from, dst.data(), dst_size, to, w, h));
            EXPECT_FALSE(ConvertFrame(src.data(), src_size, from, nullptr, dst_size, to, w, h));
            EXPECT_FALSE(ConvertFrame(src.data(), src_size, {from, w, h}, dst.data(), dst_size, {to, w + 1, h}));
            EXPECT_FALSE(ConvertFrame(src.data(), src_size, from, dst.data(), dst_size, to, 0, h));
            EXPECT_EQ(dst, untouched) << PixelFormatName(from) << "->" << PixelFormatName(to);
        }
    }
}

TEST(BufferLimits, WiderStrideLeavesRowPaddingAlone) {
    const int w = 5, h = 3;
    const auto src = testing_util::RandomBytes(FrameSize(PixelFormat::kYuy2, w, h), 9);
    std::vector<uint8_t> packed(FrameSize(PixelFormat::kRgb24, w, h));
    ASSERT_TRUE(ConvertFrame(src.data(), src.size(), PixelFormat::kYuy2, packed.data(), packed.size(),
                             PixelFormat::kRgb24, w, h));
    const int stride = 24;  // default is 16
    std::vector<uint8_t> padded(stride * h, 0x5A);
    ASSERT_TRUE(ConvertFrame(src.data(), src.size(), {PixelFormat::kYuy2, w, h}, padded.data(), padded.size(),
                             {PixelFormat::kRgb24, w, h, stride}));
    for (int row = 0; row < h; ++row) {
        for (int i = 0; i < stride; ++i) {
            const uint8_t got = padded[row * stride + i];
            if (i < 3 * w) {
                EXPECT_EQ(got, packed[row * 16 + i]);
            } else {
                EXPECT_EQ(got, 0x5A);
            }
        }
    }
}

}  // namespace
}  // namespace pixel_formats
