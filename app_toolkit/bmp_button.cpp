#include "app_toolkit/bmp_button.h"

#include "dialog_framework/device_context.h"

BOOL CBmpButton::LoadBitmaps(LPCWSTR mouseOver, LPCWSTR normal, LPCWSTR pressed, LPCWSTR disabled) {
    const LPCWSTR files[4] = {mouseOver, normal, pressed, disabled};
    int loaded = 0;
    for (int state = 0; state < 4; ++state)
        if (m_bitmaps[state].LoadFromFile(files[state])) ++loaded;
    if (loaded > 0 && m_hWnd) {
        // Without this the old picture would stay until the next paint or hover.
        m_drawnState = -1;
        Invalidate(FALSE);
    }
    if (loaded < 4) return FALSE;
    const CSize size = m_bitmaps[kMouseOver].GetSize();
    m_width = size.cx;
    m_height = size.cy;
    if (m_hWnd) SetWindowPos(nullptr, 0, 0, m_width, m_height, SWP_NOMOVE | SWP_NOZORDER);
    return TRUE;
}

void CBmpButton::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

void CBmpButton::DrawItem(DRAWITEMSTRUCT* item) {
    m_drawnState = -1;
    if (item->itemState & ODS_DISABLED)
        DrawState(kDisabled);
    else if (item->itemState & ODS_SELECTED)
        DrawState(kPressed);
    else
        DrawState(kNormal);
}

void CBmpButton::OnMouseMove(UINT flags, CPoint point) {
    CButton::OnMouseMove(flags, point);
    // While the button is held down it keeps showing the pressed picture.
    if (!(GetState() & BST_PUSHED)) DrawState(kMouseOver);
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_hWnd;
    track.dwHoverTime = HOVER_DEFAULT;
    TrackMouseEvent(&track);
}

void CBmpButton::OnMouseLeave() { DrawState(kNormal); }

void CBmpButton::OnKillFocus(HWND newFocus) {
    CButton::OnKillFocus(newFocus);
    DrawState(kNormal);
}

void CBmpButton::OnEnable(BOOL enabled) {
    CButton::OnEnable(enabled);
    DrawState(enabled ? kNormal : kDisabled);
}

BOOL CBmpButton::OnEraseBkgnd(HDC) { return TRUE; }

void CBmpButton::OnLButtonDblClk(UINT flags, CPoint point) {
    // A press, so the second click of a double click is a click as well.
    DefWindowProc(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
}

void CBmpButton::DrawState(int state) {
    if (state == m_drawnState || !m_bitmaps[state].GetSafeHandle()) return;
    CWindowDC window(m_hWnd);
    CDC memory;
    if (!memory.CreateCompatibleDC(window)) return;
    HGDIOBJ old = memory.SelectObject(m_bitmaps[state]);
    if (!old) return;
    window.BitBlt(0, 0, m_width, m_height, memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    m_drawnState = state;
}
