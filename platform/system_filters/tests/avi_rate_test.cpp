// Choosing one frame rate for a video stream from its format and time stamps.
#include <gtest/gtest.h>

#include "system_filters/avi_rate.h"

namespace {

using avi::ChooseFrameDuration;
using avi::FrameTiming;
using avi::RateForFrameDuration;

FrameTiming Timing(uint32_t frames, int64_t first, int64_t last, bool timed = true) {
    FrameTiming t;
    t.frames = frames;
    t.timed = timed;
    t.firstStart = first;
    t.firstStop = first;
    t.lastStart = last;
    return t;
}

TEST(FrameRate, CommonDurationsBecomeExactRates) {
    struct Case {
        int64_t duration;
        uint32_t scale, rate;
    } cases[] = {
        {333333, 1, 30}, {333334, 1, 30}, {400000, 1, 25}, {166666, 1, 60}, {10000000, 1, 1},
        {333667, 1001, 30000}, {417083, 1001, 24000}, {166833, 1001, 60000},
    };
    for (const Case& c : cases) {
        const avi::Rate r = RateForFrameDuration(c.duration);
        EXPECT_EQ(c.scale, r.scale) << c.duration;
        EXPECT_EQ(c.rate, r.rate) << c.duration;
    }
}

TEST(FrameRate, OtherDurationsKeepTheirExactValue) {
    const avi::Rate r = RateForFrameDuration(345678);  // 28.93 frames per second
    EXPECT_EQ(172839u, r.scale);
    EXPECT_EQ(5000000u, r.rate);
    const avi::Rate slow = RateForFrameDuration(60LL * 10000000);  // a frame a minute
    EXPECT_EQ(60u, slow.scale);
    EXPECT_EQ(1u, slow.rate);
}

TEST(FrameRate, NominalDurationWinsWhileTimeStampsAgree) {
    // 91 frames over 3 s of time stamps with a little jitter.
    EXPECT_EQ(333333, ChooseFrameDuration(333333, Timing(91, 0, 30100000)));
    EXPECT_EQ(333333, ChooseFrameDuration(333333, Timing(91, 5000, 5000 + 29500000)));
}

TEST(FrameRate, TimeStampsWinWhenTheSourceDeliveredFewerFrames) {
    // Promised 30 per second, delivered 15: the file must still last as long as the recording.
    EXPECT_EQ(666667, ChooseFrameDuration(333333, Timing(46, 0, 30000000)));
    // No nominal rate at all.
    EXPECT_EQ(400000, ChooseFrameDuration(0, Timing(11, 1000000, 5000000)));
}

TEST(FrameRate, WithoutUsableTimeStampsTheNominalOrFirstFrameDecides) {
    EXPECT_EQ(400000, ChooseFrameDuration(400000, Timing(50, 0, 0, false)));
    FrameTiming one = Timing(1, 2000000, 2000000);
    one.firstStop = 2000000 + 500000;
    EXPECT_EQ(500000, ChooseFrameDuration(0, one));
    EXPECT_EQ(avi::kFallbackFrameDuration, ChooseFrameDuration(0, Timing(0, 0, 0, false)));
    // Time stamps that do not advance say nothing.
    EXPECT_EQ(avi::kFallbackFrameDuration, ChooseFrameDuration(0, Timing(5, 7, 7)));
}

}  // namespace
