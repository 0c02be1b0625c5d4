#include "media/effects/warp_effects.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "media/effects/effect_kit.h"
#include "media/effects/moving_warps.h"

namespace effects {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint8_t kBlack[3] = {0, 0, 0};

struct Geometry {
    double cx, cy, radius;  // centre and the radius of the round warps
};
Geometry Centre(int w, int h) { return {w / 2.0, h / 2.0, std::min(w, h) * 0.48}; }

// Radial warps: the output at distance r from the centre shows the source at
// distance radius * profile(r / radius); outside the circle nothing moves.
template <typename Profile>
void Radial(const Geometry& g, double x, double y, double* sx, double* sy, Profile profile) {
    const double dx = x - g.cx, dy = y - g.cy, r = std::sqrt(dx * dx + dy * dy) / g.radius;
    const double k = r >= 1.0 || r == 0.0 ? 1.0 : profile(r) / r;
    *sx = g.cx + dx * k;
    *sy = g.cy + dy * k;
}

// A picture card turned about a screen axis by `angle`, seen in perspective
// from a distance of twice the picture's size. `along` is the coordinate
// across the axis, `other` along it; returns false where no card is seen.
bool TurnedCard(double angle, double extent, double along, double other, double* s_along, double* s_other) {
    const double d = 2.0 * extent, c = std::cos(angle), s = std::sin(angle);
    const double den = d * c - along * s;
    if (std::fabs(den) < 1e-9) return false;
    const double u = along * d / den;  // position on the card across the axis
    const double depth = d + u * s;
    if (depth <= 0) return false;
    *s_along = u;
    *s_other = other * depth / d;
    return true;
}

void Rotate(double angle, double dx, double dy, double* rx, double* ry) {
    const double c = std::cos(angle), s = std::sin(angle);
    *rx = c * dx - s * dy;
    *ry = s * dx + c * dy;
}

}  // namespace

void WarpSource(int code, int w, int h, double phase, double x, double y, double* sx, double* sy) {
    const Geometry g = Centre(w, h);
    switch (code) {
        case kMagicalMirror:  // the left half and its reflection
            *sx = x < g.cx ? x : w - x;
            *sy = y;
            return;
        case kWall: {  // 3 x 3 screens, each the whole picture, with dark seams
            const double tw = w / 3.0, th = h / 3.0, seam = std::max(1.0, std::min(w, h) / 120.0);
            const double u = std::fmod(x, tw), v = std::fmod(y, th);
            const bool on_seam = u < seam || v < seam || u > tw - seam || v > th - seam;
            *sx = on_seam ? -1 : u * 3.0;
            *sy = on_seam ? -1 : v * 3.0;
            return;
        }
        case kPunch:  // the middle bulges towards the viewer
            return Radial(g, x, y, sx, sy, [](double r) { return std::pow(r, 1.8); });
        case kPinch:  // the middle is drawn inwards
            return Radial(g, x, y, sx, sy, [](double r) { return std::pow(r, 0.55); });
        case kTwirl: {  // a whirl strongest at the centre, its twist swinging with time
            const double twist = 2.6 + 1.4 * std::sin(2 * kPi * phase);
            const double dx = x - g.cx, dy = y - g.cy, r = std::sqrt(dx * dx + dy * dy) / g.radius;
            const double a = r >= 1.0 ? 0.0 : twist * (1.0 - r) * (1.0 - r);
            double rx = 0, ry = 0;
            Rotate(a, dx, dy, &rx, &ry);
            *sx = g.cx + rx;
            *sy = g.cy + ry;
            return;
        }
        case kCylinder: {  // the picture wrapped round a column facing us
            const double half = w / 2.0, u = (x - g.cx) / half;
            *sx = g.cx + half * (2.0 / kPi) * std::asin(std::clamp(u, -1.0, 1.0));
            *sy = y;
            return;
        }
        case kRotateZ: {
            double rx = 0, ry = 0;
            Rotate(-2 * kPi * phase, x - g.cx, y - g.cy, &rx, &ry);
            *sx = g.cx + rx;
            *sy = g.cy + ry;
            return;
        }
        case kRotateY:
        case kRotateX: {
            const bool y_axis = code == kRotateY;
            const double along = y_axis ? x - g.cx : y - g.cy, other = y_axis ? y - g.cy : x - g.cx;
            double a = 0, o = 0;
            if (!TurnedCard(2 * kPi * phase, std::max(w, h), along, other, &a, &o)) {
                *sx = *sy = -1;
                return;
            }
            *sx = g.cx + (y_axis ? a : o);
            *sy = g.cy + (y_axis ? o : a);
            return;
        }
        default:
            *sx = x;
            *sy = y;
    }
}

namespace {

class Warp final : public Effect {
public:
    Warp(int code, SampleTime period) : code_(code), period_(period) {}

    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime time) override {
        const int phase = period_ > 0 ? Phase(time, period_, kWarpPhaseSteps) : 0;
        const int w = src.width, h = src.height;
        const WarpMap& map = cache_.Get(w, h, phase, [&](WarpMap* m) {
            const double p = static_cast<double>(phase) / kWarpPhaseSteps;
            if (BuildMovingWarpMap(code_, w, h, p, m)) return;
            BuildWarpMap(w, h, [&](double x, double y, double* sx, double* sy) { WarpSource(code_, w, h, p, x, y, sx, sy); }, m);
        });
        Gather(map, src, dst, kBlack);
        if (code_ == kCylinder) Shade(dst);
    }

private:
    // The column's sides turn away from the light: darker towards the edges.
    void Shade(const FrameView& dst) {
        if (static_cast<int>(shade_.size()) != dst.width) {
            shade_.resize(dst.width);
            for (int x = 0; x < dst.width; ++x) {
                const double u = std::clamp((x + 0.5) / (dst.width / 2.0) - 1.0, -1.0, 1.0);
                shade_[x] = static_cast<uint16_t>(std::lround(256 * (0.5 + 0.5 * std::sqrt(1 - u * u))));
            }
        }
        for (int y = 0; y < dst.height; ++y) {
            uint8_t* p = dst.Row(y);
            for (int x = 0; x < dst.width; ++x, p += 3) {
                const unsigned k = shade_[x];
                p[0] = static_cast<uint8_t>(p[0] * k >> 8);
                p[1] = static_cast<uint8_t>(p[1] * k >> 8);
                p[2] = static_cast<uint8_t>(p[2] * k >> 8);
            }
        }
    }

    std::vector<uint16_t> shade_;
    int code_;
    SampleTime period_;  // 0 for warps that stand still
    WarpCache cache_;
};

}  // namespace

std::unique_ptr<Effect> MakeWarp(int code) {
    switch (code) {
        case kMagicalMirror:
        case kWall:
        case kPunch:
        case kPinch:
        case kCylinder:
            return std::make_unique<Warp>(code, 0);
        case kTwirl:
            return std::make_unique<Warp>(code, kTwirlPeriod);
        case kRotateZ:
            return std::make_unique<Warp>(code, kRotateZPeriod);
        case kRotateX:
        case kRotateY:
            return std::make_unique<Warp>(code, kRotateXYPeriod);
        default:
            return nullptr;
    }
}

}  // namespace effects
