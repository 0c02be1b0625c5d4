#include "capture_app/video_sizes.h"

#include <gtest/gtest.h>

namespace {

TEST(VideoSizes, LargestPairIsReplacedTogether) {
    const tag_VideoSize sizes[] = {{640, 480}, {1280, 720}, {800, 600}};
    const tag_VideoSize largest = LargestSizePair(sizes, 3);
    EXPECT_EQ(largest.width, 1280);
    EXPECT_EQ(largest.height, 720);
    // Taller but narrower replaces the whole pair, not just the height.
    const tag_VideoSize mixed[] = {{1280, 720}, {640, 960}};
    const tag_VideoSize pair = LargestSizePair(mixed, 2);
    EXPECT_EQ(pair.width, 640);
    EXPECT_EQ(pair.height, 960);
    EXPECT_EQ(LargestSizePair(nullptr, 0).width, 0);
}

TEST(VideoSizes, ReportedCountIsBoundedByTheArray) {
    EXPECT_EQ(UsableSizeCount(4), 4u);
    EXPECT_EQ(UsableSizeCount(20), 20u);
    EXPECT_EQ(UsableSizeCount(25), 20u);
    EXPECT_EQ(UsableSizeCount(-3), 0u);
}

TEST(VideoSizes, ComboTextAndRecordingLimit) {
    EXPECT_EQ(SizeComboText({640, 480}), L"640 * 480");
    EXPECT_EQ(SizeComboText({1280, 720}), L"1280 * 720");
    EXPECT_TRUE(RecordingOffered({640, 480}));
    EXPECT_FALSE(RecordingOffered({641, 480}));
    EXPECT_FALSE(RecordingOffered({1280, 720}));
}

TEST(VideoSizes, SelectionOfNoneIsNoIndex) {
    EXPECT_FALSE(IsSizeIndex(-1, 4));  // CB_ERR
    EXPECT_FALSE(IsSizeIndex(4, 4));
    EXPECT_TRUE(IsSizeIndex(3, 4));
    EXPECT_FALSE(IsSizeIndex(0, 0));
}

}  // namespace
