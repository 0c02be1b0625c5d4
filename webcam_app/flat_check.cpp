#include "webcam_app/flat_check.h"

#include <windowsx.h>

#include "dialog_framework/device_context.h"
#include "webcam_app/resource.h"

namespace {
// One press at a time among all flat check buttons: a release counts only
// on the button the press started on.
bool g_flatCheckPressed = false;
}  // namespace

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
    TrackMouseLeave(m_hWnd);
}

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
    if (!m_bitmaps.Draw(m_hWnd, state)) return;
    const CString caption = GetWindowText();
    if (!caption.IsEmpty()) {
        CWindowDC window(m_hWnd);
        window.SetBkMode(TRANSPARENT);
        window.SetTextColor(m_captionColour);
        CRect client;
        GetClientRect(&client);
        window.DrawText(caption, caption.GetLength(), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}
