#include "media/mpeg1/tests/synthetic_video.h"

#include <cmath>
#include <cstddef>

namespace mpeg::testing {

namespace {

uint8_t Clamp(double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v + 0.5); }

// Hash noise: same value for the same (x, y, frame) on every run.
double Noise(int x, int y, int frame) {
    uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
                 static_cast<uint32_t>(frame) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return (static_cast<double>(h & 0xFF) / 255.0 - 0.5) * 6.0;  // +-3 levels
}

double Luma(int x, int y, int f, int w, int h) {
    double v = 60 + 100.0 * (x + 2.0 * f) / w + 40.0 * y / h;  // drifting gradient
    const double dx = x - (w * 0.25 + 3.0 * f), dy = y - h * 0.5;
    const double r = h * 0.2;
    if (dx * dx + dy * dy < r * r) v = 128 + 50 * std::sin(dx * 0.5) * std::cos(dy * 0.4);  // textured disc
    const int bx = static_cast<int>(w * 0.6 - 2 * f), by = static_cast<int>(h * 0.15 + 1.5 * f);
    if (x >= bx && x < bx + w / 5 && y >= by && y < by + h / 4) v = ((x - bx) / 3 + (y - by) / 5) % 2 ? 200 : 40;
    if (x < w / 6 && y > h * 3 / 4) v = 110 + 60 * std::sin(x * 0.9) * std::sin(y * 0.7);  // still detail
    return v;
}

}  // namespace

std::vector<uint8_t> SyntheticFrame(int w, int h, int f) {
    const int cw = (w + 1) / 2, ch = (h + 1) / 2;
    std::vector<uint8_t> frame(static_cast<size_t>(w) * h + 2 * static_cast<size_t>(cw) * ch);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) frame[static_cast<size_t>(y) * w + x] = Clamp(Luma(x, y, f, w, h) + Noise(x, y, f));
    uint8_t* u = frame.data() + static_cast<size_t>(w) * h;
    uint8_t* v = u + static_cast<size_t>(cw) * ch;
    for (int y = 0; y < ch; ++y) {
        for (int x = 0; x < cw; ++x) {
            const double dx = 2 * x - (w * 0.25 + 3.0 * f), dy = 2 * y - h * 0.5, r = h * 0.2;
            const bool disc = dx * dx + dy * dy < r * r;
            u[y * cw + x] = Clamp(disc ? 90 : 128 + 40.0 * (x + f) / cw - 20);
            v[y * cw + x] = Clamp(disc ? 180 : 140 - 30.0 * y / ch);
        }
    }
    return frame;
}

}  // namespace mpeg::testing
