// Exact ANSI forms under the code pages Windows may use as its ANSI code page
// (UTF-8 included), and the trace channel as the "DebugHelper " window reads it.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "narrow_text/ansi_form.h"
#include "narrow_text/debug_text.h"
#include "testing/window_harness/trace_window.h"

namespace {

// Windows' "Use Unicode UTF-8 for worldwide language support" makes this the
// ANSI code page; its conversion refuses a "used default character" report.
TEST(ExactNarrowForm, Utf8CodePageGivesTheUtf8BytesAndRefusesOnlyLoneSurrogates) {
    std::string narrow;
    ASSERT_TRUE(ExactNarrowForm(CP_UTF8, L"C:\\Capture\\\u7167\u7247 2026.jpg", &narrow));
    EXPECT_EQ(narrow, "C:\\Capture\\\xE7\x85\xA7\xE7\x89\x87 2026.jpg");
    ASSERT_TRUE(ExactNarrowForm(CP_UTF8, L"caf\u00E9 \U0001F600", &narrow));
    EXPECT_EQ(narrow, "caf\xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_FALSE(ExactNarrowForm(CP_UTF8, L"half \xD800 a pair", &narrow));
    EXPECT_TRUE(narrow.empty());
}

TEST(ExactNarrowForm, DoubleByteAndSingleByteCodePagesRefuseWhatTheyLack) {
    std::string narrow;
    ASSERT_TRUE(ExactNarrowForm(936, L"D:\\\u7167\u7247", &narrow));
    EXPECT_EQ(narrow, "D:\\\xD5\xD5\xC6\xAC");
    EXPECT_FALSE(ExactNarrowForm(936, L"D:\\\u0E01", &narrow)) << "Thai is not in GBK";

    ASSERT_TRUE(ExactNarrowForm(1252, L"caf\u00E9", &narrow));
    EXPECT_EQ(narrow, "caf\xE9");
    EXPECT_FALSE(ExactNarrowForm(1252, L"\u7167", &narrow));
    // A best-fit substitute ('A' for 'A' with macron) is no exact form either.
    EXPECT_FALSE(ExactNarrowForm(1252, L"\u0100ndrea", &narrow));
}

TEST(ExactNarrowForm, EmptyAndPlainTextUnderTheSystemCodePage) {
    std::string narrow = "left over";
    EXPECT_TRUE(ExactNarrowForm(CP_ACP, L"", &narrow));
    EXPECT_TRUE(narrow.empty());
    EXPECT_TRUE(ExactNarrowForm(CP_ACP, L"C:\\Capture\\2026129.bmp", &narrow));
    EXPECT_EQ(narrow, "C:\\Capture\\2026129.bmp");
    EXPECT_FALSE(ExactNarrowForm(CP_ACP, nullptr, &narrow));
}

TEST(DebugText, FormattedLinesReachTheHelperWindow) {
    {
        harness::TraceWindow trace;
        SendDebugText("%s failed with HRESULT 0x%08lX", "Connect", 0x80004003UL);
        SendDebugText("Rendevice begin!");
        ASSERT_EQ(trace.Lines().size(), 2u);
        EXPECT_EQ(trace.Lines()[0], "Connect failed with HRESULT 0x80004003");
        EXPECT_EQ(trace.Lines()[1], "Rendevice begin!");
    }
    ASSERT_EQ(FindWindowA(nullptr, "DebugHelper "), nullptr);
    harness::TraceWindow again;
    SendDebugText("after a new window %d", 2);
    EXPECT_EQ(again.Lines(), std::vector<std::string>{"after a new window 2"});
}

}  // namespace
