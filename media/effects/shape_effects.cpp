#include "media/effects/shape_effects.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "media/effects/effect_kit.h"

namespace effects {
namespace {

// Blocks from the top left corner, each filled with its mean colour; the
// blocks of the last row and column are cut by the picture's edge.
class Mosaic final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override {
        const int block = MosaicBlockSize(src.width);
        for (int y0 = 0; y0 < src.height; y0 += block) {
            const int y1 = std::min(src.height, y0 + block);
            for (int x0 = 0; x0 < src.width; x0 += block) {
                const int x1 = std::min(src.width, x0 + block);
                FillBlock(src, dst, x0, y0, x1, y1);
            }
        }
    }

private:
    static void FillBlock(const ConstFrameView& src, const FrameView& dst, int x0, int y0, int x1, int y1) {
        uint32_t sum[3] = {0, 0, 0};
        for (int y = y0; y < y1; ++y) {
            const uint8_t* in = src.At(x0, y);
            for (int x = x0; x < x1; ++x, in += 3) {
                sum[0] += in[0];
                sum[1] += in[1];
                sum[2] += in[2];
            }
        }
        const uint32_t n = static_cast<uint32_t>((x1 - x0) * (y1 - y0));
        const uint8_t mean[3] = {static_cast<uint8_t>((sum[0] + n / 2) / n), static_cast<uint8_t>((sum[1] + n / 2) / n),
                                 static_cast<uint8_t>((sum[2] + n / 2) / n)};
        for (int y = y0; y < y1; ++y) {
            uint8_t* out = dst.At(x0, y);
            for (int x = x0; x < x1; ++x, out += 3) {
                out[0] = mean[0];
                out[1] = mean[1];
                out[2] = mean[2];
            }
        }
    }
};

// A drawn picture frame: the margin darkened, a thick white rectangle around
// the picture and a thin one inside it.
class DrawRect final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override {
        const int w = src.width, h = src.height;
        const int margin = std::max(2, std::min(w, h) / 12), thick = std::max(1, std::min(w, h) / 60);
        const int gap = 2 * thick;
        for (int y = 0; y < h; ++y) {
            const uint8_t* in = src.Row(y);
            uint8_t* out = dst.Row(y);
            for (int x = 0; x < w; ++x, in += 3, out += 3) {
                // Distance (in rings) from the outer edge of the frame.
                const int d = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y)) - margin;
                if (d < 0) {
                    out[0] = static_cast<uint8_t>(in[0] / 3);
                    out[1] = static_cast<uint8_t>(in[1] / 3);
                    out[2] = static_cast<uint8_t>(in[2] / 3);
                } else if (d < 2 * thick || (d >= 2 * thick + gap && d < 3 * thick + gap)) {
                    out[0] = out[1] = out[2] = 255;
                } else {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
            }
        }
    }
};

// An oval portrait: the picture inside the largest centred ellipse, white
// outside, with a soft edge a few pixels wide. The mask is kept per size.
class Ellipse final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override {
        if (mask_width_ != src.width || mask_height_ != src.height) BuildMask(src.width, src.height);
        const uint8_t* a = mask_.data();
        for (int y = 0; y < src.height; ++y) {
            const uint8_t* in = src.Row(y);
            uint8_t* out = dst.Row(y);
            for (int x = 0; x < src.width; ++x, in += 3, out += 3, ++a) {
                const int k = *a;  // 255 = picture, 0 = white
                out[0] = static_cast<uint8_t>((in[0] * k + 255 * (255 - k) + 127) / 255);
                out[1] = static_cast<uint8_t>((in[1] * k + 255 * (255 - k) + 127) / 255);
                out[2] = static_cast<uint8_t>((in[2] * k + 255 * (255 - k) + 127) / 255);
            }
        }
    }

private:
    void BuildMask(int w, int h) {
        mask_.resize(static_cast<size_t>(w) * h);
        const double rx = w * 0.47, ry = h * 0.47, soft = std::max(2.0, std::min(w, h) / 40.0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const double dx = (x + 0.5 - w / 2.0) / rx, dy = (y + 0.5 - h / 2.0) / ry;
                // Approximate distance outside the ellipse in pixels.
                const double outside = (std::sqrt(dx * dx + dy * dy) - 1.0) * std::min(rx, ry);
                const double k = std::clamp(0.5 - outside / soft, 0.0, 1.0);
                mask_[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(std::lround(k * 255));
            }
        }
        mask_width_ = w;
        mask_height_ = h;
    }

    std::vector<uint8_t> mask_;
    int mask_width_ = 0, mask_height_ = 0;
};

}  // namespace

int MosaicBlockSize(int width) { return std::max(4, width / 32); }

std::unique_ptr<Effect> MakeMosaic() { return std::make_unique<Mosaic>(); }
std::unique_ptr<Effect> MakeDrawRect() { return std::make_unique<DrawRect>(); }
std::unique_ptr<Effect> MakeEllipse() { return std::make_unique<Ellipse>(); }

}  // namespace effects
