// Per-pixel and neighbourhood recolouring effects.
#pragma once

#include <memory>

#include "media/effects/effect.h"

namespace effects {

std::unique_ptr<Effect> MakeInvert();
std::unique_ptr<Effect> MakeGray();
std::unique_ptr<Effect> MakeEmboss();
std::unique_ptr<Effect> MakeNoise(uint32_t seed);
std::unique_ptr<Effect> MakeEqualize();

}  // namespace effects
