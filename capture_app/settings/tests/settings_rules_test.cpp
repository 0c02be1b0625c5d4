// Indices that come from config.ini or from a combo box with no selection
// must never pick a page or a size that does not exist.
#include <climits>

#include <gtest/gtest.h>

#include "capture_app/settings/settings_rules.h"

namespace {

using namespace settings_rules;

TEST(SettingsRules, StoredLastPageOutsideThePagesOpensTheFirst) {
    for (int page = 0; page < kPageCount; ++page) EXPECT_EQ(PageToShow(page), page);
    for (int stored : {-1, kPageCount, 7, INT_MAX, INT_MIN}) EXPECT_EQ(PageToShow(stored), 0) << stored;
}

TEST(SettingsRules, InterpolationSizeOnlyForAnEntryOfTheList) {
    EXPECT_EQ(InterpolationSizeAt(-1), nullptr);  // CB_ERR: nothing selected
    EXPECT_EQ(InterpolationSizeAt(kInterpolationSizeCount), nullptr);
    EXPECT_EQ(InterpolationSizeAt(INT_MIN), nullptr);
    const InterpolationSize* last = InterpolationSizeAt(kInterpolationSizeCount - 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->width, 3876);
    EXPECT_EQ(last->height, 2584);
    const InterpolationSize* first = InterpolationSizeAt(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width, 1600);
    EXPECT_EQ(first->height, 1200);
}

TEST(SettingsRules, StoredSizeIndexSelectsItsEntryOrNone) {
    EXPECT_EQ(InterpolationSelection(2), 2);
    EXPECT_EQ(InterpolationSelection(kInterpolationSizeCount), -1);
    EXPECT_EQ(InterpolationSelection(-5), -1);
}

TEST(SettingsRules, SizesReadAsWidthStarHeight) {
    EXPECT_EQ(SizeText(2580, 1936), L"2580 * 1936");
    EXPECT_EQ(SizeText(640, 480), L"640 * 480");
}

}  // namespace
