// Helpers shared by the pixel_formats tests: frames in exactly sized heap
// buffers (so the sanitizers see any overrun) and pixel readers that go
// through the layout rather than through the converter under test.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "pixel_formats/pixel_format.h"

namespace pixel_formats {
namespace testing_util {

struct Bgr {
    int b, g, r;
};

struct Yuv {
    int y, u, v;
};

inline std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

inline FrameLayout LayoutOf(PixelFormat format, int width, int height) {
    FrameLayout layout;
    ComputeFrameLayout({format, width, height, 0}, &layout);
    return layout;
}

// Address of picture pixel (x, y), y counted from the top, in plane `plane`
// whose samples are `bytes_per_sample` apart.
inline size_t OffsetOf(const FrameLayout& l, int plane, int x, int y, int bytes_per_sample) {
    const PlaneLayout& p = l.planes[plane];
    const int row = l.bottom_up ? p.rows - 1 - y : y;
    return p.offset + p.stride * row + static_cast<size_t>(x) * bytes_per_sample;
}

// Reads an RGB24 or RGB32 pixel.
inline Bgr ReadBgr(const std::vector<uint8_t>& frame, PixelFormat format, int width, int height, int x, int y) {
    const FrameLayout l = LayoutOf(format, width, height);
    const uint8_t* p = &frame[OffsetOf(l, 0, x, y, BitsPerPixel(format) / 8)];
    return {p[0], p[1], p[2]};
}

inline void WriteBgr(std::vector<uint8_t>& frame, PixelFormat format, int width, int height, int x, int y,
                     Bgr c) {
    const FrameLayout l = LayoutOf(format, width, height);
    uint8_t* p = &frame[OffsetOf(l, 0, x, y, BitsPerPixel(format) / 8)];
    p[0] = static_cast<uint8_t>(c.b);
    p[1] = static_cast<uint8_t>(c.g);
    p[2] = static_cast<uint8_t>(c.r);
}

// Reads the Y, U, V samples that cover pixel (x, y) of a YUV frame.
inline Yuv ReadYuv(const std::vector<uint8_t>& frame, PixelFormat format, int width, int height, int x, int y) {
    const FrameLayout l = LayoutOf(format, width, height);
    if (FamilyOf(format) == FormatFamily::kPlanar420) {
        return {frame[OffsetOf(l, 0, x, y, 1)], frame[OffsetOf(l, 1, x / 2, y / 2, 1)],
                frame[OffsetOf(l, 2, x / 2, y / 2, 1)]};
    }
    const uint8_t* group = &frame[OffsetOf(l, 0, x / 2, y, 4)];
    const bool uyvy = format == PixelFormat::kUyvy;
    const int y_at = (uyvy ? 1 : 0) + (x & 1) * 2;
    return {group[y_at], group[uyvy ? 0 : 1], group[uyvy ? 2 : 3]};
}

// Writes one pixel's Y and its (shared) chroma samples.
inline void WriteYuv(std::vector<uint8_t>& frame, PixelFormat format, int width, int height, int x, int y,
                     Yuv c) {
    const FrameLayout l = LayoutOf(format, width, height);
    if (FamilyOf(format) == FormatFamily::kPlanar420) {
        frame[OffsetOf(l, 0, x, y, 1)] = static_cast<uint8_t>(c.y);
        frame[OffsetOf(l, 1, x / 2, y / 2, 1)] = static_cast<uint8_t>(c.u);
        frame[OffsetOf(l, 2, x / 2, y / 2, 1)] = static_cast<uint8_t>(c.v);
        return;
    }
    uint8_t* group = &frame[OffsetOf(l, 0, x / 2, y, 4)];
    const bool uyvy = format == PixelFormat::kUyvy;
    group[(uyvy ? 1 : 0) + (x & 1) * 2] = static_cast<uint8_t>(c.y);
    group[uyvy ? 0 : 1] = static_cast<uint8_t>(c.u);
    group[uyvy ? 2 : 3] = static_cast<uint8_t>(c.v);
}

// A frame of one colour in any format, built by writing samples directly.
inline std::vector<uint8_t> SolidFrame(PixelFormat format, int width, int height, Bgr rgb, Yuv yuv) {
    std::vector<uint8_t> frame(FrameSize(format, width, height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (FamilyOf(format) != FormatFamily::kRgb) {
                WriteYuv(frame, format, width, height, x, y, yuv);
            } else if (BitsPerPixel(format) >= 24) {
                WriteBgr(frame, format, width, height, x, y, rgb);
            }
        }
    }
    return frame;
}

}  // namespace testing_util
}  // namespace pixel_formats
