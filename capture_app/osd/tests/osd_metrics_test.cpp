// Font size and text placement of a status display, from the owner's size.
#include <gtest/gtest.h>

#include "capture_app/osd/osd_metrics.h"

namespace {

TEST(FontHeight, FollowsTheClientHeightWithinItsBounds) {
    // The capture window's settings: 5 % of the client height, 5..50 pixels.
    EXPECT_EQ(20, osd::FontHeightFor(410, 5, 50, 5));
    EXPECT_EQ(20, osd::FontHeightFor(419, 5, 50, 5));  // rounded down
    EXPECT_EQ(21, osd::FontHeightFor(420, 5, 50, 5));
    EXPECT_EQ(50, osd::FontHeightFor(1000, 5, 50, 5));
    EXPECT_EQ(50, osd::FontHeightFor(4000, 5, 50, 5));
    EXPECT_EQ(5, osd::FontHeightFor(60, 5, 50, 5));
    EXPECT_EQ(5, osd::FontHeightFor(0, 5, 50, 5));
    // A display left at its construction values: 8 %, 30..55.
    EXPECT_EQ(30, osd::FontHeightFor(300, 30, 55, 8));
    EXPECT_EQ(40, osd::FontHeightFor(500, 30, 55, 8));
    EXPECT_EQ(55, osd::FontHeightFor(800, 30, 55, 8));
}

TEST(FontHeight, CrossedBoundsNeverExceedTheMaximum) {
    EXPECT_EQ(10, osd::FontHeightFor(100, 40, 10, 5));
    EXPECT_EQ(10, osd::FontHeightFor(2000, 40, 10, 5));
}

TEST(TextRect, IsTheClientAreaInsetByTheMargins) {
    const osd::Box r = osd::TextRect(osd::Box{0, 0, 640, 480}, osd::Box{20, 80, 10, 10});
    EXPECT_EQ(20, r.left);
    EXPECT_EQ(80, r.top);
    EXPECT_EQ(630, r.right);
    EXPECT_EQ(470, r.bottom);
    EXPECT_FALSE(r.Empty());

    const osd::Box moved = osd::TextRect(osd::Box{100, 50, 200, 150}, osd::Box{20, 40, 10, 10});
    EXPECT_EQ(120, moved.left);
    EXPECT_EQ(90, moved.top);
    EXPECT_EQ(190, moved.right);
    EXPECT_EQ(140, moved.bottom);
}

TEST(TextRect, ATinyClientAreaLeavesNoRoom) {
    EXPECT_TRUE(osd::TextRect(osd::Box{0, 0, 25, 200}, osd::Box{20, 40, 10, 10}).Empty());
    EXPECT_TRUE(osd::TextRect(osd::Box{0, 0, 200, 45}, osd::Box{20, 40, 10, 10}).Empty());
}

}  // namespace
