#include "capture_app/snapory_app.h"

#include <windows.h>
#include <commctrl.h>

#include "app_toolkit/module_paths.h"
#include "capture_app/cam_manage.h"
#include "capture_app/snapory_dlg.h"
#include "capture_engine/korvel.h"

CSnaporyApp theApp;

CSnaporyApp::CSnaporyApp() : CWinApp(L"Snapory") {}

BOOL CSnaporyApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();

    const CString folder = GetModuleDir();
    g_CamManage.ReadConfig(folder + L"\\config.ini");
    g_CamManage.LoadResourceStrings(folder + L"\\Resource.ini");
    ::Graph_Initialize();
    // Kept for reference only: nothing is stored under it.
    SetRegistryKey(L"Local AppWizard-Generated Applications");

    CSnaporyDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

int CSnaporyApp::ExitInstance() {
    g_CamManage.WriteConfig(GetModuleDir() + L"\\config.ini");
    ::Graph_Uninitialize();
    return CWinApp::ExitInstance();
}
