#include "dialog_framework/window_handle.h"

#include "dialog_framework/application.h"

void CWindow::GetWindowText(CString& text) const {
    const int length = GetWindowTextLength();
    const int got = ::GetWindowTextW(m_hWnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer(got > 0 ? got : 0);
}

int CWindow::SetWindowRgn(CRgn& rgn, BOOL redraw) {
    const int result = ::SetWindowRgn(m_hWnd, rgn, redraw);
    if (result) rgn.Detach();
    return result;
}

CWindow CWindow::GetOwner() const {
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    return CWindow(owner ? owner : ::GetParent(m_hWnd));
}

int CWindow::MessageBox(LPCWSTR text, LPCWSTR caption, UINT type) const {
    return ::MessageBoxW(m_hWnd, text, caption ? caption : AfxGetAppName(), type);
}

BOOL CWindow::Modify(int index, DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD old = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, index));
    const DWORD changed = (old & ~remove) | add;
    if (changed == old) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, index, static_cast<LONG_PTR>(changed));
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | swpFlags);
    return TRUE;
}
