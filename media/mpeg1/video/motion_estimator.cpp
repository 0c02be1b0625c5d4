#include "media/mpeg1/video/motion_estimator.h"

#include <algorithm>
#include <climits>

#include "media/mpeg1/video/pixel_ops.h"

namespace mpeg::video {

namespace {

// Below this SAD per block the zero vector is taken without searching: two
// pixels per level is camera noise, already under the quantiser's step at
// every quality.
constexpr int kStillSad = 16 * 16 * 2;
constexpr int kMaxDiamondSteps = 24;

// Floor division by 2 that works for negative half-pel values.
inline int FloorHalf(int v) { return v >> 1; }

}  // namespace

MotionEstimator::Bounds MotionEstimator::BoundsFor(const Plane& ref, int px, int py) const {
    Bounds b;
    b.min_x = std::max(-2 * px, -range_);
    b.max_x = std::min(2 * (ref.width - 16 - px), range_ - 1);
    b.min_y = std::max(-2 * py, -range_);
    b.max_y = std::min(2 * (ref.height - 16 - py), range_ - 1);
    return b;
}

int MotionEstimator::FullPelSad(const uint8_t* cur, int stride, const uint8_t* ref_origin, int fx, int fy) const {
    return Sad16(cur, stride, ref_origin + fy * stride + fx, stride);
}

int MotionEstimator::HalfPelSad(const uint8_t* cur, int stride, const uint8_t* ref_origin, MotionVector mv) const {
    const uint8_t* r = ref_origin + FloorHalf(mv.y) * stride + FloorHalf(mv.x);
    return HalfPelSad16(r, stride, mv.x & 1, mv.y & 1, cur, stride);
}

MotionResult MotionEstimator::Search(const Plane& cur, const Plane& ref, int mb_x, int mb_y,
                                     const MotionVector* candidates, int candidate_count) const {
    const int px = mb_x * 16, py = mb_y * 16, stride = cur.width;
    const uint8_t* c = cur.Row(py) + px;
    const uint8_t* r = ref.Row(py) + px;
    const Bounds b = BoundsFor(ref, px, py);
    // Whole-pixel bounds: even half-pel values inside the half-pel bounds.
    const int fmin_x = (b.min_x + 1) >> 1, fmax_x = b.max_x >> 1;
    const int fmin_y = (b.min_y + 1) >> 1, fmax_y = b.max_y >> 1;

    MotionResult result;
    result.zero_sad = FullPelSad(c, stride, r, 0, 0);
    int best_x = 0, best_y = 0, best = result.zero_sad;
    if (best >= kStillSad) {
        for (int i = 0; i < candidate_count; ++i) {
            const int fx = std::clamp(FloorHalf(candidates[i].x), fmin_x, fmax_x);
            const int fy = std::clamp(FloorHalf(candidates[i].y), fmin_y, fmax_y);
            if (fx == best_x && fy == best_y) continue;
            const int sad = FullPelSad(c, stride, r, fx, fy);
            if (sad < best) best = sad, best_x = fx, best_y = fy;
        }
        static const int kDx[4] = {-1, 1, 0, 0}, kDy[4] = {0, 0, -1, 1};
        int came_from = -1;  // direction back to the previous centre, already measured
        for (int step = 0; step < kMaxDiamondSteps; ++step) {
            int next_x = best_x, next_y = best_y, moved = -1;
            for (int d = 0; d < 4; ++d) {
                if (d == came_from) continue;
                const int fx = best_x + kDx[d], fy = best_y + kDy[d];
                if (fx < fmin_x || fx > fmax_x || fy < fmin_y || fy > fmax_y) continue;
                const int sad = FullPelSad(c, stride, r, fx, fy);
                if (sad < best) best = sad, next_x = fx, next_y = fy, moved = d;
            }
            if (moved < 0) break;
            best_x = next_x, best_y = next_y;
            came_from = moved ^ 1;
        }
    }
    MotionVector best_mv{2 * best_x, 2 * best_y};
    if (best >= kStillSad) {
        // Half a pixel left or right, up or down; then the one diagonal
        // between the better of each pair.
        const MotionVector center = best_mv;
        auto consider = [&](int dx, int dy) {
            const MotionVector mv{center.x + dx, center.y + dy};
            if (mv.x < b.min_x || mv.x > b.max_x || mv.y < b.min_y || mv.y > b.max_y) return INT_MAX;
            const int sad = HalfPelSad(c, stride, r, mv);
            if (sad < best) best = sad, best_mv = mv;
            return sad;
        };
        const int left = consider(-1, 0), right = consider(1, 0);
        const int up = consider(0, -1), down = consider(0, 1);
        consider(left < right ? -1 : 1, up < down ? -1 : 1);
    }
    result.mv = best_mv;
    result.sad = best;
    return result;
}

}  // namespace mpeg::video
