#include "media/virtual_picture/frame_stretch.h"

#include <cstring>
#include <vector>

namespace virtual_picture {

namespace {

using pixel_formats::FormatFamily;
using pixel_formats::FrameFormat;
using pixel_formats::FrameLayout;
using pixel_formats::PixelFormat;

// Source index for destination index i of n, sampled at pixel centres.
inline int Pick(int i, int n, int source_n) {
    return static_cast<int>((2 * static_cast<int64_t>(i) + 1) * source_n / (2 * n));
}

template <typename Byte>
Byte* RowOf(Byte* base, const FrameLayout& layout, int plane, int picture_row) {
    const pixel_formats::PlaneLayout& p = layout.planes[plane];
    const int memory_row = layout.bottom_up ? p.rows - 1 - picture_row : picture_row;
    return base + p.offset + p.stride * static_cast<size_t>(memory_row);
}

// Whole units (pixels of `unit` bytes) of one plane.
void StretchPlane(const uint8_t* src, const FrameLayout& sl, uint8_t* dst, const FrameLayout& dl, int plane,
                  int unit, int src_units, int dst_units) {
    const int src_rows = sl.planes[plane].rows, dst_rows = dl.planes[plane].rows;
    std::vector<int> columns(static_cast<size_t>(dst_units));
    for (int x = 0; x < dst_units; ++x) columns[x] = Pick(x, dst_units, src_units) * unit;
    for (int y = 0; y < dst_rows; ++y) {
        const uint8_t* in = RowOf(src, sl, plane, Pick(y, dst_rows, src_rows));
        uint8_t* out = RowOf(dst, dl, plane, y);
        if (unit == 1) {
            for (int x = 0; x < dst_units; ++x) out[x] = in[columns[x]];
        } else {
            for (int x = 0; x < dst_units; ++x) std::memcpy(out + x * unit, in + columns[x], unit);
        }
    }
}

// YUY2 (luma at bytes 0 and 2) or UYVY (at 1 and 3): luma per pixel, chroma
// of the source pair the even pixel comes from.
void StretchPacked422(const uint8_t* src, const FrameLayout& sl, uint8_t* dst, const FrameLayout& dl, int luma0) {
    const int chroma0 = luma0 == 0 ? 1 : 0;
    const int dst_width = dl.width;
    for (int y = 0; y < dl.height; ++y) {
        const uint8_t* in = RowOf(src, sl, 0, Pick(y, dl.height, sl.height));
        uint8_t* out = RowOf(dst, dl, 0, y);
        for (int x = 0; x < dst_width; x += 2) {
            const int s0 = Pick(x, dst_width, sl.width);
            const int s1 = x + 1 < dst_width ? Pick(x + 1, dst_width, sl.width) : s0;
            uint8_t* pair = out + 2 * x;
            const uint8_t* from = in + (s0 / 2) * 4;
            pair[chroma0] = from[chroma0];
            pair[chroma0 + 2] = from[chroma0 + 2];
            pair[luma0] = in[(s0 / 2) * 4 + luma0 + (s0 & 1) * 2];
            pair[luma0 + 2] = in[(s1 / 2) * 4 + luma0 + (s1 & 1) * 2];
        }
    }
}

int BytesPerPixel(PixelFormat format) { return pixel_formats::BitsPerPixel(format) / 8; }

}  // namespace

bool StretchFrame(const uint8_t* src, size_t src_size, const FrameFormat& src_format, uint8_t* dst,
                  size_t dst_capacity, const FrameFormat& dst_format) {
    if (src_format.format != dst_format.format) return false;
    FrameLayout sl, dl;
    if (!pixel_formats::ComputeFrameLayout(src_format, &sl) || !pixel_formats::ComputeFrameLayout(dst_format, &dl) ||
        sl.size > src_size || dl.size > dst_capacity) {
        return false;
    }
    const PixelFormat format = src_format.format;
    switch (pixel_formats::FamilyOf(format)) {
    case FormatFamily::kRgb:
        StretchPlane(src, sl, dst, dl, 0, BytesPerPixel(format), sl.width, dl.width);
        return true;
    case FormatFamily::kPacked422:
        StretchPacked422(src, sl, dst, dl, format == PixelFormat::kYuy2 ? 0 : 1);
        return true;
    case FormatFamily::kPlanar420:
        StretchPlane(src, sl, dst, dl, 0, 1, sl.width, dl.width);
        for (int plane = 1; plane < 3; ++plane) StretchPlane(src, sl, dst, dl, plane, 1, (sl.width + 1) / 2, (dl.width + 1) / 2);
        return true;
    }
    return false;
}

}  // namespace virtual_picture
