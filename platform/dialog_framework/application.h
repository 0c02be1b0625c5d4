// CWinApp: the program object. A program defines one global object of a
// class derived from CWinApp; WinMain (app_entry.cpp) then runs it through
// AfxWinMain: InitInstance, the message loop (Run) only when InitInstance
// returned TRUE, and ExitInstance in both cases, whose result is the exit code.
// A dialog program runs its main dialog modally inside InitInstance and
// returns FALSE.
#pragma once

#include <windows.h>

#include "dialog_framework/wide_string.h"

class CWnd;

class CWinApp {
public:
    // appName nullptr: the program file's name without its extension.
    explicit CWinApp(LPCWSTR appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return m_exitCode; }
    // Dispatches messages until WM_QUIT, then returns ExitInstance().
    virtual int Run();

    HICON LoadIcon(UINT id) const;
    // Kept for reference only; the programs store nothing in the registry.
    void SetRegistryKey(LPCWSTR key) { m_registryKey = key ? key : L""; }

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CString m_appName;
    CString m_registryKey;

protected:
    int m_exitCode = 0;  // wParam of WM_QUIT after Run
};

// The one CWinApp of the process, nullptr when none was constructed.
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Where dialog templates, strings, icons and menus are looked up.
HINSTANCE AfxGetResourceHandle();
LPCWSTR AfxGetAppName();

int AfxWinMain(HINSTANCE instance, int showCommand);

// A message box owned by the main window, captioned with the program's name.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK);
