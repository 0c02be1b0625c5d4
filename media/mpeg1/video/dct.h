// 8x8 DCT pair with the normalisation of ISO/IEC 11172-2 Annex A:
//   F(u,v) = C(u) C(v) / 4 * sum f(x,y) cos((2x+1)u pi/16) cos((2y+1)v pi/16).
// Computed in single-precision floating point and rounded once at the end, so
// both stay within a rounding step of the exact transform: the reconstruction
// the encoder predicts from then matches any conforming decoder's to +-1,
// which keeps P-picture drift negligible over a GOP.
#pragma once

#include <cstdint>

namespace mpeg::video {

// Raster order in and out. Input samples are pixels or residuals (|x| <= 255).
void ForwardDct(const int16_t in[64], int16_t out[64]);
// Coefficients (|F| <= 2048) to samples, not clamped.
void InverseDct(const int16_t in[64], int16_t out[64]);
// The value of all 64 samples of a block holding only a DC term: the exact
// transform rounded (InverseDct may differ by one where that is a tie).
int16_t InverseDctOfDc(int16_t dc);

}  // namespace mpeg::video
