#include "media/effects/motion_effects.h"

#include <algorithm>
#include <vector>

#include "media/effects/effect_kit.h"

namespace effects {
namespace {

// Frosted glass: every pixel shows a random neighbour within the radius;
// the scatter changes with time.
class Spread final : public Effect {
public:
    explicit Spread(uint32_t seed) : seed_(seed) {}
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime time) override {
        const int w = src.width, h = src.height, r = SpreadRadius(w), span = 2 * r + 1;
        const auto slice = static_cast<uint32_t>(Tick(time, kSpreadSlice));
        for (int y = 0; y < h; ++y) {
            uint32_t state = Hash(seed_, slice, static_cast<uint32_t>(y)) | 1;
            uint8_t* out = dst.Row(y);
            for (int x = 0; x < w; ++x, out += 3) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                const int sx = std::clamp(x + static_cast<int>((state & 0xffff) * span >> 16) - r, 0, w - 1);
                const int sy = std::clamp(y + static_cast<int>((state >> 16) * span >> 16) - r, 0, h - 1);
                const uint8_t* in = src.At(sx, sy);
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
    }

private:
    uint32_t seed_;
};

// A picture that has lost its line lock: bands of rows slide sideways by
// random amounts (wrapping round) and change every kJitterSlice.
class Jitter final : public Effect {
public:
    explicit Jitter(uint32_t seed) : seed_(seed) {}
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime time) override {
        const int w = src.width, reach = JitterReach(w);
        const auto slice = static_cast<uint32_t>(Tick(time, kJitterSlice));
        const int band = std::max(2, src.height / 30);
        const size_t row_bytes = static_cast<size_t>(w) * 3;
        for (int y = 0; y < src.height; ++y) {
            const uint32_t r = Hash(seed_, slice, static_cast<uint32_t>(y / band));
            int shift = static_cast<int>(r % static_cast<uint32_t>(2 * reach + 1)) - reach;
            shift = ((shift % w) + w) % w;
            const uint8_t* in = src.Row(y);
            uint8_t* out = dst.Row(y);
            const size_t head = static_cast<size_t>(shift) * 3;
            std::copy(in + (row_bytes - head), in + row_bytes, out);
            std::copy(in, in + (row_bytes - head), out + head);
        }
    }

private:
    uint32_t seed_;
};

// A zoom burst: the mean of the picture and several slightly shrunk copies
// about the centre, so edges streak outwards. Shrinking is separable, so the
// per-size tables are one column table and one row table per copy.
class Impact final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override {
        const int w = src.width, h = src.height;
        if (w != width_ || h != height_) BuildTables(w, h);
        for (int y = 0; y < h; ++y) {
            const uint8_t* rows[kCopies];
            for (int k = 0; k < kCopies; ++k) rows[k] = src.Row(ys_[k * h + y]);
            uint8_t* out = dst.Row(y);
            for (int x = 0; x < w; ++x, out += 3) {
                unsigned b = 0, g = 0, r = 0;
                for (int k = 0; k < kCopies; ++k) {
                    const uint8_t* in = rows[k] + xs_[k * w + x];
                    b += in[0];
                    g += in[1];
                    r += in[2];
                }
                out[0] = static_cast<uint8_t>(b / kCopies);
                out[1] = static_cast<uint8_t>(g / kCopies);
                out[2] = static_cast<uint8_t>(r / kCopies);
            }
        }
    }

private:
    static constexpr int kCopies = 8;

    void BuildTables(int w, int h) {
        xs_.resize(static_cast<size_t>(kCopies) * w);
        ys_.resize(static_cast<size_t>(kCopies) * h);
        for (int k = 0; k < kCopies; ++k) {
            const double scale = 1.0 - 0.035 * k;
            for (int x = 0; x < w; ++x)
                xs_[k * w + x] = 3 * std::clamp(static_cast<int>(w / 2.0 + (x + 0.5 - w / 2.0) * scale), 0, w - 1);
            for (int y = 0; y < h; ++y)
                ys_[k * h + y] = std::clamp(static_cast<int>(h / 2.0 + (y + 0.5 - h / 2.0) * scale), 0, h - 1);
        }
        width_ = w;
        height_ = h;
    }

    std::vector<int> xs_, ys_;  // byte offset in a row, row index
    int width_ = 0, height_ = 0;
};

}  // namespace

int SpreadRadius(int width) { return std::max(2, width / 80); }
int JitterReach(int width) { return std::max(2, width / 24); }

std::unique_ptr<Effect> MakeSpread(uint32_t seed) { return std::make_unique<Spread>(seed); }
std::unique_ptr<Effect> MakeJitter(uint32_t seed) { return std::make_unique<Jitter>(seed); }
std::unique_ptr<Effect> MakeImpact() { return std::make_unique<Impact>(); }

}  // namespace effects
