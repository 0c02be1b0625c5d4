// CFlatCheck: the panel's owner-drawn tab and toggle button. Four bitmap
// files (hover, normal, pressed/checked, disabled) as CBmpButton has, and a
// check mode in which a release inside the button flips its checked look.
// It tells its parent of every press and release (WM_FLATCHECK_PRESS).
#pragma once

#include <windows.h>

#include "dialog_framework/controls.h"
#include "dialog_framework/gdi_objects.h"

class CFlatCheck : public CButton {
public:
    enum State { kHover = 0, kNormal = 1, kChecked = 2, kDisabled = 3 };

    // Each file that loads replaces its slot; TRUE only when all four
    // loaded, and only then the button takes the hover bitmap's size.
    BOOL LoadBitmaps(LPCWSTR hover, LPCWSTR normal, LPCWSTR checked, LPCWSTR disabled);

    void SetCheckMode(bool on);
    void SetChecked(bool checked);
    bool IsChecked() const { return m_checked; }

protected:
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnMouseLeave() override;
    void OnKillFocus(HWND newFocus) override;
    void OnEnable(BOOL enabled) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;

private:
    void DrawState(int state);
    void TellParent(bool press);

    CBitmap m_bitmaps[4];
    int m_width = 0;
    int m_height = 0;
    int m_drawnState = -1;
    bool m_checkMode = false;
    bool m_checked = false;
    bool m_pressed = false;
    COLORREF m_captionColour = RGB(255, 255, 255);
};
