#include "dialog_framework/application.h"

#include "dialog_framework/window.h"

namespace {

CWinApp* g_app = nullptr;

CString ProgramName() {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString name(path);
    name = name.Mid(name.ReverseFind(L'\\') + 1);
    const int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

CWinApp::CWinApp(LPCWSTR appName) : m_appName(appName ? CString(appName) : ProgramName()) {
    m_hInstance = ::GetModuleHandleW(nullptr);
    if (!g_app) g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) break;
        // A modeless main dialog still gets Tab, Enter and Escape.
        HWND main = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
        if (main && ::IsDialogMessageW(main, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_exitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
    return ExitInstance();
}

HICON CWinApp::LoadIcon(UINT id) const { return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id)); }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() { return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleW(nullptr); }

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

LPCWSTR AfxGetAppName() {
    if (g_app) return g_app->m_appName;
    static const CString name = ProgramName();
    return name;
}

int AfxWinMain(HINSTANCE instance, int showCommand) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_nCmdShow = showCommand;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->IsWindow()) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

int AfxMessageBox(LPCWSTR text, UINT type) {
    HWND owner = nullptr;
    if (CWnd* main = AfxGetMainWnd(); main && main->IsWindow() &&
        ::GetWindowThreadProcessId(*main, nullptr) == ::GetCurrentThreadId())
        owner = main->GetSafeHwnd();
    if (!owner) owner = ::GetActiveWindow();
    return ::MessageBoxW(owner, text, AfxGetAppName(), type);
}
