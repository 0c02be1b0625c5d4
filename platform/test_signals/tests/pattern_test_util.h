// Frame helpers for the test_signals tests.
#pragma once

#include <cstdint>
#include <vector>

#include "pixel_formats/convert_frame.h"
#include "test_signals/test_pattern.h"

namespace test_signals {
namespace testing_util {

using pixel_formats::PixelFormat;

inline std::vector<uint8_t> Render(uint32_t n, PixelFormat format, int width, int height) {
    std::vector<uint8_t> frame(pixel_formats::FrameSize(format, width, height));
    EXPECT_TRUE(RenderTestPattern(n, format, width, height, frame.data(), frame.size()));
    return frame;
}

inline std::optional<uint32_t> Decode(const std::vector<uint8_t>& frame, PixelFormat format, int width, int height) {
    return DecodeFrameCounter(frame.data(), frame.size(), format, width, height);
}

// Nearest-neighbour resize of a top-down RGB24 frame (default strides), as a
// renderer or a simple scaler downstream of the camera would do it.
inline std::vector<uint8_t> ScaleRgb24(const std::vector<uint8_t>& src, int src_w, int src_h, int dst_w, int dst_h) {
    const size_t src_stride = pixel_formats::DefaultStride(PixelFormat::kRgb24, src_w);
    const size_t dst_stride = pixel_formats::DefaultStride(PixelFormat::kRgb24, dst_w);
    std::vector<uint8_t> dst(dst_stride * dst_h);
    for (int y = 0; y < dst_h; ++y) {
        const int sy = static_cast<int>(static_cast<int64_t>(y) * src_h / dst_h);
        for (int x = 0; x < dst_w; ++x) {
            const int sx = static_cast<int>(static_cast<int64_t>(x) * src_w / dst_w);
            for (int c = 0; c < 3; ++c) dst[y * dst_stride + 3 * x + c] = src[sy * src_stride + 3 * sx + c];
        }
    }
    return dst;
}

}  // namespace testing_util
}  // namespace test_signals
