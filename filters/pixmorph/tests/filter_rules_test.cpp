// The filter's sizing rules on the host: the figures the filter must produce,
// the bounds it keeps, and the property that matters most, that a frame
// shaped by these rules always fits the buffers the rules sized.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "filters/pixmorph/pixmorph_filter_rules.h"
#include "filters/pixmorph/tests/pixmorph_test_util.h"
#include "filters/pixmorph/work_buffer.h"

namespace pixmorph {
namespace {

using testing::GuardedBuffer;

TEST(ProposedOutputSize, SizeModeTakesTheStoredSizeAndMultipleModeScalesTheInput) {
    int w = 0, h = 0;
    ASSERT_TRUE(ProposedOutputSize({false, 320, 240, 2, 3}, 176, 144, &w, &h));
    EXPECT_EQ(320, w);
    EXPECT_EQ(240, h);
    ASSERT_TRUE(ProposedOutputSize({true, 320, 240, 2, 3}, 176, 144, &w, &h));
    EXPECT_EQ(352, w);
    EXPECT_EQ(432, h);
    // A top-down input still gives a bottom-up output: rows always come out that way.
    ASSERT_TRUE(ProposedOutputSize({true, 0, 0, 1, 2}, 176, -144, &w, &h));
    EXPECT_EQ(288, h);
}

TEST(ProposedOutputSize, SizesThePipelineCannotMakeAreNotProposed) {
    int w = 7, h = 7;
    EXPECT_FALSE(ProposedOutputSize({false, 0, 240, 1, 1}, 176, 144, &w, &h));
    EXPECT_FALSE(ProposedOutputSize({false, 320, -240, 1, 1}, 176, 144, &w, &h));
    EXPECT_FALSE(ProposedOutputSize({false, kMaxDimension + 1, 240, 1, 1}, 176, 144, &w, &h));
    EXPECT_FALSE(ProposedOutputSize({true, 320, 240, 0, 1}, 176, 144, &w, &h));
    // The product would wrap in 32 bits.
    EXPECT_FALSE(ProposedOutputSize({true, 320, 240, 0x40000000, 1}, 176, 144, &w, &h));
    EXPECT_EQ(7, w);
    EXPECT_EQ(7, h);
    EXPECT_TRUE(ProposedOutputSize({false, kMaxDimension, 1, 1, 1}, 176, 144, &w, &h));
}

TEST(AllocatorRequest, TwiceTheLargerSampleAndAFloorForVariableInput) {
    EXPECT_EQ(1228800u, AllocatorRequest(230400, 614400, true));
    EXPECT_EQ(1843200u, AllocatorRequest(921600, 38400, true));
    EXPECT_EQ(65536u, AllocatorRequest(10000, 100, false));
    EXPECT_EQ(20000u, AllocatorRequest(10000, 100, true));
    EXPECT_EQ(200000u, AllocatorRequest(100000, 0, false));
    // Compared unsigned, and a request beyond a long is refused rather than wrapped.
    EXPECT_EQ(0u, AllocatorRequest(0x80000000u, 100, true));
    EXPECT_EQ(0u, AllocatorRequest(100, 0xFFFFFFFFu, true));
}

TEST(WorkBufferSizes, EachBuildsRuleRaisedToTheCurrentInputsNeeds) {
    const Picture yuy2_640{Subtype::kYuy2, 640, 480};
    WorkSizes s = WorkBufferSizes(WorkRule::kAllocatorRequest, 1228800, 614400, yuy2_640);
    EXPECT_EQ(1228800u, s.yuy2);
    EXPECT_EQ(1228800u, s.rgb);

    const Picture yuy2_160{Subtype::kYuy2, 160, 120};
    s = WorkBufferSizes(WorkRule::kTwiceInputSample, 1843200, 38400, yuy2_160);
    EXPECT_EQ(76800u, s.yuy2);
    EXPECT_EQ(76800u, s.rgb);

    const Picture i420_640{Subtype::kI420, 640, 480};
    s = WorkBufferSizes(WorkRule::kTwiceInputSample, 1843200, 460800, i420_640);
    EXPECT_EQ(921600u, s.rgb);  // exactly the 24-bit image

    // A variable-size input declares nothing; the images must still fit.
    s = WorkBufferSizes(WorkRule::kTwiceInputSample, 65536, 0, yuy2_640);
    EXPECT_EQ(WorkNeeds(yuy2_640).yuy2, s.yuy2);
    EXPECT_EQ(WorkNeeds(yuy2_640).rgb, s.rgb);
    s = WorkBufferSizes(WorkRule::kAllocatorRequest, 65536, 0, yuy2_640);
    EXPECT_EQ(921600u, s.rgb);
    EXPECT_EQ(614400u, s.yuy2);
}

TEST(DeclaredFrameBytes, TheTypesImageSizeElseThePackedLayout) {
    EXPECT_EQ(153600u, DeclaredFrameBytes({Subtype::kYuy2, 320, 240}, 0));
    EXPECT_EQ(160000u, DeclaredFrameBytes({Subtype::kYuy2, 320, 240}, 160000));
    EXPECT_EQ(115200u, DeclaredFrameBytes({Subtype::kI420, 320, 240}, 0));
    EXPECT_EQ(230400u, DeclaredFrameBytes({Subtype::kRgb24, 320, -240}, 0));
    EXPECT_EQ(3u * 12 * 3, DeclaredFrameBytes({Subtype::kRgb24, 11, 3}, 0));  // rows padded to 4 bytes
    EXPECT_EQ(3u * 8, DeclaredFrameBytes({Subtype::kUyvy, 3, 3}, 0));        // whole pixel pairs
    EXPECT_EQ(0u, DeclaredFrameBytes({Subtype::kYuy2, 0, 240}, 0));
}

// An upstream that lists several sizes, walked as the filter walks it on
// every frame, with the sample's actual length as the only evidence.
struct Listed {
    Picture picture;
    uint32_t image_size;
};

Picture FollowOneFrame(const Picture& current, const std::vector<Listed>& listed, size_t actual) {
    const size_t current_bytes = DeclaredFrameBytes(current, 0);
    for (const Listed& t : listed) {
        if (t.picture.subtype != current.subtype) continue;
        if (t.picture.width == current.width && t.picture.height == current.height) continue;
        if (LengthConfirmsSize(actual, DeclaredFrameBytes(t.picture, t.image_size), current_bytes)) return t.picture;
    }
    return current;
}

TEST(LengthConfirmsSize, AListOfSizesDoesNotMakeTheInputAlternate) {
    const std::vector<Listed> listed = {{{Subtype::kYuy2, 640, 480}, 614400}, {{Subtype::kYuy2, 320, 240}, 153600}};
    Picture current{Subtype::kYuy2, 320, 240};
    for (int frame = 0; frame < 6; ++frame) {
        current = FollowOneFrame(current, listed, 153600);
        EXPECT_EQ(320, current.width) << "frame " << frame;
    }
    // Frames of the other listed size do switch, once, and stay.
    for (int frame = 0; frame < 3; ++frame) {
        current = FollowOneFrame(current, listed, 614400);
        EXPECT_EQ(640, current.width);
        EXPECT_EQ(480, current.height);
    }
    // A length that matches no listed size proves nothing.
    EXPECT_EQ(640, FollowOneFrame(current, listed, 100000).width);
    // Another subtype's size is no candidate, whatever the length.
    const std::vector<Listed> rgb = {{{Subtype::kRgb24, 320, 240}, 230400}};
    EXPECT_EQ(640, FollowOneFrame(current, rgb, 230400).width);
}

TEST(LengthConfirmsSize, EqualFrameSizesCannotBeTold) {
    // 640x480 and 480x640 take the same bytes: no length tells them apart.
    EXPECT_FALSE(LengthConfirmsSize(614400, 614400, 614400));
    EXPECT_TRUE(LengthConfirmsSize(153600, 153600, 614400));
}

TEST(ShapeForFrame, ReplicatesOnlyWhileTheOutputIsTheInputTimesTheMultiples) {
    const FramePlan plan{true, 2, 3};
    FrameShape s = ShapeForFrame(plan, 176, 144, 352, 432);
    EXPECT_EQ(ScaleMode::kMultiple, s.mode);
    EXPECT_EQ(2, s.multiple_x);
    EXPECT_EQ(3, s.multiple_y);
    EXPECT_EQ(ScaleMode::kMultiple, ShapeForFrame(plan, 176, -144, 352, 432).mode);
    // Upstream grew after the connection: scale into what is connected.
    EXPECT_EQ(ScaleMode::kSize, ShapeForFrame(plan, 352, 288, 352, 432).mode);
    EXPECT_EQ(ScaleMode::kSize, ShapeForFrame({false, 2, 3}, 176, 144, 352, 432).mode);
}

// Whatever the connection planned and wherever upstream moved since, a frame
// shaped by the rules fits work buffers sized by the rules and an output
// sample of the connected type's size, and nothing outside them is touched.
TEST(ShapeForFrame, FramesAlwaysFitTheConnectedOutputAndTheWorkBuffers) {
    InitYuvTables();
    std::mt19937 rng(4);
    const Subtype subtypes[] = {Subtype::kRgb24, Subtype::kI420, Subtype::kYuy2, Subtype::kYuyv, Subtype::kUyvy};
    for (int round = 0; round < 300; ++round) {
        const ControlValues values{rng() % 2 == 0, int(1 + rng() % 80), int(1 + rng() % 80), int(1 + rng() % 4),
                                   int(1 + rng() % 4)};
        const Subtype subtype = subtypes[rng() % 5];
        const Picture connected{subtype, int(2 + rng() % 40), int(2 + rng() % 40)};
        int out_w = 0, out_h = 0;
        ASSERT_TRUE(ProposedOutputSize(values, connected.width, connected.height, &out_w, &out_h));
        const FramePlan plan{values.multiple_mode, values.multiple_x, values.multiple_y};
        // Half the time upstream has changed size since.
        const Picture now = rng() % 2 ? connected : Picture{subtype, int(2 + rng() % 60), int(2 + rng() % 60)};
        const WorkSizes sizes = WorkBufferSizes(WorkRule::kTwiceInputSample, 0, 0, now);

        std::vector<uint8_t> frame(DeclaredFrameBytes(now, 0));
        testing::FillRandom(frame.data(), frame.size(), rng);
        GuardedBuffer in(frame.size()), yuy2(sizes.yuy2), rgb(sizes.rgb), out(OutputFrameSize(out_w, out_h));
        std::memcpy(in.data(), frame.data(), frame.size());
        const FrameShape shape = ShapeForFrame(plan, now.width, now.height, out_w, out_h);
        const InputFrame input{in.data(), in.size(), subtype, now.width, now.height};
        const OutputFrame output{out.data(), out.size(), shape.mode, out_w, out_h, shape.multiple_x,
                                 shape.multiple_y};
        ASSERT_EQ(Status::kOk, ConvertFrame(input, {yuy2.data(), yuy2.size(), rgb.data(), rgb.size()}, output))
            << "round " << round;
        ASSERT_TRUE(in.GuardsIntact() && yuy2.GuardsIntact() && rgb.GuardsIntact() && out.GuardsIntact());
    }
}

TEST(WorkBuffer, GrowsButNeverShrinks) {
    WorkBuffer buffer;
    EXPECT_EQ(nullptr, buffer.data());
    ASSERT_TRUE(buffer.Allocate(100));
    EXPECT_EQ(100u, buffer.capacity());
    ASSERT_TRUE(buffer.Reserve(50));
    EXPECT_EQ(100u, buffer.capacity());
    ASSERT_TRUE(buffer.Reserve(400));
    EXPECT_EQ(400u, buffer.capacity());
    buffer.data()[399] = 1;  // the sanitizers check the new size is real
    ASSERT_TRUE(buffer.Allocate(10));
    EXPECT_EQ(10u, buffer.capacity());
    buffer.Release();
    EXPECT_EQ(0u, buffer.capacity());
}

}  // namespace
}  // namespace pixmorph
