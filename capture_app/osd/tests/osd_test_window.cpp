#include "capture_app/osd/tests/osd_test_window.h"

#include "dialog_framework/device_context.h"
#include "testing/window_harness/waiting.h"

BOOL COsdTestOwner::Create(int x, int y, int width, int height, bool visible) {
    const DWORD style = WS_POPUP | WS_MINIMIZEBOX | (visible ? WS_VISIBLE : 0);
    return CreateEx(0, nullptr, L"OSD owner", style, x, y, width, height, nullptr);
}

void COsdTestOwner::OnPaint() {
    CPaintDC dc(m_hWnd);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, kPicture);
}

BOOL COsdTestOwner::OnEraseBkgnd(HDC dc) {
    (void)dc;
    return TRUE;
}

void COsdTestOwner::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    for (COsd* display : m_displays) display->FollowOwnerSize();
}

void COsdTestOwner::OnMove(int x, int y) {
    CWnd::OnMove(x, y);
    for (COsd* display : m_displays) display->FollowOwnerMove();
}

