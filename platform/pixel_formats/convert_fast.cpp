// Dedicated loops for the pairs a capture pipeline converts every frame.
#include <cstring>

#include "pixel_formats/fast_rows.h"
#include "pixel_formats/frame_access.h"

namespace pixel_formats {
namespace detail {
namespace {

bool IsRgb24Or32(PixelFormat f) { return f == PixelFormat::kRgb24 || f == PixelFormat::kRgb32; }

// Same family, same sample order in each plane: only strides or orientation
// can differ. Covers I420 <-> YV12, whose layouts name planes as Y, U, V.
void CopyPlanes(const SrcFrame& src, const DstFrame& dst) {
    for (int p = 0; p < src.layout.plane_count; ++p) {
        const PlaneLayout& plane = src.layout.planes[p];
        for (int r = 0; r < plane.rows; ++r) std::memcpy(dst.Row(p, r), src.Row(p, r), plane.row_bytes);
    }
}

void PackedToRgb(const SrcFrame& src, const DstFrame& dst) {
    const bool uyvy = src.format == PixelFormat::kUyvy;
    const bool rgb32 = dst.format == PixelFormat::kRgb32;
    void (*row_fn)(const uint8_t*, uint8_t*, int) =
        uyvy ? (rgb32 ? UyvyToRgb32Row : UyvyToRgb24Row) : (rgb32 ? Yuy2ToRgb32Row : Yuy2ToRgb24Row);
    for (int r = 0; r < src.layout.height; ++r) row_fn(src.Row(0, r), dst.Row(0, r), src.layout.width);
}

void PlanarToRgb(const SrcFrame& src, const DstFrame& dst) {
    auto row_fn = dst.format == PixelFormat::kRgb32 ? I420ToRgb32Row : I420ToRgb24Row;
    for (int r = 0; r < src.layout.height; ++r) {
        row_fn(src.Row(0, r), src.Row(1, r / 2), src.Row(2, r / 2), dst.Row(0, r), src.layout.width);
    }
}

void Rgb24ToPacked(const SrcFrame& src, const DstFrame& dst) {
    const bool uyvy = dst.format == PixelFormat::kUyvy;
    for (int r = 0; r < src.layout.height; ++r) {
        Rgb24ToPacked422Row(src.Row(0, r), dst.Row(0, r), src.layout.width, uyvy);
    }
}

// Walks row pairs; the second row of a pair is null when the height is odd.
template <typename PairFn>
void ForEachRowPair(const SrcFrame& src, const DstFrame& dst, PairFn fn) {
    const int height = src.layout.height;
    for (int r = 0; r < height; r += 2) {
        const bool pair = r + 1 < height;
        fn(src.Row(0, r), pair ? src.Row(0, r + 1) : nullptr, dst.Row(0, r), pair ? dst.Row(0, r + 1) : nullptr,
           dst.Row(1, r / 2), dst.Row(2, r / 2));
    }
}

void Rgb24ToPlanar(const SrcFrame& src, const DstFrame& dst) {
    const int width = src.layout.width;
    ForEachRowPair(src, dst, [width](const uint8_t* s0, const uint8_t* s1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                                     uint8_t* v) { Rgb24ToI420Rows(s0, s1, y0, y1, u, v, width); });
}

void PackedToPlanar(const SrcFrame& src, const DstFrame& dst) {
    const int width = src.layout.width;
    const bool uyvy = src.format == PixelFormat::kUyvy;
    ForEachRowPair(src, dst, [width, uyvy](const uint8_t* s0, const uint8_t* s1, uint8_t* y0, uint8_t* y1,
                                           uint8_t* u, uint8_t* v) {
        Packed422ToI420Rows(s0, s1, y0, y1, u, v, width, uyvy);
    });
}

void PlanarToPacked(const SrcFrame& src, const DstFrame& dst) {
    const bool uyvy = dst.format == PixelFormat::kUyvy;
    for (int r = 0; r < src.layout.height; ++r) {
        I420ToPacked422Row(src.Row(0, r), src.Row(1, r / 2), src.Row(2, r / 2), dst.Row(0, r), src.layout.width,
                           uyvy);
    }
}

void SwapPacked(const SrcFrame& src, const DstFrame& dst) {
    const bool to_uyvy = dst.format == PixelFormat::kUyvy;
    for (int r = 0; r < src.layout.height; ++r) {
        SwapPacked422Row(src.Row(0, r), dst.Row(0, r), src.layout.width, to_uyvy);
    }
}

}  // namespace

bool ConvertFast(const SrcFrame& src, const DstFrame& dst) {
    const FormatFamily from = FamilyOf(src.format);
    const FormatFamily to = FamilyOf(dst.format);
    if (src.format == dst.format || (from == FormatFamily::kPlanar420 && to == FormatFamily::kPlanar420)) {
        CopyPlanes(src, dst);
    } else if (from == FormatFamily::kPacked422 && IsRgb24Or32(dst.format)) {
        PackedToRgb(src, dst);
    } else if (from == FormatFamily::kPlanar420 && IsRgb24Or32(dst.format)) {
        PlanarToRgb(src, dst);
    } else if (src.format == PixelFormat::kRgb24 && to == FormatFamily::kPacked422) {
        Rgb24ToPacked(src, dst);
    } else if (src.format == PixelFormat::kRgb24 && to == FormatFamily::kPlanar420) {
        Rgb24ToPlanar(src, dst);
    } else if (from == FormatFamily::kPacked422 && to == FormatFamily::kPlanar420) {
        PackedToPlanar(src, dst);
    } else if (from == FormatFamily::kPlanar420 && to == FormatFamily::kPacked422) {
        PlanarToPacked(src, dst);
    } else if (from == FormatFamily::kPacked422 && to == FormatFamily::kPacked422) {
        SwapPacked(src, dst);
    } else {
        return false;
    }
    return true;
}

}  // namespace detail
}  // namespace pixel_formats
