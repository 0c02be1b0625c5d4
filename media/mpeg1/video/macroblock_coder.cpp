#include "media/mpeg1/video/macroblock_coder.h"

#include "media/mpeg1/video/dct.h"
#include "media/mpeg1/video/pixel_ops.h"

namespace mpeg::video {

namespace {

struct BlockPlace {
    int plane;  // 0 = Y, 1 = Cb, 2 = Cr
    int x, y;   // offset inside the macroblock's area of that plane
};
constexpr BlockPlace kBlocks[6] = {{0, 0, 0}, {0, 8, 0}, {0, 0, 8}, {0, 8, 8}, {1, 0, 0}, {2, 0, 0}};

const Plane& PlaneOf(const YuvFrame& f, int plane) { return plane == 0 ? f.y : plane == 1 ? f.u : f.v; }
Plane& PlaneOf(YuvFrame& f, int plane) { return plane == 0 ? f.y : plane == 1 ? f.u : f.v; }

// Top-left pixel of block `b` of macroblock (mb_x, mb_y) and its plane's stride.
template <typename FrameT, typename Byte>
Byte* BlockOrigin(FrameT& f, int b, int mb_x, int mb_y, int* stride) {
    auto& p = PlaneOf(f, kBlocks[b].plane);
    const int size = kBlocks[b].plane == 0 ? 16 : 8;
    *stride = p.width;
    return p.Row(mb_y * size + kBlocks[b].y) + mb_x * size + kBlocks[b].x;
}

inline uint8_t Clamp255(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

void FillBlock(uint8_t value, uint8_t* dst, int stride) {
    for (int y = 0; y < 8; ++y, dst += stride)
        for (int x = 0; x < 8; ++x) dst[x] = value;
}

void AddConstantClamped(int value, const uint8_t* pred, int pred_stride, uint8_t* dst, int stride) {
    for (int y = 0; y < 8; ++y, dst += stride, pred += pred_stride)
        for (int x = 0; x < 8; ++x) dst[x] = Clamp255(pred[x] + value);
}

void StoreClamped(const int16_t* samples, uint8_t* dst, int stride) {
    for (int y = 0; y < 8; ++y, dst += stride)
        for (int x = 0; x < 8; ++x) dst[x] = Clamp255(samples[y * 8 + x]);
}

// The prediction buffer and stride holding block `b`.
const uint8_t* PredBlock(const MacroblockPrediction& p, int b, int* stride) {
    if (b < 4) {
        *stride = 16;
        return p.y + kBlocks[b].y * 16 + kBlocks[b].x;
    }
    *stride = 8;
    return b == 4 ? p.cb : p.cr;
}

}  // namespace

void MacroblockCoder::CodeIntra(const YuvFrame& cur, int mb_x, int mb_y, int qscale, MacroblockLevels* mb,
                                YuvFrame* recon) const {
    alignas(16) int16_t samples[64], coef[64];
    for (int b = 0; b < 6; ++b) {
        int stride;
        const uint8_t* src = BlockOrigin<const YuvFrame, const uint8_t>(cur, b, mb_x, mb_y, &stride);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) samples[y * 8 + x] = src[y * stride + x];
        ForwardDct(samples, coef);
        mb->last[b] = quantizer_->QuantizeIntra(coef, qscale, mb->levels[b]);
        uint8_t* dst = BlockOrigin<YuvFrame, uint8_t>(*recon, b, mb_x, mb_y, &stride);
        if (mb->last[b] < 0) {  // flat block: DC only
            FillBlock(Clamp255(InverseDctOfDc(static_cast<int16_t>(mb->levels[b][0] * 8))), dst, stride);
            continue;
        }
        quantizer_->DequantizeIntra(mb->levels[b], mb->last[b], qscale, coef);
        InverseDct(coef, samples);
        StoreClamped(samples, dst, stride);
    }
    mb->cbp = 63;
}

void MacroblockCoder::Predict(const YuvFrame& ref, int mb_x, int mb_y, MotionVector mv, MacroblockPrediction* pred) {
    const int px = mb_x * 16 + (mv.x >> 1), py = mb_y * 16 + (mv.y >> 1);
    PredictBlock(ref.y.Row(py) + px, ref.y.width, mv.x & 1, mv.y & 1, 16, pred->y, 16);
    // Chroma vectors are the luma ones halved toward zero (11172-2, 2.4.4.2).
    const int cx = mv.x / 2, cy = mv.y / 2;
    const int qx = mb_x * 8 + (cx >> 1), qy = mb_y * 8 + (cy >> 1);
    PredictBlock(ref.u.Row(qy) + qx, ref.u.width, cx & 1, cy & 1, 8, pred->cb, 8);
    PredictBlock(ref.v.Row(qy) + qx, ref.v.width, cx & 1, cy & 1, 8, pred->cr, 8);
}

void MacroblockCoder::CodeInter(const YuvFrame& cur, int mb_x, int mb_y, const MacroblockPrediction& pred,
                                int qscale, MacroblockLevels* mb) const {
    alignas(16) int16_t residual[64], coef[64];
    mb->cbp = 0;
    for (int b = 0; b < 6; ++b) {
        int stride, pstride;
        const uint8_t* src = BlockOrigin<const YuvFrame, const uint8_t>(cur, b, mb_x, mb_y, &stride);
        const uint8_t* p = PredBlock(pred, b, &pstride);
        const int magnitude = Residual8(src, stride, p, pstride, residual);
        if (magnitude < quantizer_->InterZeroSum(qscale)) {  // would vanish anyway
            mb->last[b] = -1;
            continue;
        }
        ForwardDct(residual, coef);
        mb->last[b] = quantizer_->QuantizeInter(coef, qscale, mb->levels[b]);
        if (mb->last[b] >= 0) mb->cbp |= 32 >> b;
    }
}

void MacroblockCoder::ReconstructInter(const MacroblockPrediction& pred, const MacroblockLevels& mb, int qscale,
                                       int mb_x, int mb_y, YuvFrame* recon) const {
    alignas(16) int16_t coef[64], residual[64];
    for (int b = 0; b < 6; ++b) {
        int stride, pstride;
        uint8_t* dst = BlockOrigin<YuvFrame, uint8_t>(*recon, b, mb_x, mb_y, &stride);
        const uint8_t* p = PredBlock(pred, b, &pstride);
        if ((mb.cbp & (32 >> b)) && mb.last[b] == 0) {
            quantizer_->DequantizeInter(mb.levels[b], 0, qscale, coef);
            AddConstantClamped(InverseDctOfDc(coef[0]), p, pstride, dst, stride);
        } else if (mb.cbp & (32 >> b)) {
            quantizer_->DequantizeInter(mb.levels[b], mb.last[b], qscale, coef);
            InverseDct(coef, residual);
            AddResidual8(residual, p, pstride, dst, stride);
        } else {
            Copy8(p, pstride, dst, stride);
        }
    }
}

}  // namespace mpeg::video
