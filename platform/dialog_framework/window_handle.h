// CWindow: a window handle with thin wrappers around the USER calls dialog
// code makes. It owns nothing and routes no messages (CWnd does that), so it
// is passed around by value, e.g. as the result of GetDlgItem.
#pragma once

#include <windows.h>

#include "dialog_framework/geometry.h"
#include "dialog_framework/gdi_objects.h"
#include "dialog_framework/menu.h"
#include "dialog_framework/wide_string.h"

class CWindow {
public:
    CWindow(HWND hwnd = nullptr) : m_hWnd(hwnd) {}

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL IsChild(HWND other) const { return ::IsChild(m_hWnd, other); }

    void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void GetWindowText(CString& text) const;
    CString GetWindowText() const { CString t; GetWindowText(t); return t; }

    void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
    void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(RECT* r) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(r), 2); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(RECT* r) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2); }
    BOOL MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) { return ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
    BOOL MoveWindow(const RECT& r, BOOL repaint = TRUE) {
        return MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int w, int h, UINT flags) {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, w, h, flags);
    }

    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    // The system owns the region once set; rgn is emptied then.
    int SetWindowRgn(CRgn& rgn, BOOL redraw);

    CWindow GetDlgItem(int id) const { return CWindow(::GetDlgItem(m_hWnd, id)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetDlgItemText(int id, LPCWSTR text) { ::SetDlgItemTextW(m_hWnd, id, text); }
    void GetDlgItemText(int id, CString& text) const { GetDlgItem(id).GetWindowText(text); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    BOOL CheckDlgButton(int id, UINT check) { return ::CheckDlgButton(m_hWnd, id, check); }
    BOOL CheckRadioButton(int first, int last, int checked) { return ::CheckRadioButton(m_hWnd, first, last, checked); }

    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(m_hWnd, msg, w, l); }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hWnd, msg, w, l); }

    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs) { return ::SetTimer(m_hWnd, id, elapseMs, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    // swpFlags non-zero also lets the frame catch up (SetWindowPos with SWP_FRAMECHANGED).
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) { return Modify(GWL_STYLE, remove, add, swpFlags); }
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) { return Modify(GWL_EXSTYLE, remove, add, swpFlags); }

    HICON SetIcon(HICON icon, BOOL big) {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    CMenu GetSystemMenu(BOOL revert) const { return CMenu(::GetSystemMenu(m_hWnd, revert)); }

    CWindow GetParent() const { return CWindow(::GetParent(m_hWnd)); }
    CWindow SetParent(HWND parent) { return CWindow(::SetParent(m_hWnd, parent)); }
    // The owner of a popup, else the parent.
    CWindow GetOwner() const;
    CWindow SetFocus() { return CWindow(::SetFocus(m_hWnd)); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }

    // caption nullptr: the program's name.
    int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = MB_OK) const;

    HWND m_hWnd;

private:
    BOOL Modify(int index, DWORD remove, DWORD add, UINT swpFlags);
};
