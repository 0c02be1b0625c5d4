#include "dialog_framework/dialog.h"

#include "dialog_framework/application.h"

INT_PTR CDialog::DoModal() {
    return ::DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_templateId), OwnerWindow(), DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    if (m_hWnd) return FALSE;
    m_templateId = templateId;
    m_parent = parent;
    HWND hwnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(templateId), OwnerWindow(), DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!hwnd) return FALSE;
    m_ownsWindow = true;
    return TRUE;
}

// Without a parent a dialog belongs to the program's main window, when that
// window lives on this thread.
HWND CDialog::OwnerWindow() const {
    if (m_parent) return m_parent->GetSafeHwnd();
    CWnd* main = AfxGetMainWnd();
    if (!main || main == this || !main->IsWindow()) return nullptr;
    return ::GetWindowThreadProcessId(*main, nullptr) == ::GetCurrentThreadId() ? main->GetSafeHwnd() : nullptr;
}

// The dialog procedure only hands the window over: at WM_INITDIALOG the
// object takes the window's own procedure, and from then on the system's
// dialog procedure (reached through Default) calls this one only to hear that
// nothing more is to be done.
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG || FromHandlePermanent(hwnd)) return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    if (!dialog->SubclassWindow(hwnd)) return FALSE;
    return dialog->Dispatch(WM_INITDIALOG, wParam, lParam);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnCommand(UINT notifyCode, UINT id, HWND control) {
    if (CWnd::OnCommand(notifyCode, id, control)) return TRUE;
    if (notifyCode > 1) return FALSE;  // only buttons, menus and accelerators
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}
