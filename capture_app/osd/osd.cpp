#include "capture_app/osd/osd.h"

#include "capture_app/osd/glyph_mask_region.h"
#include "capture_app/osd/osd_metrics.h"
#include "dialog_framework/device_context.h"

namespace {

osd::Box ToBox(const RECT& r) { return osd::Box{r.left, r.top, r.right, r.bottom}; }
CRect ToRect(const osd::Box& b) { return CRect(b.left, b.top, b.right, b.bottom); }

}  // namespace

COsd::COsd() = default;

BOOL COsd::Create(HWND owner) {
    // A popup, not a child: it must float above the video window, which is a
    // child of the owner, and the owner's region must not clip it.
    if (!CreateEx(0, nullptr, nullptr, WS_POPUP, 0, 0, 0, 0, owner)) return FALSE;
    m_owner = owner;
    CRgn nothing;
    if (nothing.CreateRectRgn(0, 0, 0, 0)) SetWindowRgn(nothing, FALSE);
    return TRUE;
}

void COsd::SetFontHeights(int minimum, int maximum, int percent) {
    m_minFontHeight = minimum;
    m_maxFontHeight = maximum;
    m_fontHeightPercent = percent;
}

bool COsd::OwnerMinimised() const { return m_owner && ::IsIconic(m_owner); }

void COsd::ShowOsdText(LPCWSTR text) {
    if (!m_hWnd) return;
    SetWindowText(text ? text : L"");
    if (text && *text && !OwnerMinimised()) {
        m_textBox.SetRectEmpty();
        LayoutOsd();
    }
    // A minimised owner has nowhere to show the text; it would float alone.
    if (!m_owner || !::IsWindowVisible(m_owner) || OwnerMinimised()) return;
    ShowWindow(SW_SHOWNOACTIVATE);
    if (m_displayTime > 0) {
        KillTimer(kHideTimer);
        SetTimer(kHideTimer, static_cast<UINT>(m_displayTime));
    }
}

void COsd::CoverOwnerClient(bool resize) {
    if (!m_owner) return;
    CRect client;
    ::GetClientRect(m_owner, &client);
    ::MapWindowPoints(m_owner, nullptr, reinterpret_cast<POINT*>(&client), 2);
    SetWindowPos(nullptr, client.left, client.top, client.Width(), client.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | (resize ? 0 : SWP_NOSIZE));
}

void COsd::LayoutOsd() {
    if (!m_hWnd || !m_owner) return;
    const CString text = GetWindowText();
    CoverOwnerClient(true);
    CRect client;
    GetClientRect(&client);
    if (text.IsEmpty()) {
        // No text, no plate: an unshaped window would hide the whole picture.
        CRgn nothing;
        if (nothing.CreateRectRgn(0, 0, 0, 0)) SetWindowRgn(nothing, TRUE);
        m_textBox.SetRectEmpty();
        return;
    }
    const CRect textRect = ToRect(osd::TextRect(ToBox(client), ToBox(m_margins)));
    CRgn plate;
    CRect box;
    if (!BuildPlate(text, textRect, plate, box)) return;  // keeps the previous shape
    if (SetWindowRgn(plate, TRUE)) m_textBox = box;
}

bool COsd::BuildPlate(const CString& text, const CRect& textRect, CRgn& plate, CRect& box) {
    LOGFONTW font = m_font;
    CRect client;
    ::GetClientRect(m_owner, &client);
    font.lfHeight = osd::FontHeightFor(client.Height(), m_minFontHeight, m_maxFontHeight, m_fontHeightPercent);
    font.lfWeight = 0;
    CFont textFont;
    if (!textFont.CreateFontIndirect(font)) return false;

    CClientDC dc(m_hWnd);
    const HGDIOBJ oldFont = dc.SelectObject(textFont);
    CRect drawRect = textRect;
    dc.SetBkMode(TRANSPARENT);
    dc.BeginPath();
    dc.DrawText(text, text.GetLength(), &drawRect, m_format);
    dc.EndPath();
    CRgn glyphs;
    bool shaped = false;
    if (glyphs.CreateFromPath(dc) && glyphs.GetRgnBox(&box) != NULLREGION) {
        // The plate is the glyphs' box with the letters cut out of it.
        shaped = plate.CreateRectRgnIndirect(box) && plate.CombineRgn(plate, glyphs, RGN_XOR) != ERROR;
    } else {
        // Fonts without outlines draw nothing into a path: cut the plate
        // from the drawn pixels instead.
        shaped = GlyphMaskPlate(dc, text, textRect, m_format, plate, box);
    }
    dc.SelectObject(oldFont);
    return shaped;
}

void COsd::FollowOwnerSize() {
    if (!m_hWnd || !IsWindowVisible()) return;
    if (OwnerMinimised()) {
        ShowWindow(SW_HIDE);
        KillTimer(kHideTimer);
        return;
    }
    LayoutOsd();
}

void COsd::FollowOwnerMove() {
    if (m_hWnd) CoverOwnerClient(false);
}

void COsd::OnPaint() {
    CPaintDC dc(m_hWnd);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, m_plateColour);
}

BOOL COsd::OnEraseBkgnd(HDC dc) {
    (void)dc;
    return TRUE;  // OnPaint covers everything
}

void COsd::OnTimer(UINT_PTR id) {
    if (id == kHideTimer) {
        ShowWindow(SW_HIDE);
        KillTimer(kHideTimer);
    }
    Default();
}
