#include "media/effects/effect_kit.h"

#include <cmath>

namespace effects {

void CopyFrame(const ConstFrameView& src, const FrameView& dst) {
    const size_t bytes = static_cast<size_t>(src.width) * 3;
    for (int y = 0; y < src.height; ++y) std::memcpy(dst.Row(y), src.Row(y), bytes);
}

void BuildWarpMap(int width, int height, const WarpFunction& where, WarpMap* map) {
    map->points.resize(static_cast<size_t>(width) * height);
    SourcePoint* p = map->points.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, ++p) {
            double sx = 0, sy = 0;
            where(x + 0.5, y + 0.5, &sx, &sy);
            const double fx = std::floor(sx), fy = std::floor(sy);
            const bool inside = fx >= 0 && fy >= 0 && fx < width && fy < height;
            *p = inside ? SourcePoint{static_cast<int16_t>(fx), static_cast<int16_t>(fy)} : SourcePoint{-1, -1};
        }
    }
}

void Gather(const WarpMap& map, const ConstFrameView& src, const FrameView& dst, const uint8_t background[3]) {
    const SourcePoint* p = map.points.data();
    for (int y = 0; y < dst.height; ++y) {
        uint8_t* out = dst.Row(y);
        for (int x = 0; x < dst.width; ++x, ++p, out += 3) {
            const uint8_t* in = p->x >= 0 ? src.At(p->x, p->y) : background;
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
}

}  // namespace effects
