// Direct row functions for the conversions a capture pipeline runs every
// frame. Each gives exactly the bytes of the generic route (the tests hold
// them to that); they only skip its intermediate rows.
#pragma once

#include <cstdint>

namespace pixel_formats {
namespace detail {

// Packed 4:2:2 (YUY2 or UYVY) to B G R or B G R X.
void Yuy2ToRgb24Row(const uint8_t* src, uint8_t* dst, int width);
void Yuy2ToRgb32Row(const uint8_t* src, uint8_t* dst, int width);
void UyvyToRgb24Row(const uint8_t* src, uint8_t* dst, int width);
void UyvyToRgb32Row(const uint8_t* src, uint8_t* dst, int width);

// One picture row of a 4:2:0 frame with its chroma row.
void I420ToRgb24Row(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width);
void I420ToRgb32Row(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width);

// uyvy selects the UYVY byte order instead of YUY2.
void Rgb24ToPacked422Row(const uint8_t* src, uint8_t* dst, int width, bool uyvy);

// Two picture rows to two Y rows and one chroma row; src1/y1 null for a lone last row.
void Rgb24ToI420Rows(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1,
                     uint8_t* u, uint8_t* v, int width);
void Packed422ToI420Rows(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1,
                         uint8_t* u, uint8_t* v, int width, bool uyvy);

void I420ToPacked422Row(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
                        bool uyvy);

// YUY2 <-> UYVY (the same swap both ways).
void SwapPacked422Row(const uint8_t* src, uint8_t* dst, int width, bool to_uyvy);

}  // namespace detail
}  // namespace pixel_formats
