// Converts one frame between any two formats of pixel_format.h at the same
// picture size.
//
// YUV<->RGB uses BT.601 limited range (Y 16..235, chroma 16..240), the integer
// arithmetic of Windows' own converters; see yuv_math.h for the constants.
// Chroma is averaged when subsampled further and repeated when expanded.
//
// Neither function reads past src_size nor writes past dst_capacity: a buffer
// smaller than its frame makes them return false with nothing written.
// Source and destination must not overlap.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pixel_formats/pixel_format.h"

namespace pixel_formats {

// Full form: each side has its own orientation (sign of height) and stride.
// Width and |height| must agree.
bool ConvertFrame(const uint8_t* src, size_t src_size, const FrameFormat& src_format,
                  uint8_t* dst, size_t dst_capacity, const FrameFormat& dst_format);

// Default strides; height is shared, so positive height means bottom-up RGB on
// both sides (YUV is top-down regardless).
bool ConvertFrame(const uint8_t* src, size_t src_size, PixelFormat src_format,
                  uint8_t* dst, size_t dst_capacity, PixelFormat dst_format,
                  int width, int height);

}  // namespace pixel_formats
