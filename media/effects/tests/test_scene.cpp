#include "media/effects/tests/test_scene.h"

#include <algorithm>
#include <cmath>

namespace effects_test {
namespace {

// Smooth value noise in [0, 1) from a lattice of hashed values.
double Lattice(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xffff) / 65536.0;
}
double SmoothNoise(double x, double y) {
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const double fx = x - ix, fy = y - iy, sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = Lattice(ix, iy) + (Lattice(ix + 1, iy) - Lattice(ix, iy)) * sx;
    const double bottom = Lattice(ix, iy + 1) + (Lattice(ix + 1, iy + 1) - Lattice(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

uint8_t Byte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

void Disc(Picture& p, double cx, double cy, double radius, const uint8_t bgr[3]) {
    for (int y = std::max(0, int(cy - radius)); y < std::min(p.height, int(cy + radius) + 1); ++y)
        for (int x = std::max(0, int(cx - radius)); x < std::min(p.width, int(cx + radius) + 1); ++x)
            if ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) <= radius * radius)
                std::copy(bgr, bgr + 3, p.At(x, y));
}

Picture Scene(int width, int height, int face_x, int face_y) {
    Picture p(width, height);
    const double scale = 24.0 / std::max(1, std::min(width, height)) * 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const double ridge = 0.55 + 0.08 * std::sin(u * 7.0) + 0.05 * std::sin(u * 17.0 + 1.0);
            const double tex = SmoothNoise(x * scale / 8, y * scale / 8) * 0.6 + SmoothNoise(x * scale, y * scale) * 0.4;
            uint8_t* px = p.At(x, y);
            if (v < ridge) {  // sky: deep blue above, pale at the horizon, soft clouds
                const double cloud = std::max(0.0, SmoothNoise(x * scale / 6, y * scale / 3) - 0.55) * 2.2;
                px[0] = Byte(235 - 40 * v + 40 * cloud);
                px[1] = Byte(120 + 110 * v + 90 * cloud);
                px[2] = Byte(60 + 140 * v + 150 * cloud);
            } else {  // hills: green grass, darker with depth, textured
                const double depth = (v - ridge) / (1 - ridge);
                px[0] = Byte(30 + 30 * tex);
                px[1] = Byte(90 + 70 * depth + 60 * tex);
                px[2] = Byte(40 + 50 * tex + 30 * depth);
            }
        }
    }
    const uint8_t sun[3] = {120, 235, 255};
    Disc(p, width * 0.18, height * 0.2, height / 12.0, sun);
    const uint8_t trunk[3] = {20, 35, 55}, crown[3] = {30, 110, 40};
    for (int y = int(height * 0.45); y < int(height * 0.85); ++y)
        for (int x = int(width * 0.1); x < int(width * 0.1) + std::max(2, width / 40); ++x) std::copy(trunk, trunk + 3, p.At(x, y));
    Disc(p, width * 0.1 + width / 80.0, height * 0.42, height / 9.0, crown);
    const uint8_t skin[3] = {150, 180, 228}, hair[3] = {20, 30, 45};
    Disc(p, face_x, face_y - height / 30.0, height / 7.0, hair);
    Disc(p, face_x, face_y, height / 8.0, skin);
    return p;
}

}  // namespace effects_test
