// CBmpButton: an owner-drawn push button showing one of four bitmap files:
// mouse over, normal, pressed and disabled. It follows the mouse itself, so
// the mouse-over picture comes and goes without a click, and draws straight
// onto its window at once instead of waiting for a repaint.
//
// Bind it to a template button (CDialog::BindControl), then LoadBitmaps. Its
// parent must be a framework window, which hands WM_DRAWITEM to DrawItem.
#pragma once

#include <windows.h>

#include "dialog_framework/controls.h"
#include "dialog_framework/gdi_objects.h"

class CBmpButton : public CButton {
public:
    enum State { kMouseOver = 0, kNormal = 1, kPressed = 2, kDisabled = 3 };

    // Each file that loads replaces its state's bitmap. TRUE only when all
    // four loaded; then the button takes the mouse-over bitmap's size (same
    // place, same z-order). A button is repainted with what it now holds.
    BOOL LoadBitmaps(LPCWSTR mouseOver, LPCWSTR normal, LPCWSTR pressed, LPCWSTR disabled);

protected:
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnMouseLeave() override;
    void OnKillFocus(HWND newFocus) override;
    void OnEnable(BOOL enabled) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;

private:
    // Copies the state's bitmap to the window's top-left corner unless it is
    // already shown there or not loaded.
    void DrawState(int state);

    CBitmap m_bitmaps[4];
    int m_width = 0;
    int m_height = 0;
    int m_drawnState = -1;  // -1: the next draw happens whatever it shows
};
