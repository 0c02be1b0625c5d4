// "+" and "-" on Orvane's panel: copying a file into "Frames" through the
// open-file dialog (a name already there gives the message; an upper-case
// extension is copied but not listed) and deleting the selected frame.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

#include "webcam_app/resource.h"
#include "webcam_app/tests/orvane_install.h"

namespace {

using namespace orvane_test;
using harness::WaitUntil;

constexpr wchar_t kExists[] = L"要添加的文件已经存在了！";
constexpr wchar_t kAskDelete[] = L"删除后以后将无法使用这个效果了，确定要删除这个特效吗？";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Presses "+" and picks the file in the open-file dialog by typing its path.
void AddThroughDialog(OrvaneInstall& orvane, const std::wstring& path) {
    orvane.Click(IDC_BTN_ADD);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        dialog = harness::FindTopLevelWindow(L"Open", 0, orvane.Process().Id());
        return dialog != nullptr;
    }, 10000)) << "no open-file dialog";
    HWND name = harness::FindControl(dialog, 1148);  // the file name box
    if (name) name = harness::FindDescendantOfClass(name, L"Edit");
    if (!name) name = harness::FindControl(dialog, 1152);
    ASSERT_NE(name, nullptr);
    ASSERT_TRUE(harness::TypeText(name, path));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000));
}

TEST(OrvaneFrameFiles, PlusCopiesListsByExtensionAndMinusAsksAndDeletes) {
    OrvaneInstall orvane(L"orvane-add-delete");
    // Files to add, outside the program's folder.
    const std::wstring outside = orvane.Folder() + L"-sources";
    CreateDirectoryW(outside.c_str(), nullptr);
    const std::wstring frames = orvane.Folder() + L"\\Frames";
    ASSERT_TRUE(CopyFileW((frames + L"\\sun.gif").c_str(), (outside + L"\\extra.gif").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((frames + L"\\sun.gif").c_str(), (outside + L"\\LOUD.GIF").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((frames + L"\\sun.gif").c_str(), (outside + L"\\sun.gif").c_str(), FALSE));
    ASSERT_TRUE(orvane.Start(L"Talvoro Test Camera"));

    // A name already in the folder: the message, nothing copied.
    AddThroughDialog(orvane, outside + L"\\sun.gif");
    harness::MessageBoxInfo box = harness::WaitForMessageBox(10000, orvane.Process().Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, kExists);
    harness::AnswerMessageBox(box.window, IDOK);

    // extra.gif joins the animated list after the four GIFs (so its thumbnail
    // is made when the list shows); LOUD.GIF is copied but not listed.
    AddThroughDialog(orvane, outside + L"\\extra.gif");
    AddThroughDialog(orvane, outside + L"\\LOUD.GIF");
    // The copy follows the dialog's closing.
    EXPECT_TRUE(WaitUntil([&] { return Exists(frames + L"\\extra.gif"); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return Exists(frames + L"\\LOUD.GIF"); }, 5000));
    EXPECT_EQ(harness::WaitForMessageBox(500, orvane.Process().Id()).window, nullptr);
    orvane.Click(IDC_TAB_MAGIC);
    EXPECT_TRUE(WaitUntil([&] { return Exists(frames + L"\\Temp\\extra.bmp"); }, 10000)) << "extra.gif is not listed";
    EXPECT_FALSE(Exists(frames + L"\\Temp\\LOUD.bmp"));

    // "-" on the selected animated frame (the fifth: extra.gif) asks, and No keeps it.
    POINT entry{100, 41 + 4 * 90 + 45};
    ClientToScreen(orvane.Window(), &entry);
    harness::MoveMouseTo(entry);
    harness::PressLeftButton();
    harness::ReleaseLeftButton();
    orvane.Click(IDC_BTN_SUB);
    box = harness::WaitForMessageBox(10000, orvane.Process().Id());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, kAskDelete);
    harness::AnswerMessageBox(box.window, IDNO);
    Sleep(500);
    EXPECT_TRUE(Exists(frames + L"\\extra.gif"));
    // Yes deletes the file and its thumbnail.
    orvane.Click(IDC_BTN_SUB);
    box = harness::WaitForMessageBox(10000, orvane.Process().Id());
    ASSERT_NE(box.window, nullptr);
    harness::AnswerMessageBox(box.window, IDYES);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(frames + L"\\extra.gif"); }, 5000));
    EXPECT_FALSE(Exists(frames + L"\\Temp\\extra.bmp"));
    EXPECT_TRUE(Exists(frames + L"\\sun.gif"));
    EXPECT_TRUE(orvane.Close());

    SHFILEOPSTRUCTW op{};
    const std::wstring from = outside + L'\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&op);
}

}  // namespace
