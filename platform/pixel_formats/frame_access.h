// A frame buffer seen through its layout: row addressing that hides the
// bottom-up order of RGB DIBs and the plane order of YV12.
#pragma once

#include <cstdint>

#include "pixel_formats/pixel_format.h"

namespace pixel_formats {
namespace detail {

template <typename Byte>
struct FrameAccess {
    PixelFormat format;
    FrameLayout layout;
    Byte* data;

    // Plane 0 is the packed image or Y; 1 and 2 are U and V. `row` counts from
    // the top of the picture in that plane's rows.
    Byte* Row(int plane, int row) const {
        const PlaneLayout& p = layout.planes[plane];
        const int memory_row = layout.bottom_up ? p.rows - 1 - row : row;
        return data + p.offset + p.stride * static_cast<size_t>(memory_row);
    }
};

using SrcFrame = FrameAccess<const uint8_t>;
using DstFrame = FrameAccess<uint8_t>;

// Both take frames already checked to fit their buffers and to share a size.
void ConvertGeneric(const SrcFrame& src, const DstFrame& dst);
// False when the pair has no dedicated path; nothing is written then.
bool ConvertFast(const SrcFrame& src, const DstFrame& dst);

}  // namespace detail
}  // namespace pixel_formats
