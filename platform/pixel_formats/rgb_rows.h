// Building blocks of the generic route: every RGB format to and from one
// intermediate row of B, G, R, A bytes (4 per pixel).
#pragma once

#include <cstdint>

#include "pixel_formats/pixel_format.h"

namespace pixel_formats {
namespace detail {

void UnpackRgbRow(PixelFormat format, const uint8_t* src, uint8_t* bgra, int width);
void PackRgbRow(PixelFormat format, const uint8_t* bgra, uint8_t* dst, int width);

}  // namespace detail
}  // namespace pixel_formats
