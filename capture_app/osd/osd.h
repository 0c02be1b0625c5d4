// COsd: a short status text floating over the owner's client area, where the
// live preview runs. The window covers the whole client area, but its region
// is only a plate the size of the text with the letters cut out of it: the
// video shows through the letters and all around the plate, and nothing is
// ever drawn into the video itself. It hides itself after its display time.
//
// The owner calls FollowOwnerSize from its WM_SIZE and FollowOwnerMove from
// its WM_MOVE; the display never watches the owner by itself.
#pragma once

#include <windows.h>

#include "dialog_framework/gdi_objects.h"
#include "dialog_framework/geometry.h"
#include "dialog_framework/window.h"

class COsd : public CWnd {
public:
    static constexpr UINT_PTR kHideTimer = 1;

    COsd();

    // A hidden popup owned by owner (so it stays above it and goes with it),
    // with an empty region until a text has been laid out.
    BOOL Create(HWND owner);

    // Sets the text and, unless it is empty or the owner is minimised, lays
    // it out anew; then shows the display without activating it and restarts
    // the hide timer. An empty text keeps the previous shape.
    void ShowOsdText(LPCWSTR text);

    // Fits the display onto the owner's client area, sizes the font from the
    // client height and shapes the window to the text's plate.
    virtual void LayoutOsd();

    // From the owner's WM_SIZE: a visible display is laid out again with its
    // current text; when the owner is minimised it is hidden instead.
    void FollowOwnerSize();
    // From the owner's WM_MOVE: keeps the display on the owner's client area
    // (same size and shape, no new layout).
    void FollowOwnerMove();

    // Styling. Height and weight of the font are recomputed at every layout.
    void SetTextFont(const LOGFONTW& font) { m_font = font; }
    const LOGFONTW& GetTextFont() const { return m_font; }
    void SetTextFormat(UINT drawTextFlags) { m_format = drawTextFlags; }
    UINT GetTextFormat() const { return m_format; }
    // Inset of the text rectangle from the owner's client area.
    void SetMargins(int left, int top, int right, int bottom) { m_margins.SetRect(left, top, right, bottom); }
    const CRect& GetMargins() const { return m_margins; }
    void SetPlateColour(COLORREF colour) { m_plateColour = colour; }
    COLORREF GetPlateColour() const { return m_plateColour; }
    // Milliseconds from a showing until the display hides; 0: never.
    void SetDisplayTime(int milliseconds) { m_displayTime = milliseconds; }
    int GetDisplayTime() const { return m_displayTime; }
    // Font height: percent of the client height, kept within minimum..maximum.
    void SetFontHeights(int minimum, int maximum, int percent);
    int GetMinFontHeight() const { return m_minFontHeight; }
    int GetMaxFontHeight() const { return m_maxFontHeight; }
    int GetFontHeightPercent() const { return m_fontHeightPercent; }

    // Bounding box of the last laid-out text in client co-ordinates (the
    // plate); empty before the first layout.
    const CRect& GetTextBox() const { return m_textBox; }
    HWND GetOsdOwner() const { return m_owner; }

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnTimer(UINT_PTR id) override;

private:
    // Moves and sizes the window onto the owner's client area (screen co-ordinates).
    void CoverOwnerClient(bool resize);
    // The plate region of the text in this window's client co-ordinates;
    // false when the text gives no outline.
    bool BuildPlate(const CString& text, const CRect& textRect, CRgn& plate, CRect& box);
    bool OwnerMinimised() const;

    LOGFONTW m_font{};
    UINT m_format = 0;
    CRect m_margins;
    COLORREF m_plateColour = RGB(0, 0, 138);
    int m_displayTime = 0;
    HWND m_owner = nullptr;
    int m_minFontHeight = 30;
    int m_maxFontHeight = 55;
    int m_fontHeightPercent = 8;
    CRect m_textBox;
};
