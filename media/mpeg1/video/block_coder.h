// Quantisation, reconstruction and entropy coding of one 8x8 block.
//
// Reconstruction follows ISO/IEC 11172-2 exactly (2.4.4.1/2.4.4.2): the
// encoder must hold the picture every decoder will hold, so the inverse
// quantiser here is the normative one, oddification included.
#pragma once

#include <cstdint>

#include "media/mpeg1/common/bit_writer.h"

namespace mpeg::video {

inline constexpr int kMaxLevel = 255;  // the widest escape MPEG-1 has

class Quantizer {
public:
    Quantizer();

    // Coefficients and levels in raster order. Returns the zigzag index of
    // the last non-zero level, or -1 (intra: AC only; the DC level is
    // levels[0] and always coded).
    int QuantizeIntra(const int16_t coef[64], int qscale, int16_t levels[64]) const;
    int QuantizeInter(const int16_t coef[64], int qscale, int16_t levels[64]) const;

    // Levels up to zigzag index `last` back to coefficients.
    void DequantizeIntra(const int16_t levels[64], int last, int qscale, int16_t coef[64]) const;
    void DequantizeInter(const int16_t levels[64], int last, int qscale, int16_t coef[64]) const;

    // A residual block whose absolute sum is below this quantises to all
    // zeros: no coefficient exceeds a quarter of that sum (plus the DCT's
    // rounding), and this keeps every one below the smallest non-zero level.
    int InterZeroSum(int qscale) const { return inter_zero_sum_[qscale]; }

private:
    // level = min(((|F| + bias) * recip) >> 16, 255), per [qscale][position]:
    // recip = 2^16 * 8 / (qscale * weight), bias = the rounding offset in
    // coefficient units.
    struct Table {
        alignas(16) uint16_t recip[64];
        alignas(16) uint16_t bias[64];
    };
    Table intra_[32];
    Table inter_[32];
    int inter_zero_sum_[32];
};

// DC predictors of one slice, in units of the quantised DC (value / 8).
struct DcPredictors {
    int y = 128, cb = 128, cr = 128;
    void Reset() { y = cb = cr = 128; }
};

// Levels are in raster order; they are written in zigzag order.
// component 0 = luma, 1 = Cb, 2 = Cr. Writes the DC difference, AC run/levels
// and end_of_block.
void WriteIntraBlock(BitWriter& bits, const int16_t levels[64], int last, int component, DcPredictors* dc);
// `last` >= 0: a block with nothing to code is left out by the pattern instead.
void WriteInterBlock(BitWriter& bits, const int16_t levels[64], int last);

}  // namespace mpeg::video
