// The main dialog's skin: button bitmaps and tooltips, the painted frame and
// the placement of the controls for the window's size.
#include "capture_app/snapory_dlg.h"

#include "app_toolkit/dialog_chrome.h"
#include "capture_app/cam_manage.h"
#include "capture_app/osd_host.h"
#include "capture_app/skin_layout.h"

namespace {

struct ButtonSkin {
    int id;
    const wchar_t* name;  // skin file stem
    TextSlot tip;
};

const ButtonSkin kButtonSkins[] = {
    {IDC_BTN_HELP, L"Help", kTipHelp},         {IDC_BTN_MIN, L"Min", kTipMin},
    {IDC_BTN_CLOSE, L"Close", kTipClose},      {IDC_BTN_EFFECT, L"Effect", kTipEffect},
    {IDC_BTN_BROWSE, L"Browse", kTipBrowse},   {IDC_BTN_RECORD, L"Record", kTipRecord},
    {IDC_BTN_SNAP, L"Snap", kTipSnap},         {IDC_BTN_AUTOSNAP, L"AutoSnap", kTipAutoSnap},
    {IDC_BTN_SETUP, L"Setup", kTipSetup},      {IDC_BTN_POPUP, L"Popup", kTipPopup},
};

}  // namespace

const wchar_t* CSnaporyDlg::ButtonSkinName(int controlId) {
    for (const ButtonSkin& skin : kButtonSkins) {
        if (skin.id == controlId) return skin.name;
    }
    return nullptr;
}

void CSnaporyDlg::BindButtons() {
    const struct { int id; CWnd* control; } controls[] = {
        {IDC_BTN_MIN, &m_btnMin},         {IDC_BTN_HELP, &m_btnHelp},     {IDC_BTN_CLOSE, &m_btnClose},
        {IDC_BTN_POPUP, &m_btnPopup},     {IDC_BTN_SNAP, &m_btnSnap},     {IDC_BTN_RECORD, &m_btnRecord},
        {IDC_BTN_BROWSE, &m_btnBrowse},   {IDC_BTN_EFFECT, &m_btnEffect}, {IDC_BTN_SETUP, &m_btnSetup},
        {IDC_BTN_AUTOSNAP, &m_btnAutoSnap}, {IDC_BTN_LOGO, &m_btnLogo},   {IDC_COMBO_SIZE, &m_comboSize},
    };
    for (const auto& c : controls) BindControl(c.id, *c.control);
}

void CSnaporyDlg::LoadButtonSkins() {
    for (const ButtonSkin& skin : kButtonSkins) {
        auto* button = static_cast<CBmpButton*>(CWnd::FromHandlePermanent(GetDlgItem(skin.id)));
        if (!button) continue;
        const CString stem = m_strSkinDir + L"\\" + skin.name;
        button->LoadBitmaps(stem + L"H.BMP", stem + L"U.BMP", stem + L"D.BMP", stem + L"X.BMP");
    }
}

void CSnaporyDlg::PlaceInitialButtons() {
    for (const ControlPlacement& place : InitialButtonPlacements()) {
        GetDlgItem(place.id).SetWindowPos(nullptr, place.position.x, place.position.y, 0, 0,
                                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A combo box's window height is its dropped-down height: keep that one.
    CRect dropped;
    m_comboSize.SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    m_comboSize.SetWindowPos(nullptr, 0, 0, kSizeComboWidth, dropped.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSnaporyDlg::CreateToolTips() {
    m_toolTip.Create(this);
    for (const ButtonSkin& skin : kButtonSkins) m_toolTip.AddButtonTool(skin.id, g_CamManage.GetText(skin.tip));
    m_toolTip.Activate(TRUE);
}

void CSnaporyDlg::OnPaint() {
    if (PaintMinimisedIcon(*this, m_hIcon)) return;
    {
        CClientDC dc(m_hWnd);
        PaintSkin(dc);
    }
    CDialog::OnPaint();
}

void CSnaporyDlg::LayoutButtons(const CRect& client) {
    const bool narrow = IsNarrowBar({client.left, client.top, client.right, client.bottom});
    for (const ControlPlacement& place : ButtonPlacements({client.left, client.top, client.right, client.bottom})) {
        GetDlgItem(place.id).SetWindowPos(HWND_TOP, place.position.x, place.position.y, 0, 0,
                                           SWP_NOSIZE | SWP_NOACTIVATE);
    }
    GetDlgItem(IDC_BTN_BROWSE).ShowWindow(narrow ? SW_HIDE : SW_SHOW);
    GetDlgItem(IDC_BTN_SETUP).ShowWindow(narrow ? SW_HIDE : SW_SHOW);
}

void CSnaporyDlg::PaintSkin(CDC& windowDc) {
    GetClientRect(&m_clientRect);
    m_nCenterX = m_clientRect.right / 2;
    LayoutButtons(m_clientRect);

    m_memDc.CreateCompatibleDC(windowDc);
    m_scratchBitmap.CreateCompatibleBitmap(windowDc, m_clientRect.Width(), m_clientRect.Height());
    HGDIOBJ oldBitmap = m_memDc.SelectObject(m_scratchBitmap.GetSafeHandle());
    const LayoutRect client{m_clientRect.left, m_clientRect.top, m_clientRect.right, m_clientRect.bottom};
    for (const SkinPiece& piece : FramePieces(client)) {
        DrawSkinPiece(m_memDc, piece.file, piece.x, piece.y, piece.width, piece.height, piece.start, piece.end,
                      piece.vertical);
    }

    const CRect preview = GetPreviewRect();
    CRgn clip, hole;
    clip.CreateRectRgnIndirect(m_clientRect);
    hole.CreateRectRgnIndirect(preview);
    clip.CombineRgn(clip, hole, RGN_DIFF);
    windowDc.SelectClipRgn(clip);
    ExcludeControls(windowDc);
    windowDc.BitBlt(0, 0, m_clientRect.Width(), m_clientRect.Height(), m_memDc, 0, 0, SRCCOPY);
    windowDc.SelectClipRgn(nullptr);

    m_memDc.SelectObject(oldBitmap);
    m_scratchBitmap.DeleteObject();
    m_memDc.DeleteDC();
}

// The window has no WS_CLIPCHILDREN: without this the frame would be copied
// over the buttons, which only draw on their own events.
void CSnaporyDlg::ExcludeControls(CDC& dc) {
    for (int id : {IDC_BTN_MIN, IDC_BTN_HELP, IDC_BTN_CLOSE, IDC_BTN_POPUP, IDC_BTN_SNAP, IDC_BTN_RECORD,
                   IDC_BTN_BROWSE, IDC_BTN_EFFECT, IDC_BTN_SETUP, IDC_BTN_AUTOSNAP, IDC_COMBO_SIZE}) {
        CWindow control = GetDlgItem(id);
        if (!control.IsWindowVisible()) continue;
        CRect r;
        control.GetWindowRect(&r);
        ScreenToClient(&r);
        ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
}

void CSnaporyDlg::DrawSkinPiece(CDC& memDc, const wchar_t* file, int x, int y, int width, int height, int start,
                                int end, bool vertical) {
    CBitmap piece;
    if (!piece.LoadFromFile(m_strSkinDir + file)) return;  // a missing piece leaves its area unpainted
    m_scratchDc.CreateCompatibleDC(memDc);
    HGDIOBJ old = m_scratchDc.SelectObject(piece.GetSafeHandle());
    memDc.SetStretchBltMode(COLORONCOLOR);
    const SkinPiece blocks{file, x, y, width, height, start, end, vertical};
    for (const LayoutPoint& at : PieceBlocks(blocks)) memDc.BitBlt(at.x, at.y, width, height, m_scratchDc, 0, 0, SRCCOPY);
    m_scratchDc.SelectObject(old);
    m_scratchDc.DeleteDC();
}

void CSnaporyDlg::CreateOsds() { CreateStatusDisplays(m_osdList, m_hWnd); }
