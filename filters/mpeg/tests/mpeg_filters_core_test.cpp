// The portable parts of the MPEG filters: the settings block hosts exchange
// with the video encoder, the pacing that fills lost frames, and the audio
// frame clock.
#include <gtest/gtest.h>

#include <cstdint>

#include "filters/mpeg/encoder_settings.h"
#include "filters/mpeg/picture_pacer.h"
#include "filters/mpeg/sample_clock.h"

namespace mpeg_filters {
namespace {

SettingsBlock BlockOf(const EncoderSettings& s) {
    SettingsBlock block{};
    StoreSettings(s, &block);
    return block;
}

// What the capture engine does with the block: quality into bits 1..4 of byte
// 812, the other bits as they were.
void SetQualityBits(SettingsBlock* block, int quality) {
    uint8_t& b = (*block)[kQualityByteOffset];
    b = static_cast<uint8_t>((b & ~kQualityMask) | ((quality << 1) & kQualityMask));
}

TEST(EncoderSettingsBlock, QualityBitsTravelThroughTheEngineEdit) {
    for (int quality = 0; quality <= 2; ++quality) {
        SettingsBlock block = BlockOf(EncoderSettings{});
        SetQualityBits(&block, quality);
        EncoderSettings loaded{};
        loaded.quality = -1;
        ASSERT_EQ(BlockProblem::kNone, LoadSettings(block, &loaded));
        EXPECT_EQ(quality, loaded.quality);
    }
    // The field holds up to 15; anything above high is high.
    SettingsBlock block = BlockOf(EncoderSettings{});
    SetQualityBits(&block, 15);
    EncoderSettings loaded;
    ASSERT_EQ(BlockProblem::kNone, LoadSettings(block, &loaded));
    EXPECT_EQ(kMaxQuality, loaded.quality);
}

TEST(EncoderSettingsBlock, StoreKeepsTheHostsBytesAndTheFlagBitsItDoesNotOwn) {
    SettingsBlock block;
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7 + 3);
    const SettingsBlock before = block;
    EncoderSettings s;
    s.quality = 2;
    s.gop_length = 12;
    s.fill_dropped = false;
    StoreSettings(s, &block);
    for (size_t i = 28; i < block.size(); ++i) {
        if (i == kQualityByteOffset) continue;
        ASSERT_EQ(before[i], block[i]) << "byte " << i;
    }
    // Bits 5..7 of the flags byte stay; bit 0 and the quality are ours.
    EXPECT_EQ(before[kQualityByteOffset] & 0xE0, block[kQualityByteOffset] & 0xE0);
    EXPECT_EQ(2 << 1, block[kQualityByteOffset] & kQualityMask);
    EXPECT_EQ(0, block[kQualityByteOffset] & kFillDroppedBit);
    EncoderSettings loaded;
    ASSERT_EQ(BlockProblem::kNone, LoadSettings(block, &loaded));
    EXPECT_EQ(2, loaded.quality);
    EXPECT_EQ(12, loaded.gop_length);
    EXPECT_FALSE(loaded.fill_dropped);
}

TEST(EncoderSettingsBlock, RefusesBlocksItDidNotWriteAndLeavesSettingsAlone) {
    const EncoderSettings original{2, 20, true};
    EncoderSettings target = original;

    SettingsBlock zero{};
    EXPECT_EQ(BlockProblem::kNotOurs, LoadSettings(zero, &target));

    SettingsBlock wrongSize = BlockOf(EncoderSettings{});
    wrongSize[4] = 0x5F;  // 863
    EXPECT_EQ(BlockProblem::kNotOurs, LoadSettings(wrongSize, &target));

    SettingsBlock badGop = BlockOf(EncoderSettings{});
    badGop[12] = 0;
    badGop[13] = 0;
    EXPECT_EQ(BlockProblem::kBadGopLength, LoadSettings(badGop, &target));
    badGop[12] = 0x00;
    badGop[13] = 0x04;  // 1024
    EXPECT_EQ(BlockProblem::kBadGopLength, LoadSettings(badGop, &target));

    SettingsBlock bPictures = BlockOf(EncoderSettings{});
    bPictures[24] = 2;
    EXPECT_EQ(BlockProblem::kBadGroupStructure, LoadSettings(bPictures, &target));

    EXPECT_EQ(original.quality, target.quality);
    EXPECT_EQ(original.gop_length, target.gop_length);
}

constexpr int64_t kFrame = 333333;

TEST(PicturePacer, CountsWholeMissingPeriodsAndToleratesJitter) {
    PicturePacer pacer(kFrame);
    EXPECT_EQ(0, pacer.MissingBefore(5 * kFrame)) << "nothing coded yet";
    pacer.Coded(0);
    EXPECT_EQ(0, pacer.MissingBefore(kFrame));
    EXPECT_EQ(0, pacer.MissingBefore(kFrame + kFrame / 2 - 1)) << "late, but the same frame";
    EXPECT_EQ(1, pacer.MissingBefore(kFrame + kFrame / 2 + 1));
    EXPECT_EQ(1, pacer.MissingBefore(2 * kFrame));
    EXPECT_EQ(3, pacer.MissingBefore(4 * kFrame - 1000));
    EXPECT_EQ(0, pacer.MissingBefore(0)) << "times going back fill nothing";
    EXPECT_EQ(0, pacer.MissingBefore(-kFrame));
}

TEST(PicturePacer, LongGapsAreAPauseNotLostFrames) {
    PicturePacer pacer(kFrame);
    pacer.Coded(10 * kFrame);
    EXPECT_EQ(PicturePacer::kMaxFill, pacer.MissingBefore((11 + PicturePacer::kMaxFill) * kFrame));
    EXPECT_EQ(0, pacer.MissingBefore((12 + PicturePacer::kMaxFill) * kFrame));
    EXPECT_EQ(0, pacer.MissingBefore(INT64_MAX));
    pacer.Reset();
    EXPECT_EQ(0, pacer.MissingBefore(20 * kFrame));
}

TEST(PicturePacer, SwitchedOffFillsNothing) {
    PicturePacer pacer(0);
    pacer.Coded(0);
    EXPECT_EQ(0, pacer.MissingBefore(5 * kFrame));
}

TEST(SampleClock, FramesFollowTheLatestAnchorAtOrBeforeThem) {
    SampleClock clock(48000);
    int64_t t = 0;
    EXPECT_FALSE(clock.TimeOf(0, &t)) << "no anchor yet";
    clock.Anchor(0, 1000000);
    clock.Anchor(4800, 2000000);   // on time: 100 ms later
    clock.Anchor(9600, 5000000);   // after a gap of 200 ms
    ASSERT_TRUE(clock.TimeOf(0, &t));
    EXPECT_EQ(1000000, t);
    ASSERT_TRUE(clock.TimeOf(1152, &t));
    EXPECT_EQ(1000000 + 240000, t);
    ASSERT_TRUE(clock.TimeOf(5952, &t));
    EXPECT_EQ(2000000 + 240000, t);
    ASSERT_TRUE(clock.TimeOf(10752, &t));
    EXPECT_EQ(5000000 + 240000, t);
    // Past the last anchor (the padded frames at the end) it extrapolates.
    ASSERT_TRUE(clock.TimeOf(96000, &t));
    EXPECT_EQ(5000000 + 18000000, t);
}

TEST(SampleClock, ExactForRatesThatDoNotDivideTheClock) {
    SampleClock clock(44100);
    clock.Anchor(0, 0);
    int64_t t = 0;
    ASSERT_TRUE(clock.TimeOf(44100ull * 3600, &t));
    EXPECT_EQ(36000000000ll, t) << "an hour in, no drift";
    ASSERT_TRUE(clock.TimeOf(44100ull * 3600 + 1152, &t));
    EXPECT_EQ(36000000000ll + 261224, t) << "1152 samples are 26.1224 ms";
}

TEST(SampleClock, AFrameStartingBeforeTheFirstAnchorCountsBack) {
    SampleClock clock(32000);
    clock.Anchor(320, 10000000);
    int64_t t = 0;
    ASSERT_TRUE(clock.TimeOf(0, &t));
    EXPECT_EQ(10000000 - 100000, t);
}

TEST(SampleClock, ALaterStampForTheSameSampleWins) {
    SampleClock clock(32000);
    clock.Anchor(0, 0);
    clock.Anchor(3200, 1000000);
    clock.Anchor(3200, 1500000);
    int64_t t = 0;
    ASSERT_TRUE(clock.TimeOf(3200, &t));
    EXPECT_EQ(1500000, t);
    clock.Reset();
    EXPECT_FALSE(clock.TimeOf(3200, &t));
}

}  // namespace
}  // namespace mpeg_filters
