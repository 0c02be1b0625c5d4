// Nearest-neighbour scaling of a frame within its own pixel format: whole
// pixels are picked, never mixed, so a frame keeps exactly the values it had
// (for YUY2/UYVY a pixel's chroma is that of the pair it lies in).
#pragma once

#include <cstddef>
#include <cstdint>

#include "pixel_formats/pixel_format.h"

namespace virtual_picture {

// Both formats must be the same pixel format; sizes, strides and
// orientations may differ. False, with nothing written, for a bad format or
// a buffer shorter than its frame.
bool StretchFrame(const uint8_t* src, size_t src_size, const pixel_formats::FrameFormat& src_format, uint8_t* dst,
                  size_t dst_capacity, const pixel_formats::FrameFormat& dst_format);

}  // namespace virtual_picture
