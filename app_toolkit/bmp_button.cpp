#include "app_toolkit/bmp_button.h"

#include "dialog_framework/device_context.h"

BOOL CButtonBitmaps::Load(CWindow& button, const LPCWSTR (&files)[4]) {
    int loaded = 0;
    for (int state = 0; state < 4; ++state)
        if (m_bitmaps[state].LoadFromFile(files[state])) ++loaded;
    if (loaded > 0 && button.m_hWnd) {
        // Without this the old picture would stay until the next paint or hover.
        m_drawnState = -1;
        button.Invalidate(FALSE);
    }
    if (loaded < 4) return FALSE;
    const CSize size = m_bitmaps[0].GetSize();
    m_width = size.cx;
    m_height = size.cy;
    if (button.m_hWnd) button.SetWindowPos(nullptr, 0, 0, m_width, m_height, SWP_NOMOVE | SWP_NOZORDER);
    return TRUE;
}

bool CButtonBitmaps::Draw(HWND button, int state) {
    if (state == m_drawnState || !m_bitmaps[state].GetSafeHandle()) return false;
    CWindowDC window(button);
    CDC memory;
    if (!memory.CreateCompatibleDC(window)) return false;
    HGDIOBJ old = memory.SelectObject(m_bitmaps[state]);
    if (!old) return false;
    window.BitBlt(0, 0, m_width, m_height, memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    m_drawnState = state;
    return true;
}

int CButtonBitmaps::ItemState(const DRAWITEMSTRUCT& item) {
    if (item.itemState & ODS_DISABLED) return 3;
    if (item.itemState & ODS_SELECTED) return 2;
    return 1;
}

void TrackMouseLeave(HWND window) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    track.dwHoverTime = HOVER_DEFAULT;
    ::TrackMouseEvent(&track);
}

void CStateBitmapButton::PreSubclassWindow() {
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

void CStateBitmapButton::DrawItem(DRAWITEMSTRUCT* item) {
    m_bitmaps.Forget();
    DrawState(CButtonBitmaps::ItemState(*item));
}

void CStateBitmapButton::OnMouseLeave() { DrawState(kNormal); }

void CStateBitmapButton::OnKillFocus(HWND newFocus) {
    CButton::OnKillFocus(newFocus);
    DrawState(kNormal);
}

void CStateBitmapButton::OnEnable(BOOL enabled) {
    CButton::OnEnable(enabled);
    DrawState(enabled ? kNormal : kDisabled);
}

BOOL CStateBitmapButton::OnEraseBkgnd(HDC) { return TRUE; }

void CBmpButton::OnMouseMove(UINT flags, CPoint point) {
    CButton::OnMouseMove(flags, point);
    // While the button is held down it keeps showing the pressed picture.
    if (!(GetState() & BST_PUSHED)) DrawState(kMouseOver);
    TrackMouseLeave(m_hWnd);
}

void CBmpButton::OnLButtonDblClk(UINT flags, CPoint point) {
    // A press, so the second click of a double click is a click as well.
    DefWindowProc(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
}
