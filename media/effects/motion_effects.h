// Effects that scatter or smear pixels: Spread, Jitter, Impact.
#pragma once

#include <memory>

#include "media/effects/effect.h"

namespace effects {

// How far Spread moves a pixel and Jitter a band of rows, for a picture width.
int SpreadRadius(int width);
int JitterReach(int width);
// Spread draws new offsets every kSpreadSlice, Jitter every kJitterSlice.
inline constexpr SampleTime kSpreadSlice = kSecond / 15;
inline constexpr SampleTime kJitterSlice = kSecond / 10;

std::unique_ptr<Effect> MakeSpread(uint32_t seed);
std::unique_ptr<Effect> MakeJitter(uint32_t seed);
std::unique_ptr<Effect> MakeImpact();

}  // namespace effects
