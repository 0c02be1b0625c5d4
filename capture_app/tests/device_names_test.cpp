#include "capture_app/device_names.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceNames, EveryLineFeedEndsAName) {
    const auto names = SplitDeviceNames(L"Cam A\nCam B\n", 512);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], L"Cam A");
    EXPECT_EQ(names[1], L"Cam B");
}

TEST(DeviceNames, TextAfterTheLastLineFeedAndEmptyListsGiveNothing) {
    EXPECT_EQ(SplitDeviceNames(L"Cam A\ntrailing", 512).size(), 1u);
    EXPECT_TRUE(SplitDeviceNames(L"", 512).empty());
    EXPECT_TRUE(SplitDeviceNames(nullptr, 512).empty());
    const auto blank = SplitDeviceNames(L"\n", 512);
    ASSERT_EQ(blank.size(), 1u);
    EXPECT_EQ(blank[0], L"");
}

TEST(DeviceNames, LongNamesAreCutTo99Units) {
    const std::wstring list = std::wstring(150, L'x') + L"\nshort\n";
    const auto names = SplitDeviceNames(list.c_str(), 512);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], std::wstring(99, L'x'));
    EXPECT_EQ(names[1], L"short");
}

TEST(DeviceNames, NeverReadsPastTheBufferWithoutATerminator) {
    // Heap buffer without a terminator: the sanitizer catches a read past it.
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[6]{L'a', L'\n', L'b', L'c', L'\n', L'd'});
    const auto names = SplitDeviceNames(buffer.get(), 6);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], L"bc");
}

}  // namespace
