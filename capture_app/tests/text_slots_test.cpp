#include "capture_app/text_slots.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(TextSlots, FortyThreeDistinctSectionKeyPairs) {
    ASSERT_EQ(kTextSlotCount, 43);
    std::set<std::string> pairs;
    for (int i = 0; i < kTextSlotCount; ++i) {
        const TextSlotKey k = TextSlotSource(i);
        ASSERT_NE(k.section[0], '\0');
        pairs.insert(std::string(k.section) + "/" + k.key);
        EXPECT_EQ(FindTextSlot(k.section, k.key), i);
    }
    EXPECT_EQ(pairs.size(), 43u);
}

TEST(TextSlots, SameKeyInTwoSectionsIsTwoSlots) {
    EXPECT_EQ(FindTextSlot("RecordSetting", "StoreFormat"), kRecStoreFormat);
    EXPECT_EQ(FindTextSlot("SnapSetting", "StoreFormat"), kSnapStoreFormat);
    EXPECT_EQ(FindTextSlot("tooltip", "Browse"), kTipBrowse);
    EXPECT_EQ(FindTextSlot("OtherSetting", "Browse"), kOtherBrowse);
    EXPECT_EQ(FindTextSlot("OsdInformation", "time"), kOsdTime);
    EXPECT_EQ(FindTextSlot("osdinformation", "time"), -1);  // case-sensitive as the file
    EXPECT_EQ(FindTextSlot("tooltip", "Nothing"), -1);
    EXPECT_EQ(TextSlotSource(kTextSlotCount).section[0], '\0');
}

}  // namespace
