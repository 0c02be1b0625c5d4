// Properties that show each effect is the one its name promises.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "media/effects/effect.h"
#include "media/effects/face_trace.h"
#include "media/effects/shape_effects.h"
#include "media/effects/tests/effect_test_util.h"
#include "media/effects/warp_effects.h"

namespace effects_test {
namespace {

using namespace effects;

constexpr double kPi = 3.14159265358979323846;
constexpr uint8_t kMagenta[3] = {255, 0, 255};

TEST(EffectProperties, GrayHasEqualChannelsAndKeepsBrightness) {
    const Picture scene = Scene(320, 240), gray = ApplyTo(kGray, scene);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const uint8_t* g = gray.At(x, y);
            const uint8_t* s = scene.At(x, y);
            ASSERT_TRUE(g[0] == g[1] && g[1] == g[2]) << x << "," << y;
            ASSERT_NEAR(g[0], 0.114 * s[0] + 0.587 * s[1] + 0.299 * s[2], 1.5);
        }
}

TEST(EffectProperties, InvertTwiceIsTheIdentity) {
    const Picture scene = Scene(320, 240), once = ApplyTo(kInvert, scene);
    EXPECT_EQ(255 - scene.pixels[1234], once.pixels[1234]);
    EXPECT_EQ(ApplyTo(kInvert, once).pixels, scene.pixels);
}

TEST(EffectProperties, MosaicBlocksAreConstantAndKeepTheirMeanColour) {
    const Picture scene = Scene(320, 240), mosaic = ApplyTo(kMosaic, scene);
    const int block = MosaicBlockSize(320);
    ASSERT_GE(block, 8);
    for (int by = 0; by < 240; by += block)
        for (int bx = 0; bx < 320; bx += block) {
            double mean[3] = {0, 0, 0};
            int n = 0;
            for (int y = by; y < std::min(240, by + block); ++y)
                for (int x = bx; x < std::min(320, bx + block); ++x, ++n)
                    for (int c = 0; c < 3; ++c) {
                        ASSERT_EQ(mosaic.At(x, y)[c], mosaic.At(bx, by)[c]) << x << "," << y;
                        mean[c] += scene.At(x, y)[c];
                    }
            for (int c = 0; c < 3; ++c) ASSERT_NEAR(mosaic.At(bx, by)[c], mean[c] / n, 0.51);
        }
}

// Centroid of the magenta pixels (a mark no effect input contains otherwise).
std::optional<std::pair<double, double>> FindMark(const Picture& p) {
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* c = p.At(x, y);
            if (c[0] > 200 && c[1] < 60 && c[2] > 200) sx += x + 0.5, sy += y + 0.5, ++n;
        }
    if (n == 0) return std::nullopt;
    return std::pair{sx / n, sy / n};
}

struct MarkCase {
    int code;
    SampleTime time;
    double x, y;                  // where the mark is drawn
    double expect_x, expect_y;    // where the named operation puts it
    double tolerance;
};

// Expected places from the operation's definition, in closed form: rotation
// by an angle, a card turned in perspective seen from twice its size, a
// radial profile r^p (Pinch p = 0.55, Punch p = 1.8) inverted, a whirl of
// 2.6 (1 - r)^2 radians at rest, a cylinder that maps x to sin(x pi / 2).
TEST(EffectProperties, WarpsMoveKnownMarksWhereTheirNamesSay) {
    const double cx = 160, cy = 120, radius = 240 * 0.48;
    const double turned = 60 * std::cos(kPi / 3) * 640 / (640 + 60 * std::sin(kPi / 3));
    const double twirl = 2.6 * 0.25, pinch = std::pow(0.5, 1 / 0.55), punch = std::pow(0.3, 1 / 1.8);
    const MarkCase cases[] = {
        {kRotateZ, 0, cx + 60, cy, cx + 60, cy, 1.0},
        {kRotateZ, kRotateZPeriod / 4, cx + 60, cy, cx, cy + 60, 1.5},   // a quarter turn clockwise
        {kRotateZ, kRotateZPeriod / 2, cx + 60, cy - 30, cx - 60, cy + 30, 1.5},
        {kRotateY, kRotateXYPeriod / 6, cx + 60, cy, cx + turned, cy, 1.5},  // 60 degrees about the vertical
        {kRotateY, kRotateXYPeriod / 2, cx + 60, cy + 20, cx - 60, cy + 20, 1.5},  // seen from behind
        {kRotateX, kRotateXYPeriod / 6, cx, cy + 60, cx, cy + turned, 1.5},
        {kTwirl, 0, cx + radius / 2, cy, cx + radius / 2 * std::cos(twirl), cy - radius / 2 * std::sin(twirl), 2.0},
        {kTwirl, 0, cx + 2, cy + radius + 3, cx + 2, cy + radius + 3, 1.0},  // outside the whirl
        {kPinch, 0, cx + radius / 2, cy, cx + radius * pinch, cy, 2.0},
        {kPunch, 0, cx, cy - radius * 0.3, cx, cy - radius * punch, 2.0},
        {kCylinder, 0, cx + 80, cy, cx + 160 * std::sin(0.5 * kPi / 2), cy, 2.0},
        {kMagicalMirror, 0, cx - 50, cy + 10, cx + 50, cy + 10, 1.0},  // and its original stays at cx - 50
    };
    for (const MarkCase& c : cases) {
        Picture scene = Scene(320, 240);
        Disc(scene, c.x, c.y, 3.5, kMagenta);
        Picture out = ApplyTo(c.code, scene, c.time);
        if (c.code == kMagicalMirror) {  // two marks: look at the right half only
            for (int y = 0; y < 240; ++y)
                for (int x = 0; x < 160; ++x) std::fill(out.At(x, y), out.At(x, y) + 3, 0);
        }
        const auto mark = FindMark(out);
        ASSERT_TRUE(mark) << EffectName(c.code) << " lost the mark";
        EXPECT_NEAR(mark->first, c.expect_x, c.tolerance) << EffectName(c.code) << " at " << c.time;
        EXPECT_NEAR(mark->second, c.expect_y, c.tolerance) << EffectName(c.code) << " at " << c.time;
    }
}

std::vector<int> SortedLuma(const Picture& p) {
    std::vector<int> v;
    for (size_t i = 0; i < p.pixels.size(); i += 3)
        v.push_back((29 * p.pixels[i] + 150 * p.pixels[i + 1] + 77 * p.pixels[i + 2]) >> 8);
    std::sort(v.begin(), v.end());
    return v;
}

TEST(EffectProperties, EqualizeSpreadsTheLuminanceHistogram) {
    Picture dull = Scene(320, 240);
    for (uint8_t& b : dull.pixels) b = static_cast<uint8_t>(100 + b / 5);  // all within 100..151
    const auto before = SortedLuma(dull), after = SortedLuma(ApplyTo(kEqualize, dull));
    const size_t n = before.size();
    auto spread = [n](const std::vector<int>& v) { return v[n * 95 / 100] - v[n * 5 / 100]; };
    EXPECT_GT(spread(after), 3 * spread(before));
    EXPECT_GT(spread(after), 150);
    // Roughly flat: each quarter of the range holds roughly a quarter of the pixels.
    for (int q = 1; q < 4; ++q) EXPECT_NEAR(after[n * q / 4], 64 * q, 24) << "quartile " << q;
}

// A skin-coloured disc crossing a skin-free picture: the green box stays round it.
TEST(EffectProperties, FaceTraceBoxFollowsAMovingSkinBlob) {
    auto effect = CreateEffect(kFaceTrace);
    const uint8_t skin[3] = {150, 180, 228};
    for (int frame = 0; frame < 30; ++frame) {
        Picture scene = Scene(320, 240, -100, -100);  // the face off the picture
        const double bx = 60 + 7 * frame, by = 140 - 2 * frame;
        Disc(scene, bx, by, 28, skin);
        const Picture out = ApplyTo(*effect, scene, frame * kSecond / 30);
        // The box: green pixels the input did not have.
        int x0 = 320, y0 = 240, x1 = -1, y1 = -1;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if (out.At(x, y)[1] == 230 && out.At(x, y)[0] == 40 && scene.At(x, y)[1] != 230)
                    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        ASSERT_GE(x1, 0) << "no box in frame " << frame;
        // Eased halfway each frame, the box trails a steady motion by up to one step.
        const double lag = 1.0 - std::pow(0.5, frame);
        EXPECT_NEAR((x0 + x1) / 2.0, bx - 7 * lag, 4) << frame;
        EXPECT_NEAR((y0 + y1) / 2.0, by + 2 * lag, 4) << frame;
        if (frame > 3) {
            EXPECT_NEAR(x1 - x0, 56, 10) << frame;
        }
    }
}

}  // namespace
}  // namespace effects_test
