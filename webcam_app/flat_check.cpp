#include "webcam_app/flat_check.h"

#include <windowsx.h>

#include "dialog_framework/device_context.h"
#include "webcam_app/resource.h"

namespace {
// One press at a time among all flat check buttons: a release counts only
// on the button the press started on.
bool g_flatCheckPressed = false;
}  // namespace

BOOL CFlatCheck::LoadBitmaps(LPCWSTR hover, LPCWSTR normal, LPCWSTR checked, LPCWSTR disabled) {
    const LPCWSTR files[4] = {hover, normal, checked, disabled};
    int loaded = 0;
    for (int state = 0; state < 4; ++state)
        if (m_bitmaps[state].LoadFromFile(files[state])) ++loaded;
    if (loaded > 0 && m_hWnd) {
        m_drawnState = -1;
        Invalidate(FALSE);
    }
    if (loaded < 4) return FALSE;
    const CSize size = m_bitmaps[kHover].GetSize();
    m_width = size.cx;
    m_height = size.cy;
    if (m_hWnd) SetWindowPos(nullptr, 0, 0, m_width, m_height, SWP_NOMOVE | SWP_NOZORDER);
    return TRUE;
}

void CFlatCheck::SetCheckMode(bool on) {
    if (m_checkMode == on) return;
    m_checkMode = on;
    if (m_hWnd) Invalidate(FALSE);
}

void CFlatCheck::SetChecked(bool checked) {
    if (m_checked == checked) return;
    m_checked = checked;
    if (m_hWnd) Invalidate(FALSE);
}

void CFlatCheck::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

void CFlatCheck::DrawItem(DRAWITEMSTRUCT* item) {
    m_drawnState = -1;
    if (item->itemState & ODS_DISABLED)
        DrawState(kDisabled);
    else if (item->itemState & ODS_SELECTED)
        DrawState(kChecked);
    else
        DrawState(kNormal);
}

LRESULT CFlatCheck::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
    if (message == WM_LBUTTONDOWN) {
        g_flatCheckPressed = true;
        m_pressed = true;
    } else if (message == WM_LBUTTONUP) {
        if (g_flatCheckPressed && m_checkMode) {
            g_flatCheckPressed = false;
            CRect client;
            GetClientRect(&client);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (::PtInRect(&client, at)) m_checked = !m_checked;
        }
        m_pressed = false;
    }
    return CButton::DefWindowProc(message, wParam, lParam);
}

void CFlatCheck::OnMouseMove(UINT flags, CPoint point) {
    CButton::OnMouseMove(flags, point);
    if (!m_pressed && !m_checked) DrawState(kHover);
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_hWnd;
    ::TrackMouseEvent(&track);
}

void CFlatCheck::OnMouseLeave() { DrawState(kNormal); }

void CFlatCheck::OnKillFocus(HWND newFocus) {
    CButton::OnKillFocus(newFocus);
    DrawState(kNormal);
}

void CFlatCheck::OnEnable(BOOL enabled) {
    CButton::OnEnable(enabled);
    DrawState(enabled ? kNormal : kDisabled);
}

BOOL CFlatCheck::OnEraseBkgnd(HDC) { return TRUE; }

void CFlatCheck::OnLButtonDown(UINT flags, CPoint point) {
    (void)flags;
    (void)point;
    TellParent(true);
    Default();
}

void CFlatCheck::OnLButtonUp(UINT flags, CPoint point) {
    (void)flags;
    (void)point;
    TellParent(false);
    Default();
}

void CFlatCheck::TellParent(bool press) {
    ::SendMessageW(::GetParent(m_hWnd), WM_FLATCHECK_PRESS, static_cast<WPARAM>(GetDlgCtrlID()), press ? 1 : 0);
}

void CFlatCheck::DrawState(int state) {
    if (m_checkMode && m_checked && state == kNormal) state = kChecked;
    if (state == m_drawnState || !m_bitmaps[state].GetSafeHandle()) return;
    CWindowDC window(m_hWnd);
    CDC memory;
    if (!memory.CreateCompatibleDC(window)) return;
    HGDIOBJ old = memory.SelectObject(m_bitmaps[state]);
    if (!old) return;
    window.BitBlt(0, 0, m_width, m_height, memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);

    const CString caption = GetWindowText();
    if (!caption.IsEmpty()) {
        window.SetBkMode(TRANSPARENT);
        window.SetTextColor(m_captionColour);
        CRect client;
        GetClientRect(&client);
        window.DrawText(caption, caption.GetLength(), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    m_drawnState = state;
}
