// The main dialog inside the test's own process, where its tooltip control
// can be asked for its tools' texts (tooltip messages do not cross processes).
#include <gtest/gtest.h>

#include "capture_app/cam_manage.h"
#include "capture_app/resource.h"
#include "capture_app/snapory_dlg.h"
#include "capture_app/tests/snapory_install.h"
#include "capture_engine/korvel.h"
#include "dialog_framework/controls.h"

namespace {

using harness::WaitUntil;

struct ToolText {
    int id;
    const wchar_t* text;  // as snapory_install.cpp writes Resource.ini
};
const ToolText kTips[] = {
    {IDC_BTN_HELP, L"Help"},           {IDC_BTN_MIN, L"Minimise"},      {IDC_BTN_CLOSE, L"Close"},
    {IDC_BTN_EFFECT, L"Effects"},      {IDC_BTN_BROWSE, L"Open the folder"}, {IDC_BTN_RECORD, L"Record a video"},
    {IDC_BTN_SNAP, L"Take a picture"}, {IDC_BTN_AUTOSNAP, L"Self-timer"}, {IDC_BTN_SETUP, L"Settings"},
    {IDC_BTN_POPUP, L"Panel"},
};

BOOL CALLBACK FindToolTipProc(HWND w, LPARAM out) {
    wchar_t cls[64] = L"";
    GetClassNameW(w, cls, 64);
    if (lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
    *reinterpret_cast<HWND*>(out) = w;
    return FALSE;
}

HWND FindToolTip(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(threadId, FindToolTipProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs the dialog on its own thread (which owns the engine, as the program's
// UI thread does) and hands each tool's text to check.
void RunDialogAndReadTips(const std::function<void(HWND dialog, CToolTipCtrl& tips)>& check) {
    harness::UiThread ui([] {
        Graph_Initialize();
        CSnaporyDlg dlg;
        const INT_PTR result = dlg.DoModal();
        Graph_Uninitialize();
        return result;
    });
    HWND dialog = harness::FindTopLevelWindow(L"Snapory!", 20000, GetCurrentProcessId());
    ASSERT_NE(dialog, nullptr);
    CToolTipCtrl tips;
    tips.Attach(FindToolTip(ui.ThreadId()));
    ASSERT_NE(tips.GetSafeHwnd(), nullptr) << "no tooltip control";
    EXPECT_EQ(tips.GetToolCount(), 10);
    check(dialog, tips);
    tips.Detach();
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ui.Join(10000));
}

TEST(SnaporyDialogInProcess, ToolTipsCarryTheResourceTexts) {
    snapory_test::SnaporyInstall install(L"snapory-inprocess");
    install.WriteResourceIni();
    g_CamManage.LoadResourceStrings((install.Folder() + L"\\Resource.ini").c_str());
    RunDialogAndReadTips([](HWND dialog, CToolTipCtrl& tips) {
        for (const ToolText& tip : kTips) {
            EXPECT_EQ(tips.GetToolText(dialog, reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, tip.id))), tip.text)
                << "control " << tip.id;
        }
    });
}

TEST(SnaporyDialogInProcess, WithoutResourceTextsTheToolTipsAreEmpty) {
    for (CString& text : g_CamManage.m_texts) text.Empty();
    RunDialogAndReadTips([](HWND dialog, CToolTipCtrl& tips) {
        for (const ToolText& tip : kTips)
            EXPECT_EQ(tips.GetToolText(dialog, reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, tip.id))), L"");
    });
}

}  // namespace
