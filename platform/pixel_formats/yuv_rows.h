// Building blocks of the generic route on the YUV side. A row is held as a Y
// row of `width` samples and U, V rows of ceil(width/2) samples (4:2:2).
#pragma once

#include <cstdint>

#include "pixel_formats/pixel_format.h"

namespace pixel_formats {
namespace detail {

// Byte positions of Y0, U, Y1, V inside a 4-byte group of a packed format.
struct Packed422Order {
    int y0, u, y1, v;
};
Packed422Order OrderOf(PixelFormat packed_format);

void UnpackPacked422Row(const Packed422Order& order, const uint8_t* src,
                        uint8_t* y, uint8_t* u, uint8_t* v, int width);
// An odd width's last group repeats its Y in the unused second slot.
void PackPacked422Row(const Packed422Order& order, const uint8_t* y, const uint8_t* u,
                      const uint8_t* v, uint8_t* dst, int width);

void Yuv422ToBgraRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bgra, int width);
void BgraToYRow(const uint8_t* bgra, uint8_t* y, int width);
// Chroma of each horizontal pixel pair; with `bgra_below` also of the row
// under it (2x2 blocks for 4:2:0). A lone last column uses its own pixels.
void BgraToUvRow(const uint8_t* bgra, const uint8_t* bgra_below, uint8_t* u, uint8_t* v, int width);

void AverageRows(const uint8_t* a, const uint8_t* b, uint8_t* out, int count);

}  // namespace detail
}  // namespace pixel_formats
