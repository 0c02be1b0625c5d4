// Helpers the effects share: luminance, a seeded hash for reproducible
// randomness, time phases, and the gather of a precomputed warp map.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "media/effects/effect.h"

namespace effects {

// BT.601 luma in 8-bit fixed point from B G R.
inline int Luma(const uint8_t* bgr) { return (29 * bgr[0] + 150 * bgr[1] + 77 * bgr[2] + 128) >> 8; }

inline uint8_t Clamp8(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// A well-mixed 32-bit hash (the finaliser of MurmurHash3) of a few words.
inline uint32_t Mix(uint32_t h) {
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return h;
}
inline uint32_t Hash(uint32_t a, uint32_t b, uint32_t c = 0) { return Mix(a * 0x9e3779b9u ^ Mix(b + 0x7f4a7c15u * c)); }

// Which of `steps` equal slices of a repeating `period` the time falls in.
inline int Phase(SampleTime time, SampleTime period, int steps) {
    SampleTime t = time % period;
    if (t < 0) t += period;
    return static_cast<int>(t * steps / period);
}

// Index of the time slice of length `slice` (negative times count down).
inline int64_t Tick(SampleTime time, SampleTime slice) { return time >= 0 ? time / slice : (time - slice + 1) / slice; }

void CopyFrame(const ConstFrameView& src, const FrameView& dst);

// For every output pixel the source pixel it shows, or none (x < 0): the
// background colour. Built once per size (and per phase for moving warps).
struct SourcePoint {
    int16_t x, y;
};
struct WarpMap {
    int width = 0, height = 0, phase = -1;
    std::vector<SourcePoint> points;  // row by row from the top
};

// Fills `map` for a size: builder(x, y, &sx, &sy) says where output pixel
// (x, y) comes from; a point outside the picture gives the background.
using WarpFunction = std::function<void(double x, double y, double* sx, double* sy)>;
void BuildWarpMap(int width, int height, const WarpFunction& where, WarpMap* map);

// dst(x, y) = src(map(x, y)), background where the map has no source.
void Gather(const WarpMap& map, const ConstFrameView& src, const FrameView& dst, const uint8_t background[3]);

// A warp map remembered for the last (size, phase); rebuilt only when either changes.
class WarpCache {
public:
    template <typename Build>
    const WarpMap& Get(int width, int height, int phase, Build&& build) {
        if (map_.width != width || map_.height != height || map_.phase != phase) {
            build(&map_);
            map_.width = width;
            map_.height = height;
            map_.phase = phase;
        }
        return map_;
    }

private:
    WarpMap map_;
};

}  // namespace effects
