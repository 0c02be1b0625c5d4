// Transforms, quantises and reconstructs one macroblock (four luma blocks,
// then Cb and Cr), keeping the levels for the bitstream writer. The
// reconstruction goes straight into the picture later pictures predict from.
#pragma once

#include <cstdint>

#include "media/mpeg1/video/block_coder.h"
#include "media/mpeg1/video/motion_estimator.h"
#include "media/mpeg1/video/yuv_frame.h"

namespace mpeg::video {

struct MacroblockLevels {
    alignas(16) int16_t levels[6][64];
    int last[6];
    int cbp = 0;  // bit 5 = first luma block ... bit 0 = Cr
};

// Motion-compensated prediction of a whole macroblock.
struct MacroblockPrediction {
    alignas(16) uint8_t y[16 * 16];
    alignas(16) uint8_t cb[8 * 8];
    alignas(16) uint8_t cr[8 * 8];
};

class MacroblockCoder {
public:
    explicit MacroblockCoder(const Quantizer* quantizer) : quantizer_(quantizer) {}

    void CodeIntra(const YuvFrame& cur, int mb_x, int mb_y, int qscale, MacroblockLevels* mb, YuvFrame* recon) const;

    static void Predict(const YuvFrame& ref, int mb_x, int mb_y, MotionVector mv, MacroblockPrediction* pred);
    // Quantises the residual against `pred`; fills levels, last and cbp.
    void CodeInter(const YuvFrame& cur, int mb_x, int mb_y, const MacroblockPrediction& pred, int qscale,
                   MacroblockLevels* mb) const;
    // Prediction plus the coded residual of every block in mb->cbp.
    void ReconstructInter(const MacroblockPrediction& pred, const MacroblockLevels& mb, int qscale, int mb_x,
                          int mb_y, YuvFrame* recon) const;

private:
    const Quantizer* quantizer_;
};

}  // namespace mpeg::video
