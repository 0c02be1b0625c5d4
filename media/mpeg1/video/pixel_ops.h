// The pixel kernels motion search and motion compensation spend their time
// in. Each has a scalar reference; on x86 an SSE2 version is chosen at run
// time when the processor has it (always on x86-64, usually on i686) and must
// give the same results.
#pragma once

#include <cstdint>

namespace mpeg::video {

// Sum of absolute differences of two 16x16 blocks.
int Sad16(const uint8_t* a, int a_stride, const uint8_t* b, int b_stride);

// Motion-compensated prediction of a `size` x `size` block (8 or 16). `ref`
// points at the full-pel position; half_x/half_y (0 or 1) add half a pixel,
// averaging with the rounding of ISO/IEC 11172-2 ((a+b+1)>>1, (a+b+c+d+2)>>2).
void PredictBlock(const uint8_t* ref, int ref_stride, int half_x, int half_y, int size, uint8_t* dst,
                  int dst_stride);

// Sum of |pixel - mean| over a 16x16 block: how costly it is to code intra.
int Deviation16(const uint8_t* p, int stride);

// Motion search's measure of a half-pixel candidate: the SAD against a
// 16x16 prediction whose diagonal positions average the two horizontal
// averages (one rounding more than the real prediction; cheap, and only
// used to compare candidates).
int HalfPelSad16(const uint8_t* ref, int ref_stride, int half_x, int half_y, const uint8_t* cur, int cur_stride);

// 8x8 residual src - pred into `out` (raster order); returns its absolute sum.
int Residual8(const uint8_t* src, int src_stride, const uint8_t* pred, int pred_stride, int16_t* out);
// dst = clamp(pred + residual), 8x8.
void AddResidual8(const int16_t* residual, const uint8_t* pred, int pred_stride, uint8_t* dst, int dst_stride);
void Copy8(const uint8_t* src, int src_stride, uint8_t* dst, int dst_stride);

// For tests and benchmarks: false forces the scalar kernels.
void SetSimdEnabled(bool enabled);
bool SimdEnabled();

}  // namespace mpeg::video
