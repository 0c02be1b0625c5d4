// Quantisation, reconstruction and entropy coding of one 8x8 block.
//
// Reconstruction follows ISO/IEC 11172-2 exactly (2.4.4.1/2.4.4.2): the
// encoder must hold the picture every decoder will hold, so the inverse
// quantiser here is the normative one, oddification included.
#pragma once

#include <cstdint>

#include "capture_engine/mpeg/common/bit_writer.h"

namespace mpeg::video {

inline constexpr int kMaxLevel = 255;  // the widest escape MPEG-1 has

class Quantizer {
public:
    Quantizer();

    // `coef` in raster order; `levels` receives zigzag order. Returns the
    // zigzag index of the last non-zero level, or -1 (intra: AC only, the
    // DC level is levels[0] and always coded).
    int QuantizeIntra(const int16_t coef[64], int qscale, int16_t levels[64]) const;
    int QuantizeInter(const int16_t coef[64], int qscale, int16_t levels[64]) const;

    // Zigzag levels up to `last` back to raster-order coefficients.
    void DequantizeIntra(const int16_t levels[64], int last, int qscale, int16_t coef[64]) const;
    void DequantizeInter(const int16_t levels[64], int last, int qscale, int16_t coef[64]) const;

private:
    // 2^16 * 8 / (qscale * weight), in raster order; indexed [qscale][pos].
    uint16_t intra_recip_[32][64];
    uint16_t inter_recip_[32][64];
};

// DC predictors of one slice, in units of the quantised DC (value / 8).
struct DcPredictors {
    int y = 128, cb = 128, cr = 128;
    void Reset() { y = cb = cr = 128; }
};

// component 0 = luma, 1 = Cb, 2 = Cr. Writes the DC difference, AC run/levels
// and end_of_block.
void WriteIntraBlock(BitWriter& bits, const int16_t levels[64], int last, int component, DcPredictors* dc);
// `last` >= 0: a block with nothing to code is left out by the pattern instead.
void WriteInterBlock(BitWriter& bits, const int16_t levels[64], int last);

}  // namespace mpeg::video
