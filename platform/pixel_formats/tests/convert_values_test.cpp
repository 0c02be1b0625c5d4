// Colour values: the integer converter against BT.601's real-valued
// definition, and the fixed points every consumer relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "frame_test_util.h"
#include "pixel_formats/convert_frame.h"

namespace pixel_formats {
namespace {

using testing_util::Bgr;
using testing_util::Yuv;

// BT.601 studio-swing definitions in real numbers, rounded and clipped.
int Clip(double v) { return static_cast<int>(std::lround(std::min(255.0, std::max(0.0, v)))); }

Bgr ReferenceRgb(Yuv c) {
    const double y = 255.0 / 219.0 * (c.y - 16), u = 255.0 / 224.0 * (c.u - 128), v = 255.0 / 224.0 * (c.v - 128);
    return {Clip(y + 1.772 * u), Clip(y - 0.114 * 1.772 / 0.587 * u - 0.299 * 1.402 / 0.587 * v), Clip(y + 1.402 * v)};
}

Yuv ReferenceYuv(Bgr c) {
    const double y = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
    return {Clip(16 + 219.0 / 255.0 * y), Clip(128 + 224.0 / 255.0 * (c.b - y) / 1.772),
            Clip(128 + 224.0 / 255.0 * (c.r - y) / 1.402)};
}

constexpr PixelFormat kYuvFormats[] = {PixelFormat::kYuy2, PixelFormat::kUyvy, PixelFormat::kI420,
                                       PixelFormat::kYv12};

std::vector<uint8_t> Convert(const std::vector<uint8_t>& src, PixelFormat from, PixelFormat to, int width,
                             int height) {
    std::vector<uint8_t> dst(FrameSize(to, width, height));
    EXPECT_TRUE(ConvertFrame(src.data(), src.size(), from, dst.data(), dst.size(), to, width, height));
    return dst;
}

TEST(ConvertValues, YuvToRgbFollowsBt601StudioSwing) {
    // One colour per 2x2 block so every format carries it unchanged.
    std::vector<Yuv> colours;
    for (int y = 16; y <= 235; y += 9)
        for (int u = 16; u <= 240; u += 14)
            for (int v = 16; v <= 240; v += 14) colours.push_back({y, u, v});
    const int blocks_across = 64;
    const int width = 2 * blocks_across;
    const int height = 2 * static_cast<int>((colours.size() + blocks_across - 1) / blocks_across);
    for (PixelFormat yuv : kYuvFormats) {
        std::vector<uint8_t> src(FrameSize(yuv, width, height));
        for (size_t i = 0; i < colours.size(); ++i) {
            const int bx = 2 * static_cast<int>(i % blocks_across), by = 2 * static_cast<int>(i / blocks_across);
            for (int k = 0; k < 4; ++k) testing_util::WriteYuv(src, yuv, width, height, bx + k % 2, by + k / 2, colours[i]);
        }
        for (PixelFormat rgb : {PixelFormat::kRgb24, PixelFormat::kRgb32}) {
            const auto dst = Convert(src, yuv, rgb, width, height);
            int worst = 0;
            for (size_t i = 0; i < colours.size(); ++i) {
                const int bx = 2 * static_cast<int>(i % blocks_across), by = 2 * static_cast<int>(i / blocks_across);
                const Bgr want = ReferenceRgb(colours[i]);
                const Bgr got = testing_util::ReadBgr(dst, rgb, width, height, bx + 1, by + 1);
                worst = std::max({worst, std::abs(got.b - want.b), std::abs(got.g - want.g), std::abs(got.r - want.r)});
            }
            EXPECT_LE(worst, 1) << PixelFormatName(yuv) << " -> " << PixelFormatName(rgb);
        }
    }
}

TEST(ConvertValues, RgbToYuvFollowsBt601StudioSwing) {
    std::vector<Bgr> colours;
    for (int r = 0; r <= 255; r += 15)
        for (int g = 0; g <= 255; g += 15)
            for (int b = 0; b <= 255; b += 15) colours.push_back({b, g, r});
    const int blocks_across = 64;
    const int width = 2 * blocks_across;
    const int height = 2 * static_cast<int>((colours.size() + blocks_across - 1) / blocks_across);
    for (PixelFormat rgb : {PixelFormat::kRgb24, PixelFormat::kRgb32}) {
        std::vector<uint8_t> src(FrameSize(rgb, width, height));
        for (size_t i = 0; i < colours.size(); ++i) {
            const int bx = 2 * static_cast<int>(i % blocks_across), by = 2 * static_cast<int>(i / blocks_across);
            for (int k = 0; k < 4; ++k) testing_util::WriteBgr(src, rgb, width, height, bx + k % 2, by + k / 2, colours[i]);
        }
        for (PixelFormat yuv : kYuvFormats) {
            const auto dst = Convert(src, rgb, yuv, width, height);
            int worst = 0;
            for (size_t i = 0; i < colours.size(); ++i) {
                const int bx = 2 * static_cast<int>(i % blocks_across), by = 2 * static_cast<int>(i / blocks_across);
                const Yuv want = ReferenceYuv(colours[i]);
                const Yuv got = testing_util::ReadYuv(dst, yuv, width, height, bx, by);
                worst = std::max({worst, std::abs(got.y - want.y), std::abs(got.u - want.u), std::abs(got.v - want.v)});
            }
            EXPECT_LE(worst, 1) << PixelFormatName(rgb) << " -> " << PixelFormatName(yuv);
        }
    }
}

struct NamedColour {
    const char* name;
    Bgr rgb;
    Yuv yuv;  // BT.601 studio-swing values as published
};

TEST(ConvertValues, WhiteBlackGreyAndPrimariesMatchPublishedValues) {
    const NamedColour colours[] = {
        {"white", {255, 255, 255}, {235, 128, 128}}, {"black", {0, 0, 0}, {16, 128, 128}},
        {"red", {0, 0, 255}, {81, 90, 240}},         {"green", {0, 255, 0}, {145, 54, 34}},
        {"blue", {255, 0, 0}, {41, 240, 110}},       {"yellow", {0, 255, 255}, {210, 16, 146}},
        {"cyan", {255, 255, 0}, {170, 166, 16}},     {"magenta", {255, 0, 255}, {106, 202, 222}},
    };
    for (const NamedColour& c : colours) {
        const auto rgb = testing_util::SolidFrame(PixelFormat::kRgb24, 2, 2, c.rgb, {});
        const auto yuy2 = Convert(rgb, PixelFormat::kRgb24, PixelFormat::kYuy2, 2, 2);
        const Yuv got = testing_util::ReadYuv(yuy2, PixelFormat::kYuy2, 2, 2, 0, 0);
        EXPECT_NEAR(got.y, c.yuv.y, 1) << c.name;
        EXPECT_NEAR(got.u, c.yuv.u, 1) << c.name;
        EXPECT_NEAR(got.v, c.yuv.v, 1) << c.name;
        const auto back = Convert(testing_util::SolidFrame(PixelFormat::kI420, 2, 2, {}, c.yuv), PixelFormat::kI420,
                                  PixelFormat::kRgb24, 2, 2);
        const Bgr px = testing_util::ReadBgr(back, PixelFormat::kRgb24, 2, 2, 1, 1);
        EXPECT_NEAR(px.b, c.rgb.b, 3) << c.name;
        EXPECT_NEAR(px.g, c.rgb.g, 3) << c.name;
        EXPECT_NEAR(px.r, c.rgb.r, 3) << c.name;
    }
    // The ends of the range are exact: nominal white and black map to full scale.
    const auto white = Convert(testing_util::SolidFrame(PixelFormat::kYuy2, 2, 1, {}, {235, 128, 128}),
                               PixelFormat::kYuy2, PixelFormat::kRgb24, 2, 1);
    const auto black = Convert(testing_util::SolidFrame(PixelFormat::kYuy2, 2, 1, {}, {16, 128, 128}),
                               PixelFormat::kYuy2, PixelFormat::kRgb24, 2, 1);
    const auto grey = Convert(testing_util::SolidFrame(PixelFormat::kYuy2, 2, 1, {}, {126, 128, 128}),
                              PixelFormat::kYuy2, PixelFormat::kRgb24, 2, 1);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(white[i], 255);
        EXPECT_EQ(black[i], 0);
        EXPECT_EQ(grey[i], 128);  // 110 * 255 / 219 = 128.08
    }
    // Out-of-range input (super-white, extreme chroma) clips instead of wrapping.
    const auto hot = Convert(testing_util::SolidFrame(PixelFormat::kYuy2, 2, 1, {}, {255, 255, 255}),
                             PixelFormat::kYuy2, PixelFormat::kRgb24, 2, 1);
    EXPECT_EQ(hot[0], 255);
    EXPECT_EQ(hot[2], 255);
}

uint16_t Word(const std::vector<uint8_t>& frame) { return static_cast<uint16_t>(frame[0] | frame[1] << 8); }

TEST(ConvertValues, SixteenBitRgbBitLayout) {
    struct Case {
        Bgr rgb;
        uint16_t rgb565, rgb555;
    } cases[] = {{{0, 0, 255}, 0xF800, 0x7C00}, {{0, 255, 0}, 0x07E0, 0x03E0},
                 {{255, 0, 0}, 0x001F, 0x001F}, {{255, 255, 255}, 0xFFFF, 0x7FFF}};
    for (const Case& c : cases) {
        const auto rgb = testing_util::SolidFrame(PixelFormat::kRgb24, 1, 1, c.rgb, {});
        const auto w565 = Convert(rgb, PixelFormat::kRgb24, PixelFormat::kRgb565, 1, 1);
        const auto w555 = Convert(rgb, PixelFormat::kRgb24, PixelFormat::kRgb555, 1, 1);
        EXPECT_EQ(Word(w565), c.rgb565);
        EXPECT_EQ(Word(w555), c.rgb555);
        // Full-scale channels come back at full scale.
        for (const auto* word : {&w565, &w555}) {
            const PixelFormat f = word == &w565 ? PixelFormat::kRgb565 : PixelFormat::kRgb555;
            const auto back = Convert(*word, f, PixelFormat::kRgb24, 1, 1);
            EXPECT_EQ(back[0], c.rgb.b);
            EXPECT_EQ(back[1], c.rgb.g);
            EXPECT_EQ(back[2], c.rgb.r);
        }
    }
}

TEST(ConvertValues, Rgb32FourthByteIsOpaqueAfterConversion) {
    for (PixelFormat from : kAllPixelFormats) {
        if (from == PixelFormat::kRgb32) continue;  // a plain copy keeps the source's bytes
        const auto src = testing_util::RandomBytes(FrameSize(from, 5, 3), 7);
        const auto dst = Convert(src, from, PixelFormat::kRgb32, 5, 3);
        for (size_t i = 3; i < dst.size(); i += 4) ASSERT_EQ(dst[i], 255) << PixelFormatName(from);
    }
}

}  // namespace
}  // namespace pixel_formats
