// The filter's portable layer: decorations, their swap while frames are
// rendered, frame files over the camera picture, input conversion, request checks.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "filters/effect/decoration.h"
#include "filters/effect/frame_request.h"
#include "filters/effect/video_input.h"
#include "media/effects/tests/test_scene.h"
#include "pixel_formats/convert_frame.h"

namespace effect_filter {
namespace {

using effects::kSecond;
using effects_test::Picture;

Picture Render(Decoration& d, const Picture& in, effects::SampleTime t) {
    Picture out(in.width, in.height);
    d.Render(in.View(), out.View(), t);
    return out;
}

TEST(Decoration, EffectCodesAndNone) {
    const Picture scene = effects_test::Scene(64, 48);
    EXPECT_EQ(MakeEffectDecoration(22), nullptr);
    EXPECT_EQ(MakeEffectDecoration(-1), nullptr);
    auto none = MakeEffectDecoration(0);
    EXPECT_EQ(Render(*none, scene, 0).pixels, scene.pixels);
    auto invert = MakeEffectDecoration(effects::kInvert);
    EXPECT_EQ(invert->code(), effects::kInvert);
    EXPECT_EQ(Render(*invert, scene, 0).pixels[7], 255 - scene.pixels[7]);
}

// Frames rendered while another thread swaps Invert and Gray: each frame is
// wholly one of the two.
TEST(Decoration, SwapsNeverMixTwoDecorationsInOneFrame) {
    const Picture scene = effects_test::Scene(96, 72);
    auto expect = [&](int code) { return Render(*MakeEffectDecoration(code), scene, 0).pixels; };
    const auto inverted = expect(effects::kInvert), gray = expect(effects::kGray);
    DecorationSlot slot;
    slot.Set(MakeEffectDecoration(effects::kInvert));
    std::atomic<bool> done{false};
    std::thread swapper([&] {
        for (int i = 0; i < 400; ++i) slot.Set(MakeEffectDecoration(i % 2 ? effects::kInvert : effects::kGray));
        done = true;
    });
    int frames = 0;
    while (!done || frames < 50) {
        const auto out = Render(*slot.Get(), scene, frames * kSecond / 30).pixels;
        ASSERT_TRUE(out == inverted || out == gray) << "frame " << frames;
        ++frames;
    }
    swapper.join();
}

// Two 100 ms pictures 8x8: the first opaque blue on its left half, the second
// half-transparent red everywhere; the rest transparent.
std::shared_ptr<const frame_files::FrameAnimation> TwoPictures() {
    auto a = std::make_shared<frame_files::FrameAnimation>();
    a->width = a->height = 8;
    a->frames.resize(2);
    for (int f = 0; f < 2; ++f) {
        a->frames[f].duration_ms = 100;
        a->frames[f].rgba.assign(8 * 8 * 4, 0);
        for (int i = 0; i < 64; ++i) {
            uint8_t* p = &a->frames[f].rgba[i * 4];
            if (f == 0 && i % 8 < 4) p[2] = 255, p[3] = 255;
            if (f == 1) p[0] = 255, p[3] = 128;
        }
    }
    return a;
}

TEST(Decoration, FrameFilesShowOverTheCameraAndChangeAtTheirDelays) {
    const Picture camera = effects_test::Scene(32, 24);
    FramePlay play;
    ASSERT_TRUE(ReadFramePlay(0, 0, &play));
    auto d = MakeFrameDecoration(TwoPictures(), play);
    EXPECT_EQ(d->code(), -1);
    const effects::SampleTime start = 77 * kSecond;  // the animation starts with its first rendered frame
    for (effects::SampleTime at : {0, 1, 2, 3}) {
        const Picture out = Render(*d, camera, start + at * kSecond / 10 + kSecond / 20);
        const bool first = at % 2 == 0;
        const uint8_t* left = out.At(3, 10);
        const uint8_t* right = out.At(28, 10);
        if (first) {
            EXPECT_EQ(left[0], 255) << at;  // opaque blue
            EXPECT_EQ(left[2], 0) << at;
            EXPECT_EQ(0, std::memcmp(right, camera.At(28, 10), 3)) << at;  // the camera through the clear half
        } else {
            EXPECT_NEAR(right[2], (255 + camera.At(28, 10)[2]) / 2, 2) << at;  // half red over the camera
            EXPECT_NEAR(right[0], camera.At(28, 10)[0] / 2, 2) << at;
        }
    }
}

TEST(Decoration, AnimationsStartAgainWithANewRunOfTheStream) {
    auto d = MakeFrameDecoration(TwoPictures(), FramePlay{});
    const Picture camera = effects_test::Scene(32, 24);
    const auto blue_left = [&](effects::SampleTime t) { return Render(*d, camera, t).At(3, 10)[0] == 255; };
    EXPECT_TRUE(blue_left(50 * kSecond));
    EXPECT_FALSE(blue_left(50 * kSecond + kSecond * 15 / 100));
    EXPECT_TRUE(blue_left(0));  // stopped and run again: sample times from 0
    EXPECT_FALSE(blue_left(kSecond * 15 / 100));
}

TEST(Decoration, TheTwoFrameIntsSetSpeedAndPlays) {
    FramePlay play;
    EXPECT_FALSE(ReadFramePlay(-1, 0, &play));
    EXPECT_FALSE(ReadFramePlay(1001, 0, &play));
    EXPECT_FALSE(ReadFramePlay(0, -5, &play));
    ASSERT_TRUE(ReadFramePlay(200, 1, &play));  // twice as fast, played once
    auto d = MakeFrameDecoration(TwoPictures(), play);
    const Picture camera = effects_test::Scene(32, 24);
    const auto blue_left = [&](effects::SampleTime t) { return Render(*d, camera, t).At(3, 10)[0] == 255; };
    EXPECT_TRUE(blue_left(0));
    EXPECT_FALSE(blue_left(kSecond * 6 / 100));  // 120 ms of the file's time: the second picture
    EXPECT_FALSE(blue_left(kSecond * 12 / 100));  // past the end: holds the last picture
    EXPECT_FALSE(blue_left(kSecond));
}

TEST(VideoInput, ConvertsYuvAndReadsRgbInPlace) {
    const Picture scene = effects_test::Scene(40, 30);
    std::vector<uint8_t> bottom_up(pixel_formats::FrameSize(pixel_formats::PixelFormat::kRgb24, 40, 30));
    for (int y = 0; y < 30; ++y) std::memcpy(&bottom_up[(29 - y) * 120], scene.At(0, y), 120);
    VideoInput input;
    effects::ConstFrameView view;
    ASSERT_TRUE(input.View(bottom_up.data(), bottom_up.size(), {pixel_formats::PixelFormat::kRgb24, 40, 30}, &view));
    EXPECT_EQ(view.Row(0), &bottom_up[29 * 120]);
    EXPECT_FALSE(input.View(bottom_up.data(), bottom_up.size() - 1, {pixel_formats::PixelFormat::kRgb24, 40, 30}, &view));
    for (auto format : {pixel_formats::PixelFormat::kYuy2, pixel_formats::PixelFormat::kI420}) {
        std::vector<uint8_t> yuv(pixel_formats::FrameSize(format, 40, 30)), back(bottom_up.size());
        ASSERT_TRUE(pixel_formats::ConvertFrame(bottom_up.data(), bottom_up.size(), pixel_formats::PixelFormat::kRgb24,
                                                yuv.data(), yuv.size(), format, 40, 30));
        ASSERT_TRUE(pixel_formats::ConvertFrame(yuv.data(), yuv.size(), format, back.data(), back.size(),
                                                pixel_formats::PixelFormat::kRgb24, 40, 30));
        ASSERT_TRUE(input.View(yuv.data(), yuv.size(), {format, 40, 30}, &view));
        for (int y = 0; y < 30; ++y) ASSERT_EQ(0, std::memcmp(view.Row(y), &back[(29 - y) * 120], 120)) << y;
        EXPECT_FALSE(input.View(yuv.data(), yuv.size() - 1, {format, 40, 30}, &view));
    }
    EXPECT_FALSE(AcceptedInput({pixel_formats::PixelFormat::kRgb24, 4097, 10}));
    EXPECT_FALSE(AcceptedInput({pixel_formats::PixelFormat::kRgb32, 40, 30}));
}

TEST(FrameRequest, RefusesUnusableArguments) {
    std::vector<wchar_t> unterminated(kMaxPathChars, L'a');
    unterminated.push_back(0);  // the terminator only after MAX_PATH characters
    EXPECT_FALSE(UsableFileName(unterminated.data()));
    unterminated[kMaxPathChars - 1] = 0;
    EXPECT_TRUE(UsableFileName(unterminated.data()));
    EXPECT_FALSE(UsableFileName(nullptr));
    EXPECT_FALSE(UsableFileName(L""));
    uint8_t buffer[3];
    EXPECT_TRUE(UsableFirstFrameRequest(1, 1, buffer, 255, 255, 255));
    for (auto [w, h] : {std::pair{0, 80}, {112, 0}, {-1, 80}, {4097, 80}, {112, 4097}})
        EXPECT_FALSE(UsableFirstFrameRequest(w, h, buffer, 255, 255, 255)) << w << "x" << h;
    EXPECT_FALSE(UsableFirstFrameRequest(1, 1, nullptr, 0, 0, 0));
    EXPECT_FALSE(UsableFirstFrameRequest(1, 1, buffer, 256, 0, 0));
    // Bytes that are no frame file: refused, the buffer untouched.
    const std::vector<uint8_t> junk(100, 0x42);
    std::vector<uint8_t> out(12, 0xEE);
    EXPECT_NE(RenderThumbnail(junk, 2, 2, out.data(), 0, 0, 0), frame_files::DecodeError::None);
    EXPECT_EQ(out, std::vector<uint8_t>(12, 0xEE));
    std::shared_ptr<const frame_files::FrameAnimation> animation;
    EXPECT_NE(DecodeForDecoration({}, &animation), frame_files::DecodeError::None);
    EXPECT_EQ(animation, nullptr);
}

}  // namespace
}  // namespace effect_filter
