// Reading one interface text per call, as both programs read Resource.ini;
// a missing file, key or value keeps what the caller had.
#include <windows.h>

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "app_toolkit/ansi_text.h"
#include "app_toolkit/ini_file.h"
#include "app_toolkit/module_paths.h"
#include "app_toolkit/read_ini_string.h"

namespace {

class ReadIniStringTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        path_.Format(L"%sread_ini_string_%lu.ini", temp, GetCurrentProcessId());
    }
    void TearDown() override { DeleteFileW(path_); }

    void Write(const std::string& bytes) { std::ofstream(WideToAnsi(path_), std::ios::binary) << bytes; }

    CString path_;
};

TEST_F(ReadIniStringTest, AssignsFoundTextsAndLeavesTheRestAlone) {
    Write("[tooltip]\r\nHelp = Help me  // shown on the help button\r\nEmpty=\r\n[OsdInformation]\r\nSnap=Snap!\r\n");
    CString text = L"before";
    EXPECT_TRUE(ReadIniString(path_, "tooltip", "Help", text));
    EXPECT_EQ(text, L"Help me");
    EXPECT_TRUE(ReadIniString(path_, "OsdInformation", "Snap", text));
    EXPECT_EQ(text, L"Snap!");

    text = L"kept";
    EXPECT_FALSE(ReadIniString(path_, "tooltip", "Missing", text));
    EXPECT_FALSE(ReadIniString(path_, "tooltip", "Empty", text));
    EXPECT_FALSE(ReadIniString(path_, "Tooltip", "Help", text));
    EXPECT_FALSE(ReadIniString(path_ + L".absent", "tooltip", "Help", text));
    EXPECT_EQ(text, L"kept");
}

TEST_F(ReadIniStringTest, LongValuesAndPathsAreCutNotOverrun) {
    Write("[s]\r\nlong=" + std::string(300, 'x') + "\r\n");
    CString text;
    EXPECT_TRUE(ReadIniString(path_, "s", "long", text));
    EXPECT_EQ(text, CString(L'x', 199));

    // A path past 259 bytes is cut and then names no file.
    CString longPath = path_ + CString(L'y', 400);
    text = L"kept";
    EXPECT_FALSE(ReadIniString(longPath, "s", "long", text));
    EXPECT_EQ(text, L"kept");
    EXPECT_EQ(WideToAnsiFitting(longPath, MAX_PATH).size(), static_cast<size_t>(MAX_PATH - 1));
}

TEST_F(ReadIniStringTest, ConfigFilesWrittenWithCIniFileReadBack) {
    CIniFile out(WideToAnsi(path_));
    out.SetValue("D:\\Pictures", "config", "workpath");
    out.SetValue("80", "config", "JPEGQuality");
    ASSERT_TRUE(out.Save());
    CString text;
    EXPECT_TRUE(ReadIniString(path_, "config", "workpath", text));
    EXPECT_EQ(text, L"D:\\Pictures");
}

// Run with a Chinese (GBK) ANSI code page: texts are converted through it and
// cut between characters, never inside one.
class DoubleByteCodePage : public ReadIniStringTest {
protected:
    void SetUp() override {
        // The zh_CN.GBK locale that gives Wine this code page is made by the
        // install step (scripts/deps.sh); without it the run checks nothing.
        ASSERT_EQ(GetACP(), 936u) << "the GBK code page is missing: run scripts/deps.sh";
        ReadIniStringTest::SetUp();
    }
};

TEST_F(DoubleByteCodePage, TextsConvertThroughTheCodePage) {
    Write("[tooltip]\r\nHelp=\xB0\xEF\xD6\xFA\r\n");  // GBK for 帮助
    CString text;
    EXPECT_TRUE(ReadIniString(path_, "tooltip", "Help", text));
    EXPECT_EQ(text, L"\u5E2E\u52A9");
}

TEST_F(DoubleByteCodePage, CutsFallBetweenCharacters) {
    // 150 two-byte characters: the 199 bytes there is room for end inside one.
    std::string value;
    for (int i = 0; i < 150; ++i) value += "\xD6\xD0";  // 中
    Write("[s]\r\nk=" + value + "\r\n");
    CString text;
    ASSERT_TRUE(ReadIniString(path_, "s", "k", text));
    EXPECT_EQ(text, CString(L'\u4E2D', 99));
    CIniFile ini(WideToAnsi(path_));
    ASSERT_TRUE(ini.Load());
    char buffer[200];
    ini.GetValue("k", "s", buffer);
    EXPECT_EQ(std::string(buffer).size(), 198u) << "not 199: that would end in half a character";

    const std::string path = WideToAnsiFitting(CString(L'\u4E2D', 200), MAX_PATH);
    EXPECT_EQ(path.size(), 258u);
}

}  // namespace
