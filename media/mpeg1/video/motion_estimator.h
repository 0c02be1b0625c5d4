// Block matching for P pictures: predictor candidates, a small diamond
// search at whole pixels, then half-pixel refinement. Vectors stay inside the
// reference picture and inside the range the picture's f_code can code, so
// nothing ever reads outside the planes.
#pragma once

#include <cstdint>

#include "media/mpeg1/video/yuv_frame.h"

namespace mpeg::video {

struct MotionVector {
    int x = 0;  // half-pixel units
    int y = 0;
    bool operator==(const MotionVector& o) const { return x == o.x && y == o.y; }
};

struct MotionResult {
    MotionVector mv;
    int sad = 0;       // of the chosen vector
    int zero_sad = 0;  // of the zero vector, for the skip decision
};

class MotionEstimator {
public:
    // f_code 1..7 bounds vectors to [-16f, 16f - 1] half pixels, f = 2^(f_code-1).
    void Configure(int f_code) { range_ = 16 << (f_code - 1); }

    // `candidates` are vectors of neighbouring blocks (any values: they are
    // clamped). `cur` and `ref` share the coded size.
    MotionResult Search(const Plane& cur, const Plane& ref, int mb_x, int mb_y, const MotionVector* candidates,
                        int candidate_count) const;

private:
    struct Bounds {
        int min_x, max_x, min_y, max_y;  // half pixels
    };
    Bounds BoundsFor(const Plane& ref, int px, int py) const;
    int FullPelSad(const uint8_t* cur, int stride, const uint8_t* ref_origin, int fx, int fy) const;
    int HalfPelSad(const uint8_t* cur, int stride, const uint8_t* ref_origin, MotionVector mv) const;

    int range_ = 32;
};

}  // namespace mpeg::video
