// The fast builders of the moving warps against the per-point definition.
#include <gtest/gtest.h>

#include <cstdlib>

#include "media/effects/effect_kit.h"
#include "media/effects/moving_warps.h"
#include "media/effects/warp_effects.h"

namespace effects {
namespace {

TEST(WarpMaps, MovingWarpsBuiltFastMatchTheirDefinition) {
    for (const auto& [w, h] : {std::pair{320, 240}, {97, 131}}) {
        for (int code : {kRotateX, kRotateY, kRotateZ, kTwirl}) {
            for (double phase : {0.0, 0.1, 0.25, 0.4, 0.5, 0.77}) {
                WarpMap fast, exact;
                ASSERT_TRUE(BuildMovingWarpMap(code, w, h, phase, &fast));
                BuildWarpMap(w, h, [&](double x, double y, double* sx, double* sy) { WarpSource(code, w, h, phase, x, y, sx, sy); },
                             &exact);
                int off = 0;
                for (size_t i = 0; i < exact.points.size(); ++i) {
                    const SourcePoint a = fast.points[i], b = exact.points[i];
                    if (a.x == b.x && a.y == b.y) continue;
                    ++off;
                    // Rounding may tip a point into the neighbouring pixel or over the picture's edge.
                    if (a.x >= 0 && b.x >= 0) {
                        ASSERT_LE(std::abs(a.x - b.x) + std::abs(a.y - b.y), 2) << code << " " << i;
                    }
                }
                EXPECT_LT(off, w * h / 100) << EffectName(code) << " phase " << phase;
            }
        }
    }
}

}  // namespace
}  // namespace effects
