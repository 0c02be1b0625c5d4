// Row kernels of the fast pipeline. Every instruction-set level provides the
// same table and gives the same bytes as the scalar kernels, which follow the
// reference arithmetic (see YuvPixel below).
#pragma once

#include <cstdint>

#include "filters/pixmorph/colorspaceconverter.h"

namespace pixmorph::detail {

// Byte order of a packed 4:2:2 group.
enum PackedOrder : int { kOrderYuy2 = 0, kOrderUyvy = 1 };

// With luma[y] = 128*y the reference sums split into y plus a chroma term:
// floor((128*y + t) / 128) = y + floor(t / 128), so each channel is
// clamp(y + term) with terms that depend on the chroma pair only.
struct ChromaTerms {
    int r, g, b;
};
inline ChromaTerms TermsOf(int u, int v) {
    return {(180 * v - 22906) >> 7, (17264 - 91 * v - 44 * u) >> 7, (226 * u - 28928) >> 7};
}
inline uint8_t Clamp255(int value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); }
inline void YuvPixel(uint8_t* dst, int y, const ChromaTerms& t) {
    dst[0] = Clamp255(y + t.b);
    dst[1] = Clamp255(y + t.g);
    dst[2] = Clamp255(y + t.r);
}

struct RowKernels {
    // Pixel n of a packed row takes luma n and the chroma of group n/2; reads
    // the whole groups holding the pixels, writes 3*pixels bytes.
    void (*packed_row[2])(const uint8_t* src, uint8_t* dst, int pixels);
    // Output pixel x is the first pixel of group x: reads 4*count bytes.
    void (*packed_half[2])(const uint8_t* src, uint8_t* dst, int count);
    // Output pixel x is pixel x/2: each source pixel written twice.
    void (*packed_doubled[2])(const uint8_t* src, uint8_t* dst, int out_pixels);
    // I420 row: pixel n takes y[n], u[n/2], v[n/2].
    void (*planar_row)(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pixels);
};

const RowKernels& ScalarKernels();
const RowKernels* Sse2Kernels();   // null where the unit was built without x86 SIMD
const RowKernels* Ssse3Kernels();
const RowKernels* Avx2Kernels();
const RowKernels& ActiveKernels();

// The scalar bodies, also used for the tails the SIMD loops leave.
namespace scalar {
template <int kOrder>
void PackedRow(const uint8_t* src, uint8_t* dst, int pixels);
template <int kOrder>
void PackedHalf(const uint8_t* src, uint8_t* dst, int count);
template <int kOrder>
void PackedDoubled(const uint8_t* src, uint8_t* dst, int out_pixels);
void PlanarRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pixels);
}  // namespace scalar

}  // namespace pixmorph::detail
