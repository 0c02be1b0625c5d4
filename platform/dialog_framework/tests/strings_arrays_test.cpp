// CString and the typed arrays as dialog code uses them.
#include <gtest/gtest.h>

#include "dialog_framework/typed_arrays.h"
#include "dialog_framework/wide_string.h"
#include "platform/dialog_framework/tests/probe/probe_ids.h"

namespace {

TEST(CStringTest, FormatReadsArgumentsTheMicrosoftWay) {
    CString s;
    s.Format(L"%d * %d", 640, 480);
    EXPECT_EQ(s, L"640 * 480");
    s.Format(L"%d%d%d%d%d%d", 2007, 10, 31, 1, 59, 44);
    EXPECT_EQ(s, L"2007103115944");
    s.Format(L"[%s] %S %c", L"wide", "narrow", L'x');  // %s is wide, %S narrow
    EXPECT_EQ(s, L"[wide] narrow x");
    s.Format(L"%s", CString(L'z', 5000).GetString());
    EXPECT_EQ(s.GetLength(), 5000);
}

TEST(CStringTest, SlicesAndSearchesStayInsideTheString) {
    const CString path = L"C:\\Snapory\\Skin\\HelpH.BMP";
    EXPECT_EQ(path.Left(path.ReverseFind(L'\\')), L"C:\\Snapory\\Skin");
    EXPECT_EQ(path.Mid(path.ReverseFind(L'\\') + 1), L"HelpH.BMP");
    EXPECT_EQ(path.Right(3), L"BMP");
    EXPECT_EQ(path.Mid(3, 7), L"Snapory");
    EXPECT_EQ(path.Find(L"Skin"), 11);
    EXPECT_EQ(path.Find(L'\\', 3), 10);
    EXPECT_EQ(path.Find(L'#'), -1);
    EXPECT_EQ(path.Left(100), path);
    EXPECT_EQ(path.Left(-1), L"");
    EXPECT_EQ(path.Mid(100), L"");
    EXPECT_EQ(path.Mid(20, 100), L"H.BMP");
    EXPECT_EQ(path.Right(0), L"");
    EXPECT_EQ(CString(L"abc").CompareNoCase(L"ABC"), 0);
    EXPECT_LT(CString(L"Abc").Compare(L"abc"), 0);
}

TEST(CStringTest, BuffersHandedToWin32AreTrimmedOnRelease) {
    CString name;
    const int written = GetWindowsDirectoryW(name.GetBuffer(MAX_PATH), MAX_PATH);
    name.ReleaseBuffer();
    EXPECT_EQ(name.GetLength(), written);
    EXPECT_EQ(name[1], L':');
    CString cut = L"abcdef";
    cut.GetBuffer(3);
    cut.ReleaseBuffer(2);
    EXPECT_EQ(cut, L"ab");
}

TEST(CStringTest, StringResourcesAndTheAnsiCodePage) {
    CString about;
    EXPECT_TRUE(about.LoadString(IDS_ABOUT_PROBE));
    EXPECT_EQ(about, L"&About probe...");
    CString none = L"was";
    EXPECT_FALSE(none.LoadString(999));
    EXPECT_TRUE(none.IsEmpty());

    EXPECT_EQ(WideToAnsi(L"config.ini"), "config.ini");
    EXPECT_EQ(AnsiToWide("workpath"), L"workpath");
    EXPECT_EQ(CString("narrow"), L"narrow");
    EXPECT_EQ(WideToAnsi(L""), "");
    EXPECT_EQ(AnsiToWide(nullptr), L"");
}

TEST(CArrayTest, AddInsertRemoveKeepOrder) {
    CArray<int, int> a;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a.Add(i * 10), i);
    a.InsertAt(2, 15);
    a.InsertAt(a.GetSize(), 99);  // at the end
    a.RemoveAt(0);
    a.RemoveAt(3, 2);
    ASSERT_EQ(a.GetSize(), 4);
    EXPECT_EQ(a[0], 10);
    EXPECT_EQ(a[1], 15);
    EXPECT_EQ(a[2], 20);
    EXPECT_EQ(a[3], 99);
    a.SetAt(1, 16);
    EXPECT_EQ(a.GetAt(1), 16);
    EXPECT_EQ(a.GetUpperBound(), 3);
    a.RemoveAll();
    EXPECT_TRUE(a.IsEmpty());
}

TEST(CArrayTest, StringAndTypedPointerArrays) {
    CStringArray names;
    names.Add(L"Cam A");
    names.Add(L"Talvoro Pelloquin");
    names.InsertAt(1, L"Cam B");
    EXPECT_EQ(names[2], L"Talvoro Pelloquin");

    int x = 1, y = 2;
    CTypedPtrArray<CPtrArray, int*> pointers;
    pointers.Add(&x);
    pointers.Add(&y);
    EXPECT_EQ(*pointers[1], 2);
    pointers.SetAt(0, &y);
    EXPECT_EQ(pointers.GetAt(0), &y);
    EXPECT_EQ(pointers.GetSize(), 2);
}

}  // namespace
