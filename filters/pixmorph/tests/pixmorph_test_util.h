// Buffers with guard bytes on both sides (a write outside the usable part
// changes a guard even where the sanitizers cannot see it) and frame builders
// for the converter tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "filters/pixmorph/colorspaceconverter.h"

namespace pixmorph::testing {

class GuardedBuffer {
public:
    static constexpr size_t kGuard = 64;
    static constexpr uint8_t kGuardByte = 0xA5;

    explicit GuardedBuffer(size_t size, uint8_t fill = 0xCD)
        : bytes_(size + 2 * kGuard, kGuardByte), size_(size) {
        for (size_t i = 0; i < size; ++i) bytes_[kGuard + i] = fill;
    }
    uint8_t* data() { return bytes_.data() + kGuard; }
    const uint8_t* data() const { return bytes_.data() + kGuard; }
    size_t size() const { return size_; }
    uint8_t& operator[](size_t i) { return data()[i]; }
    std::vector<uint8_t> Contents() const { return {data(), data() + size_}; }
    bool GuardsIntact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (bytes_[i] != kGuardByte || bytes_[kGuard + size_ + i] != kGuardByte) return false;
        return true;
    }

private:
    std::vector<uint8_t> bytes_;
    size_t size_;
};

inline void FillRandom(uint8_t* p, size_t n, std::mt19937& rng) {
    for (size_t i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(rng());
}

// Work buffers of exactly the least sizes the pipeline accepts.
struct GuardedWork {
    GuardedBuffer yuy2;
    GuardedBuffer rgb;
    GuardedWork(Subtype subtype, int width, int height, uint8_t fill = 0xCD)
        : yuy2(Yuy2WorkSize(subtype, width, height), fill), rgb(RgbWorkSize(width, height), fill) {}
    WorkBuffers Buffers() { return {yuy2.data(), yuy2.size(), rgb.data(), rgb.size()}; }
    bool GuardsIntact() const { return yuy2.GuardsIntact() && rgb.GuardsIntact(); }
};

inline OutputFrame SizeMode(GuardedBuffer& out, int width, int height) {
    return {out.data(), out.size(), ScaleMode::kSize, width, height, 1, 1};
}

inline OutputFrame MultipleMode(GuardedBuffer& out, int in_width, int in_height, int mx, int my) {
    const int rows = in_height < 0 ? -in_height : in_height;
    return {out.data(), out.size(), ScaleMode::kMultiple, in_width * mx, rows * my, mx, my};
}

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr& o) const { return b == o.b && g == o.g && r == o.r; }
};

inline Bgr PixelAt(const uint8_t* image, int width, int x, int row) {
    const uint8_t* p = image + (static_cast<size_t>(row) * width + x) * 3;
    return {p[0], p[1], p[2]};
}

}  // namespace pixmorph::testing
