// The shell's open-file dialog and folder browser, answered through the harness.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "dialog_framework/framework.h"
#include "testing/window_harness/window_harness.h"

namespace {

CString ScratchPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    CString path;
    path.Format(L"%s%s_%lu", temp, name, GetCurrentProcessId());
    return path;
}

// The newest visible dialog window of this process with the title.
HWND WaitForDialog(const wchar_t* title) { return harness::FindTopLevelWindow(title, 5000, GetCurrentProcessId()); }

TEST(CommonDialogs, TheOpenFileDialogReturnsTheChosenPath) {
    const CString file = ScratchPath(L"open_me") + L".bmp";
    CloseHandle(CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       L"(*.swf;*.gif;*.bmp)|*.swf;*.gif;*.bmp|");
    harness::UiThread thread([&] { return dialog.DoModal(); });
    HWND box = WaitForDialog(L"Open");
    ASSERT_NE(box, nullptr);
    // The file name field is an edit inside the combo box cmb13 of the
    // explorer-style dialog (edt1 in the old style).
    HWND name = harness::FindControl(box, cmb13);
    name = name ? harness::FindDescendantOfClass(name, L"Edit") : harness::FindControl(box, edt1);
    if (!name) PostMessageW(box, WM_CLOSE, 0, 0);
    ASSERT_NE(name, nullptr);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.GetString()));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    INT_PTR result = 0;
    ASSERT_TRUE(thread.Join(10000, &result));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.GetPathName().CompareNoCase(file), 0) << dialog.GetPathName().GetString();
    EXPECT_EQ(dialog.GetFileName().CompareNoCase(file.Mid(file.ReverseFind(L'\\') + 1)), 0);
    DeleteFileW(file);
}

TEST(CommonDialogs, TheFolderBrowserStartsAtThePreselectedFolder) {
    const CString folder = ScratchPath(L"browse_here");
    CreateDirectoryW(folder, nullptr);
    CString chosen;
    bool picked = false;
    harness::UiThread thread([&] {
        OleInitialize(nullptr);
        picked = BrowseForFolder(nullptr, L"Select derectory as workarea...",
                                 BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_EDITBOX | BIF_NEWDIALOGSTYLE, folder, &chosen);
        OleUninitialize();
        return INT_PTR(0);
    });
    HWND box = nullptr;
    ASSERT_TRUE(harness::WaitUntil([&] {
        box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr);
        while (box) {
            DWORD process = 0;
            GetWindowThreadProcessId(box, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(box)) return true;
            box = FindWindowExW(nullptr, box, L"#32770", nullptr);
        }
        return false;
    }, 5000));
    // The preselection is made once the browser has initialised; its edit box
    // then shows the folder's name.
    const std::wstring leaf = folder.Mid(folder.ReverseFind(L'\\') + 1).str();
    EXPECT_TRUE(harness::WaitUntil([&] {
        return harness::ReadText(harness::FindDescendantOfClass(box, L"Edit")) == leaf;
    }, 5000)) << harness::ReadText(harness::FindDescendantOfClass(box, L"Edit"));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    ASSERT_TRUE(thread.Join(10000));
    EXPECT_TRUE(picked);
    EXPECT_EQ(chosen.CompareNoCase(folder), 0) << chosen.GetString();
    RemoveDirectoryW(folder);
}

}  // namespace
