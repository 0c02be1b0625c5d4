// A 4:2:0 picture at the coded size (whole macroblocks); stride = width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mpeg::video {

struct Plane {
    std::vector<uint8_t> pixels;
    int width = 0;
    int height = 0;

    void Allocate(int w, int h) {
        width = w;
        height = h;
        pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    }
    uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    const uint8_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
};

struct YuvFrame {
    Plane y, u, v;

    void Allocate(int luma_width, int luma_height) {
        y.Allocate(luma_width, luma_height);
        u.Allocate(luma_width / 2, luma_height / 2);
        v.Allocate(luma_width / 2, luma_height / 2);
    }
};

}  // namespace mpeg::video
