// CFlatCheck: the panel's owner-drawn tab and toggle button. Four bitmap
// files (hover, normal, pressed/checked, disabled) as CBmpButton has, and a
// check mode in which a release inside the button flips its checked look.
// It tells its parent of every press and release (WM_FLATCHECK_PRESS).
#pragma once

#include <windows.h>

#include "app_toolkit/bmp_button.h"
#include "dialog_framework/controls.h"

class CFlatCheck : public CStateBitmapButton {
public:
    enum State { kHover = 0, kNormal = 1, kChecked = 2, kDisabled = 3 };

    void SetCheckMode(bool on);
    void SetChecked(bool checked);
    bool IsChecked() const { return m_checked; }

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;

    // In check mode a checked button shows its checked picture for normal,
    // with the caption (if any) over the bitmap.
    void DrawState(int state) override;

private:
    void TellParent(bool press);

    bool m_checkMode = false;
    bool m_checked = false;
    bool m_pressed = false;
    COLORREF m_captionColour = RGB(255, 255, 255);
};
