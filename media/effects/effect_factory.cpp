// Codes to names and to effect objects.
#include "media/effects/effect.h"
#include "media/effects/effect_kit.h"
#include "media/effects/face_trace.h"
#include "media/effects/motion_effects.h"
#include "media/effects/shape_effects.h"
#include "media/effects/tone_effects.h"
#include "media/effects/warp_effects.h"

namespace effects {
namespace {

constexpr const char* kNames[] = {
    "none",    "Mosaic", "DrawRect", "Emboss",   "Spread",   "Invert",  "Magical Mirror", "Gray",
    "Ellipse", "Wall",   "Impact",   "Punch",    "Twirl",    "Noise",   "Jitter",         "Pinch",
    "Cylinder", "Equalize", "RotateX", "RotateY", "RotateZ", "FaceTrace",
};
static_assert(sizeof(kNames) / sizeof(kNames[0]) == kLastEffectCode + 1);

class Identity final : public Effect {
public:
    void Apply(const ConstFrameView& src, const FrameView& dst, SampleTime) override { CopyFrame(src, dst); }
};

}  // namespace

const char* EffectName(int code) { return IsEffectCode(code) ? kNames[code] : ""; }

std::unique_ptr<Effect> CreateEffect(int code, uint32_t seed) {
    switch (code) {
        case kNone: return std::make_unique<Identity>();
        case kMosaic: return MakeMosaic();
        case kDrawRect: return MakeDrawRect();
        case kEmboss: return MakeEmboss();
        case kSpread: return MakeSpread(seed);
        case kInvert: return MakeInvert();
        case kGray: return MakeGray();
        case kEllipse: return MakeEllipse();
        case kImpact: return MakeImpact();
        case kNoise: return MakeNoise(seed);
        case kJitter: return MakeJitter(seed);
        case kEqualize: return MakeEqualize();
        case kFaceTrace: return MakeFaceTrace();
        default: return MakeWarp(code);  // null outside the table
    }
}

}  // namespace effects
