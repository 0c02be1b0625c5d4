// The video effects: codes, names and the object that applies one to frames.
#pragma once

#include <cstdint>
#include <memory>

#include "media/effects/frame_view.h"

namespace effects {

// Codes as hosts send them; 0 shows the picture unchanged.
enum EffectCode : int {
    kNone = 0,
    kMosaic = 1,
    kDrawRect = 2,
    kEmboss = 3,
    kSpread = 4,
    kInvert = 5,
    kMagicalMirror = 6,
    kGray = 7,
    kEllipse = 8,
    kWall = 9,
    kImpact = 10,
    kPunch = 11,
    kTwirl = 12,
    kNoise = 13,
    kJitter = 14,
    kPinch = 15,
    kCylinder = 16,
    kEqualize = 17,
    kRotateX = 18,
    kRotateY = 19,
    kRotateZ = 20,
    kFaceTrace = 21,
};
inline constexpr int kLastEffectCode = kFaceTrace;

inline bool IsEffectCode(int code) { return code >= kNone && code <= kLastEffectCode; }
// The effect's name as the virtual webcam application labels it ("none" for 0,
// "" outside the range).
const char* EffectName(int code);

// Sample times in 100 ns units, as the stream stamps them.
using SampleTime = int64_t;
inline constexpr SampleTime kSecond = 10'000'000;

// One effect, applied to the frames of one stream in order. Moving effects
// depend only on (seed, sample time), never on how often Apply was called;
// FaceTrace alone remembers the previous frames (where the face was).
// Caches (lookup maps, the tracker) live inside, so an object is used by one
// thread at a time.
class Effect {
public:
    virtual ~Effect() = default;
    // src and dst have the same size (1..16384 each way) and do not overlap.
    virtual void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime time) = 0;
};

// Null for a code outside 0..kLastEffectCode. Code 0 copies.
std::unique_ptr<Effect> CreateEffect(int code, uint32_t seed = 1);

}  // namespace effects
