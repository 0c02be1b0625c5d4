// The probe dialog as a program of its own, run through CWinApp, for tests
// that drive a separate process. The exit code is 1000 + the dialog's result.
#include <windows.h>
#include <commctrl.h>

#include "platform/dialog_framework/tests/probe/probe_dialog.h"

class CProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        CProbeDlg dialog;
        m_pMainWnd = &dialog;
        m_result = dialog.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
    int ExitInstance() override { return 1000 + static_cast<int>(m_result); }

private:
    INT_PTR m_result = -1;
};

CProbeApp theApp;
