// Running an effect on a picture and measuring the result.
#pragma once

#include <cmath>
#include <cstring>
#include <memory>

#include "media/effects/effect.h"
#include "media/effects/tests/test_scene.h"

namespace effects_test {

inline Picture ApplyTo(effects::Effect& effect, const Picture& in, effects::SampleTime time = 0) {
    Picture out(in.width, in.height);
    effect.Apply(in.View(), out.View(), time);
    return out;
}

inline Picture ApplyTo(int code, const Picture& in, effects::SampleTime time = 0, uint32_t seed = 1) {
    return ApplyTo(*effects::CreateEffect(code, seed), in, time);
}

// Mean absolute difference per byte.
inline double Difference(const Picture& a, const Picture& b) {
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) sum += std::abs(int(a.pixels[i]) - int(b.pixels[i]));
    return sum / a.pixels.size();
}

inline int ChangedPixels(const Picture& a, const Picture& b) {
    int n = 0;
    for (size_t i = 0; i < a.pixels.size(); i += 3) n += std::memcmp(&a.pixels[i], &b.pixels[i], 3) != 0;
    return n;
}

}  // namespace effects_test
