#include "webcam_app/orvane_app.h"

#include <windows.h>
#include <commctrl.h>

#include "webcam_app/chose_dev_dlg.h"
#include "webcam_app/orvane_dlg.h"
#include "webcam_engine/lumivox.h"

namespace {
constexpr wchar_t kInstanceMutex[] = L"Lumivox";
constexpr wchar_t kDeviceInUse[] = L"当前选择的设备被占用了，请先关闭相关程序再尝试！";
}  // namespace

COrvaneApp theApp;

COrvaneApp::COrvaneApp() : CWinApp(L"Orvane") {}

BOOL COrvaneApp::InitInstance() {
    // The capture application starts us with " /s"; the command line means nothing.
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    ::InitCommonControlsEx(&controls);

    m_hMutex = ::CreateMutexW(nullptr, FALSE, kInstanceMutex);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(m_hMutex);
        m_hMutex = nullptr;
        return FALSE;
    }
    CWinApp::InitInstance();
    // Kept for reference only: nothing is stored under it.
    SetRegistryKey(L"Local AppWizard-Generated Applications");

    ::Initialize_Lumivox();
    CChoseDevDlg chooser;
    chooser.DoModal();
    if (!::RenderDevice(chooser.m_nDevice)) {
        ::MessageBoxW(nullptr, kDeviceInUse, m_appName, MB_OK | MB_ICONSTOP);
        ::ExitProcess(0);
    }
    tag_VideoSize size{320, 240};
    ::SetVideoSize(&size);

    COrvaneDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    ::Unintialize_Lumivox();
    return FALSE;
}
