// Pictures for trying the effects: a natural-looking outdoor scene (sky,
// sun, hills with texture, a skin-coloured face) and helpers to read frames.
#pragma once

#include <cstdint>
#include <vector>

#include "media/effects/frame_view.h"

namespace effects_test {

// A packed top-down B G R picture.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 3) {}
    effects::FrameView View() { return {pixels.data(), width * 3, width, height}; }
    effects::ConstFrameView View() const { return {pixels.data(), width * 3, width, height}; }
    uint8_t* At(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * 3]; }
    const uint8_t* At(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 3]; }
};

// The scene with the face centred at (face_x, face_y), radius about h/8.
Picture Scene(int width, int height, int face_x, int face_y);
inline Picture Scene(int width, int height) { return Scene(width, height, width * 2 / 3, height * 2 / 5); }

// Filled disc of a colour, clipped.
void Disc(Picture& p, double cx, double cy, double radius, const uint8_t bgr[3]);

}  // namespace effects_test
