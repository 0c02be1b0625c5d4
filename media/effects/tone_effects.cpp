// Effects that recolour each pixel on its own or from its neighbours:
// Invert, Gray, Emboss, Noise, Equalize.
#include "media/effects/tone_effects.h"

#include <array>
#include <vector>

#include "media/effects/effect_kit.h"

namespace effects {
namespace {

class Invert final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override {
        const int bytes = src.width * 3;
        for (int y = 0; y < src.height; ++y) {
            const uint8_t* in = src.Row(y);
            uint8_t* out = dst.Row(y);
            for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(255 - in[i]);
        }
    }
};

class Gray final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override {
        for (int y = 0; y < src.height; ++y) {
            const uint8_t* in = src.Row(y);
            uint8_t* out = dst.Row(y);
            for (int x = 0; x < src.width; ++x, in += 3, out += 3) out[0] = out[1] = out[2] = static_cast<uint8_t>(Luma(in));
        }
    }
};

// Grey relief lit from the top left: the luma step across the diagonal,
// around mid grey.
class Emboss final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override {
        const int w = src.width, h = src.height;
        luma_.resize(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y) {
            const uint8_t* in = src.Row(y);
            for (int x = 0; x < w; ++x) luma_[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(Luma(in + 3 * x));
        }
        for (int y = 0; y < h; ++y) {
            const uint8_t* above = &luma_[static_cast<size_t>(y > 0 ? y - 1 : 0) * w];
            const uint8_t* below = &luma_[static_cast<size_t>(y + 1 < h ? y + 1 : y) * w];
            uint8_t* out = dst.Row(y);
            for (int x = 0; x < w; ++x, out += 3) {
                const int left = x > 0 ? x - 1 : 0, right = x + 1 < w ? x + 1 : x;
                const uint8_t v = Clamp8(128 + 2 * (below[right] - above[left]));
                out[0] = out[1] = out[2] = v;
            }
        }
    }

private:
    std::vector<uint8_t> luma_;
};

// Film grain that changes every 1/30 s: each channel gets its own offset,
// roughly bell-shaped (sum of two uniform draws) within +-48.
class Noise final : public Effect {
public:
    explicit Noise(uint32_t seed) : seed_(seed) {}
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime time) override {
        const auto frame = static_cast<uint32_t>(Tick(time, kSecond / 30));
        for (int y = 0; y < src.height; ++y) {
            const uint8_t* in = src.Row(y);
            uint8_t* out = dst.Row(y);
            uint32_t state = Hash(seed_, frame, static_cast<uint32_t>(y));
            for (int x = 0; x < src.width; ++x, in += 3, out += 3) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                const uint32_t r = state;
                out[0] = Clamp8(in[0] + static_cast<int>((r & 31) + ((r >> 5) & 31) + ((r >> 10) & 31)) - 46);
                out[1] = Clamp8(in[1] + static_cast<int>(((r >> 15) & 31) + ((r >> 20) & 31) + ((r >> 25) & 31)) - 46);
                out[2] = Clamp8(in[2] + static_cast<int>(((r >> 3) & 31) + ((r >> 12) & 31) + ((r >> 27) & 31)) - 46);
            }
        }
    }

private:
    uint32_t seed_;
};

// Histogram equalisation of the luma; every channel moves by the pixel's luma
// change so colours keep their hue.
class Equalize final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override {
        std::array<uint32_t, 256> histogram{};
        for (int y = 0; y < src.height; ++y) {
            const uint8_t* in = src.Row(y);
            for (int x = 0; x < src.width; ++x, in += 3) ++histogram[Luma(in)];
        }
        std::array<int, 256> shift{};
        const uint64_t total = static_cast<uint64_t>(src.width) * src.height;
        uint64_t below = 0;
        for (int v = 0; v < 256; ++v) {
            below += histogram[v];
            // Each level goes to the middle of the rank range it occupies.
            const uint64_t mid = below - histogram[v] / 2;
            shift[v] = static_cast<int>(mid * 255 / total) - v;
        }
        for (int y = 0; y < src.height; ++y) {
            const uint8_t* in = src.Row(y);
            uint8_t* out = dst.Row(y);
            for (int x = 0; x < src.width; ++x, in += 3, out += 3) {
                const int d = shift[Luma(in)];
                out[0] = Clamp8(in[0] + d);
                out[1] = Clamp8(in[1] + d);
                out[2] = Clamp8(in[2] + d);
            }
        }
    }
};

}  // namespace

std::unique_ptr<Effect> MakeInvert() { return std::make_unique<Invert>(); }
std::unique_ptr<Effect> MakeGray() { return std::make_unique<Gray>(); }
std::unique_ptr<Effect> MakeEmboss() { return std::make_unique<Emboss>(); }
std::unique_ptr<Effect> MakeNoise(uint32_t seed) { return std::make_unique<Noise>(seed); }
std::unique_ptr<Effect> MakeEqualize() { return std::make_unique<Equalize>(); }

}  // namespace effects
