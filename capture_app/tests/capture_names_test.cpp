#include "capture_app/capture_names.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptureNames, FieldsWithoutLeadingZeros) {
    EXPECT_EQ(TimeStampedName(L"C:\\w", {2007, 10, 31, 1, 59, 44}, L".jpg"), L"C:\\w\\2007103115944.jpg");
    EXPECT_EQ(TimeStampedName(L"D:", {2026, 1, 2, 0, 0, 9}, L".avi"), L"D:\\202612009.avi");
}

TEST(CaptureNames, ExtensionsByType) {
    EXPECT_STREQ(SnapshotExtension(0), L".jpg");
    EXPECT_STREQ(SnapshotExtension(1), L".bmp");
    EXPECT_STREQ(SnapshotExtension(7), L".bmp");
    EXPECT_STREQ(RecordExtension(1), L".avi");
    EXPECT_STREQ(RecordExtension(0), L".mpg");
    EXPECT_STREQ(RecordExtension(2), L".mpg");  // a hand-edited value is MPEG
    EXPECT_STREQ(RecordExtension(-1), L".mpg");
}

}  // namespace
