// Every effect on a natural-looking picture: identity for code 0, each code a
// visible change different from every other, frame layouts, determinism.
#include <gtest/gtest.h>

#include <cstring>

#include "media/effects/effect.h"
#include "media/effects/tests/effect_test_util.h"

namespace effects_test {
namespace {

using effects::CreateEffect;
using effects::kLastEffectCode;
using effects::kSecond;

TEST(Effects, CodesAndNamesFollowTheHostsTable) {
    EXPECT_STREQ(effects::EffectName(1), "Mosaic");
    EXPECT_STREQ(effects::EffectName(6), "Magical Mirror");
    EXPECT_STREQ(effects::EffectName(13), "Noise");
    EXPECT_STREQ(effects::EffectName(20), "RotateZ");
    EXPECT_STREQ(effects::EffectName(21), "FaceTrace");
    for (int code : {-1, 22, 1000}) {
        EXPECT_EQ(CreateEffect(code), nullptr) << code;
        EXPECT_FALSE(effects::IsEffectCode(code));
    }
}

TEST(Effects, CodeZeroIsTheIdentity) {
    const Picture scene = Scene(320, 240);
    EXPECT_EQ(ApplyTo(0, scene, 5 * kSecond).pixels, scene.pixels);
}

// Each effect at a moment when the moving ones are well away from rest.
TEST(Effects, EveryEffectChangesThePictureInItsOwnWay) {
    const Picture scene = Scene(320, 240);
    std::vector<Picture> outputs(kLastEffectCode + 1);
    for (int code = 1; code <= kLastEffectCode; ++code) {
        outputs[code] = ApplyTo(code, scene, kSecond * 13 / 10);
        EXPECT_GT(ChangedPixels(outputs[code], scene), 320 * 240 / 200) << effects::EffectName(code);
    }
    for (int a = 1; a <= kLastEffectCode; ++a)
        for (int b = a + 1; b <= kLastEffectCode; ++b)
            EXPECT_GT(Difference(outputs[a], outputs[b]), 1.0) << effects::EffectName(a) << " vs " << effects::EffectName(b);
}

// Bottom-up and padded frames as media types give them, odd sizes included:
// the same picture as the packed top-down run, padding and neighbours untouched.
TEST(Effects, WorkOnBottomUpPaddedFramesOfAnySize) {
    for (const auto& [w, h] : {std::pair{1, 1}, {3, 2}, {17, 13}, {64, 48}}) {
        const Picture scene = Scene(w, h);
        const size_t stride = (static_cast<size_t>(w) * 3 + 3) / 4 * 4 + 4;
        for (int code = 0; code <= kLastEffectCode; ++code) {
            std::vector<uint8_t> in(stride * h, 0), out(stride * h + 8, 0xA5);
            for (int y = 0; y < h; ++y) std::memcpy(&in[(h - 1 - y) * stride], scene.At(0, y), w * 3);
            auto effect = CreateEffect(code);
            effect->Apply(effects::Rgb24View<const uint8_t>(in.data(), w, h, stride),
                          effects::Rgb24View(out.data(), w, h, stride), 2 * kSecond);
            const Picture packed = ApplyTo(code, scene, 2 * kSecond);
            for (int y = 0; y < h; ++y) {
                const uint8_t* row = &out[(h - 1 - y) * stride];
                ASSERT_EQ(0, std::memcmp(row, packed.At(0, y), w * 3)) << effects::EffectName(code) << " " << w << "x" << h;
                for (size_t i = w * 3; i < stride; ++i) ASSERT_EQ(row[i], 0xA5);
            }
            for (size_t i = stride * h; i < out.size(); ++i) ASSERT_EQ(out[i], 0xA5);
        }
    }
}

TEST(Effects, MovingEffectsDependOnSeedAndTimeOnly) {
    const Picture scene = Scene(160, 120);
    for (int code : {effects::kSpread, effects::kNoise, effects::kJitter, effects::kTwirl, effects::kRotateX,
                     effects::kRotateY, effects::kRotateZ}) {
        const auto t = 3 * kSecond + 1234567;
        auto fresh = CreateEffect(code, 7), used = CreateEffect(code, 7);
        for (int i = 0; i < 5; ++i) ApplyTo(*used, scene, i * kSecond / 3);
        const Picture a = ApplyTo(*fresh, scene, t);
        EXPECT_EQ(a.pixels, ApplyTo(*used, scene, t).pixels) << effects::EffectName(code);
        EXPECT_GT(Difference(a, ApplyTo(*fresh, scene, t + kSecond / 2)), 0.5) << effects::EffectName(code);
    }
    for (int code : {effects::kSpread, effects::kNoise, effects::kJitter})
        EXPECT_GT(Difference(ApplyTo(code, scene, kSecond, 7), ApplyTo(code, scene, kSecond, 8)), 0.5) << effects::EffectName(code);
}

}  // namespace
}  // namespace effects_test
