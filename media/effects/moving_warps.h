// Map builders for the warps that move with time (RotateX, RotateY, RotateZ,
// Twirl). Their map changes with nearly every frame, so each is built by
// incremental arithmetic (a rotation steps linearly along a row, a turned
// card's perspective is fixed per column or row, the whirl's sine comes from
// a table) instead of the per-point definition in WarpSource, which it
// reproduces.
#pragma once

#include "media/effects/effect_kit.h"

namespace effects {

// False for a code that is not a moving warp.
bool BuildMovingWarpMap(int code, int width, int height, double phase, WarpMap* map);

}  // namespace effects
