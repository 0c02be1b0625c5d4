// Per-pixel BT.601 limited-range arithmetic shared by every row function, so
// that the generic route and the fast paths give identical bytes.
//
// Constants are BT.601's matrix scaled by 256 for studio swing (the integer
// form Microsoft documents for 8-bit YUV and its converters use):
//   R = (298(Y-16)            + 409(V-128) + 128) >> 8
//   G = (298(Y-16) - 100(U-128) - 208(V-128) + 128) >> 8
//   B = (298(Y-16) + 516(U-128)            + 128) >> 8
//   Y = ((  66R + 129G +  25B + 128) >> 8) +  16
//   U = (( -38R -  74G + 112B + 128) >> 8) + 128
//   V = (( 112R -  94G -  18B + 128) >> 8) + 128
// 298/256 = 255/219 stretches Y 16..235 to 0..255; 409, 100, 208, 516 are
// 1.402, 0.344, 0.714, 1.772 times 255/224 for chroma 16..240.
#pragma once

#include <algorithm>
#include <cstdint>

namespace pixel_formats {
namespace detail {

// Chroma contributions shared by the two pixels of a 4:2:2 pair.
struct ChromaTerms {
    int r, g, b;
};

inline ChromaTerms MakeChromaTerms(int u, int v) {
    const int d = u - 128;
    const int e = v - 128;
    return {409 * e + 128, -100 * d - 208 * e + 128, 516 * d + 128};
}

// Shift after clamping so no negative value is ever shifted.
inline uint8_t ClampShift8(int scaled) {
    return static_cast<uint8_t>(std::min(std::max(scaled, 0), 0xFFFF) >> 8);
}

// Writes B, G, R at out[0..2].
inline void YuvToBgr(int y, const ChromaTerms& c, uint8_t* out) {
    const int luma = 298 * (y - 16);
    out[0] = ClampShift8(luma + c.b);
    out[1] = ClampShift8(luma + c.g);
    out[2] = ClampShift8(luma + c.r);
}

inline uint8_t RgbToY(int r, int g, int b) {
    return static_cast<uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
}

// 32896 = 128 * 256 + 128 folds the +128 offset in before the shift, which
// keeps the shifted value non-negative and equals the documented form.
inline uint8_t RgbToU(int r, int g, int b) {
    return static_cast<uint8_t>((-38 * r - 74 * g + 112 * b + 32896) >> 8);
}

inline uint8_t RgbToV(int r, int g, int b) {
    return static_cast<uint8_t>((112 * r - 94 * g - 18 * b + 32896) >> 8);
}

// Mean of `count` (1, 2 or 4) summed samples, rounded half up.
inline int MeanOf(int sum, int count) {
    return (sum + count / 2) / count;
}

inline uint8_t Average2(int a, int b) {
    return static_cast<uint8_t>((a + b + 1) >> 1);
}

}  // namespace detail
}  // namespace pixel_formats
