// Writing settings files: byte order of sections and keys, CR LF line ends,
// and a file that holds exactly the map afterwards.
#include "app_toolkit/tests/ini_test_files.h"

namespace {

TEST_F(IniFileTest, SaveWritesSectionsAndKeysInByteOrder) {
    CIniFile ini(PathOf("order.ini"));
    ini.SetValue("3", "a", "z");
    ini.SetValue("1", "a", "B");
    ini.SetValue("2", "a", "b");
    ini.SetValue("4", "A1", "k");
    ini.SetValue("5", "Zeta", "k");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFile("order.ini"),
              "[A1]\r\nk=4\r\n"
              "[Zeta]\r\nk=5\r\n"
              "[a]\r\nB=1\r\nb=2\r\nz=3\r\n");
}

TEST_F(IniFileTest, TheCaptureSettingsComeOutInTheirFixedOrder) {
    CIniFile ini(PathOf("config.ini"));
    // Set in the order the program holds them; the file orders them by bytes.
    ini.SetValue("C:\\Snapory\\Capture", "config", "workpath");
    ini.SetValue("0", "config", "ImageType");
    ini.SetValue("80", "config", "JPEGQuality");
    ini.SetValue("2", "config", "LastPage");
    ini.SetValue("0", "config", "AutoSnapType");
    ini.SetValue("1", "config", "RecType");
    ini.SetValue("1", "config", "MpegQuality");
    ini.SetValue("0", "config", "bCaptureAudio");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFile("config.ini"),
              "[config]\r\n"
              "AutoSnapType=0\r\n"
              "ImageType=0\r\n"
              "JPEGQuality=80\r\n"
              "LastPage=2\r\n"
              "MpegQuality=1\r\n"
              "RecType=1\r\n"
              "bCaptureAudio=0\r\n"
              "workpath=C:\\Snapory\\Capture\r\n");
}

TEST_F(IniFileTest, SaveReplacesTheWholeFile) {
    const std::string path = WriteFile("old.ini", "; hand-written\n[keep]\nold=1\n[path]\nrespathtype=0\n");
    CIniFile ini(path);
    ini.SetValue("2", "path", "respathtype");
    ini.SetValue("first", "path", "respathtype");
    ini.SetValue("2", "path", "respathtype");  // replaced, not added
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFile("old.ini"), "[path]\r\nrespathtype=2\r\n");

    CIniFile empty(path);
    ASSERT_TRUE(empty.Save());
    EXPECT_EQ(ReadFile("old.ini"), "");
}

TEST_F(IniFileTest, SavingTwiceWritesTheHeadersBothTimes) {
    CIniFile ini(PathOf("twice.ini"));
    ini.SetValue("v", "s", "k");
    ASSERT_TRUE(ini.Save());
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(ReadFile("twice.ini"), "[s]\r\nk=v\r\n");
}

TEST_F(IniFileTest, SaveFailsWhereNoFileCanBeMade) {
    CIniFile ini(PathOf("missing-folder/x.ini"));
    ini.SetValue("v", "s", "k");
    EXPECT_FALSE(ini.Save());
}

TEST_F(IniFileTest, SavedFilesLoadBackToTheSameEntries) {
    CIniFile out(PathOf("round.ini"));
    out.SetValue("D:\\Pictures", "config", "workpath");
    out.SetValue("value with blanks inside", "config", "key");
    out.SetValue("a=b", "other", "k");
    out.SetValue("b#c", "other", "hash");
    out.SetValue("\xC4\xE3\xBA\xC3", "tooltip", "Help");  // narrow bytes pass unchanged
    ASSERT_TRUE(out.Save());
    CIniFile in(PathOf("round.ini"));
    ASSERT_TRUE(in.Load());
    EXPECT_EQ(in.Entries(), out.Entries());
}

}  // namespace
