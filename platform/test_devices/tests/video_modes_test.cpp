#include "test_devices/video_modes.h"

#include <set>
#include <utility>

#include <gtest/gtest.h>

namespace test_devices {
namespace {

TEST(VideoModes, FrameBytesOfEachLayout) {
    EXPECT_EQ(FrameBytes({640, 480, PixelFormat::kRgb24}), 640u * 480 * 3);
    EXPECT_EQ(FrameBytes({640, 480, PixelFormat::kYuy2}), 640u * 480 * 2);
    EXPECT_EQ(FrameBytes({640, 480, PixelFormat::kI420}), 640u * 480 * 3 / 2);
    // RGB rows are padded to 4 bytes: 2 pixels of 3 bytes take 8.
    EXPECT_EQ(FrameBytes({2, 3, PixelFormat::kRgb24}), 8u * 3);
    EXPECT_EQ(FrameBytes({2, -3, PixelFormat::kRgb24}), 8u * 3);
}

TEST(VideoModes, CompressionCodes) {
    EXPECT_EQ(Compression(PixelFormat::kRgb24), 0u);
    EXPECT_EQ(Compression(PixelFormat::kYuy2), 0x32595559u);
    EXPECT_EQ(Compression(PixelFormat::kI420), 0x30323449u);
}

TEST(VideoModes, SizeLadderStartsWithTheCommonSizesAndHasNoRepeats) {
    const auto four = CameraSizes(4);
    ASSERT_EQ(four.size(), 4u);
    EXPECT_EQ(std::make_pair(four[0].width, four[0].height), std::make_pair(160, 120));
    EXPECT_EQ(std::make_pair(four[1].width, four[1].height), std::make_pair(320, 240));
    EXPECT_EQ(std::make_pair(four[2].width, four[2].height), std::make_pair(640, 480));
    EXPECT_EQ(std::make_pair(four[3].width, four[3].height), std::make_pair(1280, 720));

    const auto all = CameraSizes(kMaxSizeCount);
    ASSERT_EQ(all.size(), size_t(kMaxSizeCount));
    std::set<std::pair<int, int>> distinct;
    for (const VideoMode& m : all) {
        EXPECT_EQ(m.width % 2, 0);
        EXPECT_EQ(m.height % 2, 0);
        distinct.insert({m.width, m.height});
    }
    EXPECT_EQ(distinct.size(), all.size());
    EXPECT_EQ(CameraSizes(0).size(), 1u);
    EXPECT_EQ(CameraSizes(99).size(), size_t(kMaxSizeCount));
}

TEST(VideoModes, ModesListEverySizeInEachLayoutInCapabilityOrder) {
    const auto modes = CameraModes(25);
    ASSERT_EQ(modes.size(), 75u);
    const auto sizes = CameraSizes(25);
    const PixelFormat formats[] = {PixelFormat::kRgb24, PixelFormat::kYuy2, PixelFormat::kI420};
    for (size_t l = 0; l < 3; ++l) {
        for (size_t s = 0; s < sizes.size(); ++s) {
            const VideoMode& m = modes[l * sizes.size() + s];
            EXPECT_EQ(m.format, formats[l]);
            EXPECT_EQ(m.width, sizes[s].width);
            EXPECT_EQ(m.height, sizes[s].height);
        }
    }
}

TEST(VideoModes, WithoutRgbOnlyTheYuvModesRemain) {
    const std::vector<VideoMode> modes = CameraModes(4, false);
    ASSERT_EQ(modes.size(), 8u);
    for (const VideoMode& m : modes) EXPECT_NE(m.format, PixelFormat::kRgb24);
    EXPECT_EQ(modes[0].format, PixelFormat::kYuy2);
    EXPECT_EQ(DefaultModeIndex(modes), 0);
}

TEST(VideoModes, DefaultIsVgaRgbWhenListed) {
    const auto modes = CameraModes(4);
    EXPECT_EQ(modes[DefaultModeIndex(modes)], (VideoMode{640, 480, PixelFormat::kRgb24}));
    const auto small = CameraModes(2);
    EXPECT_EQ(DefaultModeIndex(small), 0);
}

}  // namespace
}  // namespace test_devices
