#include "media/frame_files/swf_stage.h"

#include <algorithm>
#include <cmath>

#include "media/frame_files/frame_animation.h"

namespace frame_files {
namespace {

constexpr double kTwips = 20.0;

uint8_t Transformed(int value, int channel, const SwfColourTransform& t) {
    const int64_t v = int64_t{value} * t.mult[channel] / 256 + t.add[channel];
    return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
}

// Source over destination, both straight alpha.
void BlendPixel(const uint8_t* s, uint8_t* d) {
    const int sa = s[3];
    if (sa == 0) return;
    const int da = d[3] * (255 - sa) / 255;
    const int out_a = sa + da;
    for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * sa + d[c] * da + out_a / 2) / out_a);
    d[3] = static_cast<uint8_t>(out_a);
}

// Casts only values an int holds: hostile matrices reach any double.
int ToInt(double v) { return static_cast<int>(std::clamp(std::floor(v), -1e9, 1e9)); }

int WrapOrClamp(int v, int size, bool repeat) {
    if (repeat) {
        v %= size;
        return v < 0 ? v + size : v;
    }
    return std::clamp(v, 0, size - 1);
}

}  // namespace

void SwfStage::SetBackground(uint8_t red, uint8_t green, uint8_t blue) {
    // The key colour, as in bitmap frames, leaves the stage transparent.
    const bool key = red == kKeyRed && green == kKeyGreen && blue == kKeyBlue;
    background_[0] = key ? 0 : red;
    background_[1] = key ? 0 : green;
    background_[2] = key ? 0 : blue;
    background_[3] = key ? 0 : 255;
}

bool SwfStage::Draw(std::vector<uint8_t>* rgba) const {
    rgba->resize(static_cast<size_t>(width_) * height_ * 4);
    for (size_t i = 0; i < rgba->size(); i += 4) std::copy(background_, background_ + 4, rgba->begin() + i);
    bool drew = false;
    for (const auto& [depth, placement] : display) {
        const auto shape = shapes.find(placement.character);
        if (shape == shapes.end()) continue;
        const auto bitmap = bitmaps.find(shape->second.bitmap_id);
        if (bitmap == bitmaps.end()) continue;
        DrawShape(shape->second, bitmap->second, placement, rgba);
        drew = true;
    }
    return drew;
}

// Every stage pixel whose centre falls inside the placed shape's bounds takes
// the bitmap pixel that the fill and placement matrices map onto it.
void SwfStage::DrawShape(const SwfShape& shape, const SwfBitmap& bitmap, const SwfPlacement& placement,
                         std::vector<uint8_t>* rgba) const {
    SwfMatrix to_shape, to_bitmap;
    if (!placement.matrix.Inverse(&to_shape) || !shape.fill.Inverse(&to_bitmap)) return;
    // Bounding box of the placed shape, in stage pixels.
    double left = 1e300, right = -1e300, top = 1e300, bottom = -1e300;
    const SwfRect& b = shape.bounds;
    for (int corner = 0; corner < 4; ++corner) {
        double x, y;
        placement.matrix.Apply(corner & 1 ? b.x_max : b.x_min, corner & 2 ? b.y_max : b.y_min, &x, &y);
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    }
    const int x0 = std::max(0, ToInt((left - frame_.x_min) / kTwips));
    const int x1 = std::min(width_, ToInt((right - frame_.x_min) / kTwips) + 1);
    const int y0 = std::max(0, ToInt((top - frame_.y_min) / kTwips));
    const int y1 = std::min(height_, ToInt((bottom - frame_.y_min) / kTwips) + 1);
    uint8_t pixel[4];
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            double sx, sy, u, v;
            to_shape.Apply(frame_.x_min + (px + 0.5) * kTwips, frame_.y_min + (py + 0.5) * kTwips, &sx, &sy);
            if (sx < b.x_min || sx >= b.x_max || sy < b.y_min || sy >= b.y_max) continue;
            to_bitmap.Apply(sx, sy, &u, &v);
            const int bx = WrapOrClamp(ToInt(u), bitmap.width, shape.repeat);
            const int by = WrapOrClamp(ToInt(v), bitmap.height, shape.repeat);
            const uint8_t* s = &bitmap.rgba[(static_cast<size_t>(by) * bitmap.width + bx) * 4];
            for (int c = 0; c < 4; ++c) pixel[c] = Transformed(s[c], c, placement.colour);
            BlendPixel(pixel, &(*rgba)[(static_cast<size_t>(py) * width_ + px) * 4]);
        }
    }
}

}  // namespace frame_files
