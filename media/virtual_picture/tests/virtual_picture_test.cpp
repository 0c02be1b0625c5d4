// The virtual webcam's pictures: a sender's frame brought to every offered
// mode still carries its frame number; the placeholder is a drawn card.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "media/virtual_picture/frame_stretch.h"
#include "media/virtual_picture/picture_fitter.h"
#include "media/virtual_picture/placeholder_picture.h"
#include "pixel_formats/convert_frame.h"
#include "test_signals/test_pattern.h"

namespace virtual_picture {
namespace {

using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;

constexpr PixelFormat kOffered[] = {PixelFormat::kRgb24, PixelFormat::kYuy2, PixelFormat::kI420};
constexpr int kSizes[][2] = {{160, 120}, {320, 240}, {640, 480}, {1280, 720}};

TEST(PictureFitter, EverySenderFormatReachesEveryModeWithItsFrameNumber) {
    const FrameFormat senders[] = {{PixelFormat::kRgb24, 640, 480}, {PixelFormat::kI420, 320, 240},
                                   {PixelFormat::kYuy2, 1280, 720}, {PixelFormat::kRgb32, 352, -288}};
    PictureFitter fitter;
    uint32_t frame_number = 4000;
    for (const FrameFormat& sender : senders) {
        std::vector<uint8_t> src(pixel_formats::FrameSize(sender.format, sender.width, std::abs(sender.height)));
        test_signals::TestPatternRenderer pattern;
        ASSERT_TRUE(pattern.Render(++frame_number, sender, src.data(), src.size()));
        for (PixelFormat format : kOffered) {
            for (const auto& size : kSizes) {
                const int height = size[1];
                const FrameFormat out_format{format, size[0], height};
                std::vector<uint8_t> out(pixel_formats::FrameSize(format, size[0], size[1]));
                ASSERT_TRUE(fitter.Fit(src.data(), src.size(), sender, out.data(), out.size(), out_format));
                const auto decoded = test_signals::DecodeFrameCounter(out.data(), out.size(), format, size[0], height);
                ASSERT_TRUE(decoded.has_value()) << pixel_formats::PixelFormatName(format) << " " << size[0];
                EXPECT_EQ(*decoded, frame_number);
            }
        }
    }
    std::vector<uint8_t> small(10);
    std::vector<uint8_t> src(pixel_formats::FrameSize(PixelFormat::kRgb24, 64, 48));
    EXPECT_FALSE(fitter.Fit(src.data(), src.size(), {PixelFormat::kRgb24, 64, 48}, small.data(), small.size(),
                            {PixelFormat::kRgb24, 32, 24}));
    EXPECT_FALSE(fitter.Fit(src.data(), 10, {PixelFormat::kRgb24, 64, 48}, small.data(), small.size(),
                            {PixelFormat::kRgb24, 2, 1}));
}

TEST(FrameStretch, EveryChannelFormatScalesWithinItselfAndKeepsItsValues) {
    const PixelFormat formats[] = {PixelFormat::kRgb24, PixelFormat::kRgb32, PixelFormat::kYuy2,
                                   PixelFormat::kUyvy,  PixelFormat::kI420,  PixelFormat::kYv12};
    for (PixelFormat format : formats) {
        const FrameFormat source{format, 320, 240};
        std::vector<uint8_t> src(pixel_formats::FrameSize(format, 320, 240));
        ASSERT_TRUE(test_signals::RenderTestPattern(777, format, 320, 240, src.data(), src.size()));
        // The same size, top-down where RGB allows it: the same values, rows reordered only.
        const FrameFormat same{format, 320, pixel_formats::IsRgb(format) ? -240 : 240};
        std::vector<uint8_t> copy(src.size());
        ASSERT_TRUE(StretchFrame(src.data(), src.size(), source, copy.data(), copy.size(), same));
        std::vector<uint8_t> back(src.size());
        ASSERT_TRUE(StretchFrame(copy.data(), copy.size(), same, back.data(), back.size(), source));
        EXPECT_TRUE(back == src) << pixel_formats::PixelFormatName(format);
        for (auto [w, h] : {std::pair{640, 480}, {160, 120}, {1280, 720}, {322, 242}}) {
            std::vector<uint8_t> out(pixel_formats::FrameSize(format, w, h));
            ASSERT_TRUE(StretchFrame(src.data(), src.size(), source, out.data(), out.size(), {format, w, h}));
            const auto decoded = test_signals::DecodeFrameCounter(out.data(), out.size(), format, w, h);
            ASSERT_TRUE(decoded.has_value()) << pixel_formats::PixelFormatName(format) << " " << w;
            EXPECT_EQ(*decoded, 777u);
        }
        std::vector<uint8_t> small(16);
        EXPECT_FALSE(StretchFrame(src.data(), src.size(), source, small.data(), small.size(), {format, 64, 48}));
        EXPECT_FALSE(StretchFrame(src.data(), 100, source, small.data(), small.size(), {format, 2, 2}));
    }
    std::vector<uint8_t> any(1 << 16);
    EXPECT_FALSE(StretchFrame(any.data(), any.size(), {PixelFormat::kRgb24, 8, 8}, any.data(), any.size(),
                              {PixelFormat::kYuy2, 8, 8}));
}

// Top-down B G R of the picture, whatever format it was drawn in.
std::vector<uint8_t> AsRgb(const std::vector<uint8_t>& frame, const FrameFormat& format) {
    const int w = format.width, h = std::abs(format.height);
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    EXPECT_TRUE(pixel_formats::ConvertFrame(frame.data(), frame.size(), format, rgb.data(), rgb.size(),
                                            {PixelFormat::kRgb24, w, -h, w * 3}));
    return rgb;
}

TEST(Placeholder, ACardWithLettersOnABlueGroundInEveryMode) {
    for (PixelFormat format : kOffered) {
        for (const auto& size : kSizes) {
            const FrameFormat out_format{format, size[0], size[1]};
            std::vector<uint8_t> frame(pixel_formats::FrameSize(format, size[0], size[1]));
            ASSERT_TRUE(RenderPlaceholder(out_format, frame.data(), frame.size()));
            const std::vector<uint8_t> rgb = AsRgb(frame, out_format);
            const int w = size[0], h = size[1];
            size_t bright = 0, dark = 0, blue_ground = 0;
            for (size_t i = 0; i < rgb.size(); i += 3) {
                const int b = rgb[i], g = rgb[i + 1], r = rgb[i + 2];
                if (b > 200 && g > 180 && r > 150) ++bright;
                if (b < 8 && g < 8 && r < 8) ++dark;
                if (b > r + 20 && b > 40) ++blue_ground;
            }
            const size_t pixels = static_cast<size_t>(w) * h;
            EXPECT_EQ(dark, 0u) << "not black anywhere";
            EXPECT_GT(blue_ground, pixels / 2) << w;
            EXPECT_GT(bright, pixels / 200) << "letters drawn at " << w;
            // The letters sit in the middle band; the corners are ground.
            const uint8_t* corner = &rgb[0];
            EXPECT_GT(corner[0], corner[2]);
            // Nothing in it reads as a test pattern frame.
            EXPECT_FALSE(test_signals::DecodeFrameCounter(frame.data(), frame.size(), format, w, size[1]).has_value());
        }
    }
    std::vector<uint8_t> small(100);
    EXPECT_FALSE(RenderPlaceholder({PixelFormat::kRgb24, 320, 240}, small.data(), small.size()));
}

}  // namespace
}  // namespace virtual_picture
