// The picture formats a test camera offers: plain data, no Win32, so the
// format arithmetic is checked by host tests.
#pragma once

#include <cstdint>
#include <vector>

#include "pixel_formats/pixel_format.h"

namespace test_devices {

using pixel_formats::PixelFormat;

struct VideoMode {
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::kRgb24;
};

inline bool operator==(const VideoMode& a, const VideoMode& b) {
    return a.width == b.width && a.height == b.height && a.format == b.format;
}

// 100-ns units, as DirectShow counts time.
constexpr int64_t kDefaultFrameInterval = 333333;    // 30 frames per second
constexpr int64_t kLongestFrameInterval = 10000000;  // 1 frame per second

// Sizes a camera lists; more than that are not offered.
constexpr int kMaxSizeCount = 32;
constexpr int kDefaultSizeCount = 4;

// Bytes of one frame as a DIB would hold it (biSizeImage).
uint32_t FrameBytes(const VideoMode& mode);
// FOURCC for the DIB header's biCompression (0 = BI_RGB for RGB24).
uint32_t Compression(PixelFormat format);

// The first `count` sizes of a fixed ladder (clamped to 1..kMaxSizeCount);
// the first four are 160x120, 320x240, 640x480 and 1280x720.
std::vector<VideoMode> CameraSizes(int count);

// Every mode of a camera with `sizeCount` sizes: all sizes in RGB24 (unless
// withRgb24 is false), then in YUY2, then in I420. The order is the capability order.
std::vector<VideoMode> CameraModes(int sizeCount, bool withRgb24 = true);

// The mode a camera starts with: RGB24 at 640x480 when listed, else the
// first mode.
int DefaultModeIndex(const std::vector<VideoMode>& modes);

}  // namespace test_devices
