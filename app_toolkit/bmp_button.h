// CBmpButton: an owner-drawn push button showing one of four bitmap files:
// mouse over, normal, pressed and disabled. It follows the mouse itself, so
// the mouse-over picture comes and goes without a click, and draws straight
// onto its window at once instead of waiting for a repaint.
//
// Bind it to a template button (CDialog::BindControl), then LoadBitmaps. Its
// parent must be a framework window, which hands WM_DRAWITEM to DrawItem.
// Other kinds of bitmap button derive from CStateBitmapButton, as CBmpButton
// does.
#pragma once

#include <windows.h>

#include "dialog_framework/controls.h"
#include "dialog_framework/gdi_objects.h"

// The four state bitmaps of an owner-drawn bitmap button (CBmpButton, and
// the programs' own kinds), drawn straight onto the button's window.
class CButtonBitmaps {
public:
    // Each file that loads replaces its state's bitmap, and a button with a
    // window is repainted with what it now holds. TRUE only when all four
    // loaded; then the button takes the first bitmap's size (same place,
    // same z-order).
    BOOL Load(CWindow& button, const LPCWSTR (&files)[4]);
    // Copies the state's bitmap to the window's top-left corner unless it is
    // already shown there or not loaded; true when it drew.
    bool Draw(HWND button, int state);
    // The next Draw happens whatever the window shows.
    void Forget() { m_drawnState = -1; }
    // The state a WM_DRAWITEM asks for: 3 disabled, 2 pressed, 1 normal.
    static int ItemState(const DRAWITEMSTRUCT& item);

private:
    CBitmap m_bitmaps[4];
    int m_width = 0;
    int m_height = 0;
    int m_drawnState = -1;  // -1: the next draw happens whatever it shows
};

// Asks for WM_MOUSELEAVE when the mouse leaves the window.
void TrackMouseLeave(HWND window);

// What every bitmap button does alike: owner-drawn, the normal picture when
// the mouse leaves or the focus goes, the disabled one while disabled, no
// background erase. The kinds choose which picture the mouse and a press
// bring, through DrawState.
class CStateBitmapButton : public CButton {
public:
    enum State { kMouseOver = 0, kNormal = 1, kPressed = 2, kDisabled = 3 };

    // Each file that loads replaces its state's bitmap. TRUE only when all
    // four loaded; then the button takes the mouse-over bitmap's size (same
    // place, same z-order). A button is repainted with what it now holds.
    BOOL LoadBitmaps(LPCWSTR mouseOver, LPCWSTR normal, LPCWSTR pressed, LPCWSTR disabled) {
        return m_bitmaps.Load(*this, {mouseOver, normal, pressed, disabled});
    }

protected:
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    void OnMouseLeave() override;
    void OnKillFocus(HWND newFocus) override;
    void OnEnable(BOOL enabled) override;
    BOOL OnEraseBkgnd(HDC dc) override;

    // Shows the state's bitmap unless it is already shown or not loaded.
    virtual void DrawState(int state) { m_bitmaps.Draw(m_hWnd, state); }

    CButtonBitmaps m_bitmaps;
};

class CBmpButton : public CStateBitmapButton {
protected:
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
};
