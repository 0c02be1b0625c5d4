// Cutting narrow text to a caller's buffer without splitting a two-byte
// character of a double-byte code page.
#include <cstring>

#include <gtest/gtest.h>

#include "app_toolkit/ini_core.h"

namespace {

// Lead bytes of code page 936 (GBK).
bool GbkLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

TEST(IniCut, RoomForTheTerminatorIsKept) {
    EXPECT_EQ(ini::FittingLength("abcdef", 0, nullptr), 0u);
    EXPECT_EQ(ini::FittingLength("abcdef", 1, nullptr), 0u);
    EXPECT_EQ(ini::FittingLength("abcdef", 4, nullptr), 3u);
    EXPECT_EQ(ini::FittingLength("abcdef", 7, nullptr), 6u);
    EXPECT_EQ(ini::FittingLength("abcdef", 200, nullptr), 6u);
}

TEST(IniCut, TwoByteCharactersStayWhole) {
    const std::string text = "ab\xC4\xE3\xBA\xC3";  // "ab" and two GBK characters
    EXPECT_EQ(ini::FittingLength(text, 4, GbkLead), 2u);  // the first character would need bytes 3 and 4
    EXPECT_EQ(ini::FittingLength(text, 5, GbkLead), 4u);
    EXPECT_EQ(ini::FittingLength(text, 6, GbkLead), 4u);
    EXPECT_EQ(ini::FittingLength(text, 7, GbkLead), 6u);
    // Without the code page's lead bytes the same text is cut anywhere.
    EXPECT_EQ(ini::FittingLength(text, 4, nullptr), 3u);
    // A second byte that happens to look like a lead byte is not one.
    EXPECT_EQ(ini::FittingLength("\xC4\xC4\xC4\xC4", 4, GbkLead), 2u);
    // A lead byte at the very end has no partner and counts alone.
    EXPECT_EQ(ini::FittingLength("ab\xC4", 10, GbkLead), 3u);
}

TEST(IniCut, CopyCutNeverWritesPastTheBuffer) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    ini::CopyCut("ab\xC4\xE3xyz", buffer, 4, GbkLead);
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(std::string(buffer + 4, 4), "####");
    ini::CopyCut("anything", buffer, 0, GbkLead);
    EXPECT_STREQ(buffer, "ab");
}

}  // namespace
