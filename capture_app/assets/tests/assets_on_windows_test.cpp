// The data files as the capture program meets them on Windows: bitmaps
// loaded from file by the system, texts read through the ANSI code page
// (run with the GBK code page), the help page found under its Chinese name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app_toolkit/ini_file.h"
#include "app_toolkit/read_ini_string.h"
#include "capture_app/assets/tests/asset_files.h"

namespace {

// A path of the build (UTF-8, '/') as a Windows program names it: drive Z: is the Linux root.
std::wstring WinPath(const std::string& path) {
    std::string dos = "Z:" + path;
    for (char& c : dos)
        if (c == '/') c = '\\';
    std::wstring wide(dos.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, dos.c_str(), static_cast<int>(dos.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    return wide;
}

std::wstring ProgramFile(const std::string& relative) { return WinPath(assets::InProgramDir(relative)); }

SIZE LoadedSize(const std::wstring& path) {
    SIZE size{0, 0};
    HANDLE image = LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    BITMAP info{};
    if (image && GetObjectW(image, sizeof info, &info) == sizeof info) size = SIZE{info.bmWidth, info.bmHeight};
    if (image) DeleteObject(image);
    return size;
}

TEST(SkinOnWindows, EveryBitmapLoadsFromItsFileAtItsSize) {
    for (const assets::SkinBitmap& piece : assets::FramePieces()) {
        const SIZE size = LoadedSize(ProgramFile("Skin\\" + piece.path));
        EXPECT_EQ(piece.width, size.cx) << piece.path;
        EXPECT_EQ(piece.height, size.cy) << piece.path;
    }
    for (const std::string& name : assets::ButtonNames()) {
        const SIZE over = LoadedSize(ProgramFile("Skin\\" + name + "H.BMP"));
        EXPECT_GT(over.cx, 0) << name;
        for (const char* s = assets::kButtonStates; *s; ++s) {
            const SIZE size = LoadedSize(ProgramFile("Skin\\" + name + *s + ".BMP"));
            EXPECT_EQ(over.cx, size.cx) << name << *s;
            EXPECT_EQ(over.cy, size.cy) << name << *s;
        }
    }
}

// The Chinese texts from their UTF-8 source, converted independently of the code page.
std::wstring SourceText(const CIniFile& source, const assets::TextKey& k) {
    char value[200];
    source.GetValue(k.key, k.section, value);
    wchar_t wide[200];
    const int n = MultiByteToWideChar(CP_UTF8, 0, value, -1, wide, 200);
    return n > 0 ? std::wstring(wide, n - 1) : std::wstring();
}

TEST(GbkCodePage, ChineseTextsComeThroughAsWritten) {
    // The zh_CN.GBK locale that gives Wine this code page is made by the
    // install step (scripts/deps.sh); without it the run checks nothing.
    ASSERT_EQ(GetACP(), 936u) << "the GBK code page is missing: run scripts/deps.sh";
    CIniFile source("Z:" ASSET_SOURCE_DIR "/texts/Resource.zh-CN.utf8.ini");
    ASSERT_TRUE(source.Load());
    const std::wstring file = ProgramFile("Resource.zh-CN.ini");
    for (const assets::TextKey& k : assets::ResourceKeys()) {
        CString text;
        ASSERT_TRUE(ReadIniString(file.c_str(), k.section, k.key, text)) << k.section << "/" << k.key;
        EXPECT_EQ(SourceText(source, k), text.str()) << k.section << "/" << k.key;
    }
}

TEST(TextsOnWindows, EnglishTextsReadUnderAnyCodePage) {
    const std::wstring file = ProgramFile("Resource.ini");
    for (const assets::TextKey& k : assets::ResourceKeys()) {
        CString text;
        EXPECT_TRUE(ReadIniString(file.c_str(), k.section, k.key, text)) << k.section << "/" << k.key;
        EXPECT_FALSE(text.IsEmpty());
    }
}

TEST(HelpOnWindows, ThePageIsFoundUnderItsChineseName) {
    const std::wstring page = ProgramFile("Help") + L"\\\u4ea7\u54c1\u7b80\u4ecb.htm";
    HANDLE file = CreateFileW(page.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    char head[16] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(file, head, sizeof head - 1, &got, nullptr));
    CloseHandle(file);
    EXPECT_EQ(0, std::string(head).rfind("<!DOCTYPE html>", 0));
}

}  // namespace
