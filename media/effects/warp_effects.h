// Effects that move pixels by a lookup map: Magical Mirror, Wall, Punch,
// Twirl, Pinch, Cylinder, RotateX, RotateY, RotateZ. Each is a mapping from an
// output point to the source point it shows; the map is built once per size
// (and per time phase for the moving ones), so a frame costs one gather.
#pragma once

#include <memory>

#include "media/effects/effect.h"

namespace effects {

// Timing of the moving warps, for callers that want to show a known pose.
inline constexpr SampleTime kRotateZPeriod = 8 * kSecond;   // one turn, clockwise on screen
inline constexpr SampleTime kRotateXYPeriod = 6 * kSecond;  // one turn about the axis
inline constexpr SampleTime kTwirlPeriod = 4 * kSecond;     // the twist swings and returns
inline constexpr int kWarpPhaseSteps = 240;                 // poses per period

// Where output point (x, y) (pixel centres at +0.5) takes its source for a
// warp at a phase in [0, 1); exposed so tests can state where marks land.
void WarpSource(int code, int width, int height, double phase, double x, double y, double* sx, double* sy);

// Null unless `code` is one of the warps above.
std::unique_ptr<Effect> MakeWarp(int code);

}  // namespace effects
