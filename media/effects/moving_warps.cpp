#include "media/effects/moving_warps.h"

#include <algorithm>
#include <cmath>

#include "media/effects/warp_effects.h"

namespace effects {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr SourcePoint kNowhere{-1, -1};

inline SourcePoint Point(double sx, double sy, int w, int h) {
    // Comparing before truncating keeps (-1, 0) out: truncation is floor only from 0 up.
    if (!(sx >= 0 && sy >= 0 && sx < w && sy < h)) return kNowhere;
    return {static_cast<int16_t>(sx), static_cast<int16_t>(sy)};
}

void RotateZ(int w, int h, double phase, SourcePoint* p) {
    const double c = std::cos(2 * kPi * phase), s = std::sin(2 * kPi * phase);
    const double cx = w / 2.0, cy = h / 2.0;
    for (int y = 0; y < h; ++y) {
        const double dy = y + 0.5 - cy, dx0 = 0.5 - cx;
        double sx = cx + c * dx0 + s * dy, sy = cy - s * dx0 + c * dy;
        for (int x = 0; x < w; ++x, ++p, sx += c, sy -= s) *p = Point(sx, sy, w, h);
    }
}

// The card's position across the axis and its depth factor for one screen
// line across it; false where the line sees no card.
struct CardLine {
    double along;  // source coordinate across the axis, from the centre
    double scale;  // source distance along the axis per screen distance
    bool seen;
};
CardLine Line(double angle, double extent, double screen) {
    const double d = 2.0 * extent, c = std::cos(angle), s = std::sin(angle);
    const double den = d * c - screen * s;
    if (std::fabs(den) < 1e-9) return {0, 0, false};
    const double u = screen * d / den, depth = d + u * s;
    return {u, depth / d, depth > 0};
}

void RotateY(int w, int h, double phase, SourcePoint* p) {
    const double cx = w / 2.0, cy = h / 2.0, angle = 2 * kPi * phase;
    for (int x = 0; x < w; ++x) {
        const CardLine line = Line(angle, std::max(w, h), x + 0.5 - cx);
        SourcePoint* q = p + x;
        for (int y = 0; y < h; ++y, q += w)
            *q = line.seen ? Point(cx + line.along, cy + (y + 0.5 - cy) * line.scale, w, h) : kNowhere;
    }
}

void RotateX(int w, int h, double phase, SourcePoint* p) {
    const double cx = w / 2.0, cy = h / 2.0, angle = 2 * kPi * phase;
    for (int y = 0; y < h; ++y) {
        const CardLine line = Line(angle, std::max(w, h), y + 0.5 - cy);
        for (int x = 0; x < w; ++x, ++p)
            *p = line.seen ? Point(cx + (x + 0.5 - cx) * line.scale, cy + line.along, w, h) : kNowhere;
    }
}

void Twirl(int w, int h, double phase, SourcePoint* p) {
    constexpr int kSteps = 16384;
    constexpr double kMaxAngle = 4.1;  // above the largest twist, 2.6 + 1.4
    static const auto table = [] {
        std::vector<float> t(2 * (kSteps + 1));
        for (int i = 0; i <= kSteps; ++i) {
            t[2 * i] = static_cast<float>(std::cos(kMaxAngle * i / kSteps));
            t[2 * i + 1] = static_cast<float>(std::sin(kMaxAngle * i / kSteps));
        }
        return t;
    }();
    const double twist = 2.6 + 1.4 * std::sin(2 * kPi * phase);
    const double cx = w / 2.0, cy = h / 2.0, radius = std::min(w, h) * 0.48;
    const double k = twist * kSteps / kMaxAngle;
    for (int y = 0; y < h; ++y) {
        const double dy = y + 0.5 - cy;
        for (int x = 0; x < w; ++x, ++p) {
            const double dx = x + 0.5 - cx, r = std::sqrt(dx * dx + dy * dy) / radius;
            if (r >= 1.0) {
                *p = {static_cast<int16_t>(x), static_cast<int16_t>(y)};
                continue;
            }
            const int i = static_cast<int>(k * (1 - r) * (1 - r) + 0.5);
            const double c = table[2 * i], s = table[2 * i + 1];
            *p = Point(cx + c * dx - s * dy, cy + s * dx + c * dy, w, h);
        }
    }
}

}  // namespace

bool BuildMovingWarpMap(int code, int w, int h, double phase, WarpMap* map) {
    map->points.resize(static_cast<size_t>(w) * h);
    SourcePoint* p = map->points.data();
    switch (code) {
        case kRotateZ: RotateZ(w, h, phase, p); return true;
        case kRotateY: RotateY(w, h, phase, p); return true;
        case kRotateX: RotateX(w, h, phase, p); return true;
        case kTwirl: Twirl(w, h, phase, p); return true;
        default: return false;
    }
}

}  // namespace effects
