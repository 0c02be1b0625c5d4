// The panel's own frame: every piece is a bitmap file of the current skin,
// read at each repaint, drawn off-screen and copied in one go around the
// list area, which the frame never touches. The scroll bar at the right edge
// is drawn and driven here too; its position (0..100) scrolls the lists and
// the effect panel.
#include "webcam_app/orvane_dlg.h"

#include "app_toolkit/dialog_chrome.h"
#include "app_toolkit/module_paths.h"
#include "webcam_app/orvane_rules.h"

namespace {

constexpr int kWindowWidth = 190;
constexpr int kMinWindowHeight = 282;
constexpr int kTrackPiece = 7;  // height of the track's pieces

struct ButtonSkin {
    int id;
    const wchar_t* stem;
    bool flat;  // CFlatCheck: the hover picture stands for checked as well
};

const ButtonSkin kButtonSkins[] = {
    {IDC_TAB_PICTURE, L"\\PictureFrame", true}, {IDC_TAB_MAGIC, L"\\MagicFrame", true},
    {IDC_TAB_EFFECT, L"\\Effect", true},        {IDC_BTN_CLOSE, L"\\Close", false},
    {IDC_BTN_ADD, L"\\+", false},               {IDC_BTN_SUB, L"\\-", false},
    {IDC_BTN_TOPMOST, L"\\TopMost", true},      {IDC_BTN_SKIN, L"\\Skin", false},
    {IDC_BTN_ON, L"\\ON", true},
};

}  // namespace

CString COrvaneDlg::SkinPath(LPCWSTR file) const { return m_strSkinDir + file; }

void COrvaneDlg::BuildSkinPaths() {
    m_strSkinDir = GetModuleDir() + orvane::SkinFolder(m_nSkin);
    m_strTrackTop = SkinPath(L"\\TermTop.bmp");
    m_strTrackBottom = SkinPath(L"\\TermBottom.BMP");
    m_strThumb = SkinPath(L"\\play_progress_s.bmp");
    m_strThumbHover = SkinPath(L"\\play_progress_i.bmp");
    m_strThumbOver = SkinPath(L"\\play_progress_o.bmp");
}

void COrvaneDlg::LoadButtonSkins() {
    for (const ButtonSkin& skin : kButtonSkins) {
        const CString stem = SkinPath(skin.stem);
        CWnd* control = CWnd::FromHandlePermanent(GetDlgItem(skin.id));
        if (!control) continue;
        if (skin.flat) {
            auto* button = static_cast<CFlatCheck*>(control);
            button->LoadBitmaps(stem + L"H.BMP", stem + L"U.BMP", stem + L"H.BMP", stem + L"X.BMP");
            button->SetCheckMode(true);
            button->SetWindowText(L"");
        } else {
            static_cast<CBmpButton*>(control)->LoadBitmaps(stem + L"H.BMP", stem + L"U.BMP", stem + L"D.BMP",
                                                            stem + L"X.BMP");
        }
    }
}

int COrvaneDlg::ClientWidth() const {
    CRect client;
    GetClientRect(&client);
    return client.Width();
}

int COrvaneDlg::ClientHeight() const {
    CRect client;
    GetClientRect(&client);
    return client.Height();
}

void COrvaneDlg::LayoutControls(int w, int h) {
    const struct { int id, x, y; } places[] = {
        {IDC_TAB_PICTURE, 0, 35},   {IDC_TAB_MAGIC, 0, 88},       {IDC_TAB_EFFECT, 0, 141},
        {IDC_BTN_CLOSE, 163, 2},    {IDC_BTN_ADD, 7, h - 42},     {IDC_BTN_SUB, 45, h - 42},
        {IDC_BTN_TOPMOST, 87, h - 37}, {IDC_BTN_SKIN, 115, h - 39}, {IDC_BTN_ON, 144, h - 45},
    };
    for (const auto& p : places)
        GetDlgItem(p.id).SetWindowPos(nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_effectHolder.SetWindowPos(nullptr, orvane::kListLeft, orvane::kListTop, w - 53, orvane::ListHeight(h),
                                SWP_NOZORDER | SWP_NOACTIVATE);
}

void COrvaneDlg::DrawPiece(CDC& target, LPCWSTR file, int x, int y, int w, int h) {
    TilePiece(target, file, x, y, y + 1, 1, w, h);
}

// The piece at x and at every step down from y while above yEnd, its file
// read once for all of them.
void COrvaneDlg::TilePiece(CDC& target, LPCWSTR file, int x, int y, int yEnd, int step, int w, int h) {
    CBitmap bitmap;
    if (!bitmap.LoadFromFile(file)) return;
    const CSize size = bitmap.GetSize();
    CDC memory;
    if (!memory.CreateCompatibleDC(target)) return;
    HGDIOBJ old = memory.SelectObject(bitmap);
    for (; y < yEnd; y += step) target.BitBlt(x, y, w < 0 ? size.cx : w, h < 0 ? size.cy : h, memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
}

void COrvaneDlg::PaintFrame(CDC& target, int w, int h) {
    static const wchar_t* const kTabMarks[3] = {L"\\PictureFrameH.BMP", L"\\MagicFrameH.BMP", L"\\EffectH.BMP"};
    DrawPiece(target, SkinPath(L"\\Top.BMP"), 0, 0, 183, 41);
    DrawPiece(target, SkinPath(L"\\LeftTop.BMP"), 0, 35, 36, 160);
    TilePiece(target, SkinPath(L"\\Left.BMP"), 0, 195, h - 77, 2, 36, 2);
    TilePiece(target, SkinPath(L"\\Right.BMP"), w - 17, 41, h - 74, 2, 17, 2);
    DrawPiece(target, SkinPath(L"\\Bottom.BMP"), 0, h - 77, 183, 77);
    if (m_nTab >= 0 && m_nTab <= 2) DrawPiece(target, SkinPath(kTabMarks[m_nTab]), 0, 35 + 53 * m_nTab, 36, 52);
    if (m_bTopMost) DrawPiece(target, SkinPath(L"\\TopMost-H.BMP"), 87, h - 36, 20, 22);
    if (m_bOn) DrawPiece(target, SkinPath(L"\\ONH.BMP"), 144, h - 45, 31, 33);
    TilePiece(target, SkinPath(L"\\TermTop.BMP"), w - 13, 41, m_nThumbY, kTrackPiece);
}

void COrvaneDlg::OnPaint() {
    if (PaintMinimisedIcon(*this, m_hIcon)) return;
    {
        CPaintDC dc(m_hWnd);
        CRect client;
        GetClientRect(&client);
        const int w = client.Width(), h = client.Height();
        LayoutControls(w, h);

        CDC memory;
        CBitmap canvas;
        if (memory.CreateCompatibleDC(dc) && canvas.CreateCompatibleBitmap(dc, w, h)) {
            HGDIOBJ old = memory.SelectObject(canvas);
            PaintFrame(memory, w, h);
            CRgn outside, list;
            outside.CreateRectRgn(0, 0, w, h);
            list.CreateRectRgn(orvane::kListLeft, orvane::kListTop, w - 17, orvane::TrackBottom(h));
            outside.CombineRgn(outside, list, RGN_DIFF);
            dc.SelectClipRgn(outside);
            dc.BitBlt(0, 0, w, h, memory, 0, 0, SRCCOPY);
            dc.SelectClipRgn(nullptr);
            memory.SelectObject(old);
        }
    }
    DrawThumb(m_strThumb);
    if (m_nTab == 0 || m_nTab == 1) DrawListAndMarks();
}

BOOL COrvaneDlg::OnEraseBkgnd(HDC) { return TRUE; }

void COrvaneDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    const int h = ClientHeight();
    const int w = ClientWidth();
    m_rcTrack = CRect(w - 13, orvane::kListTop, w - 4, orvane::TrackBottom(h));
    m_nThumbY = orvane::ThumbOfPercent(h, m_nScrollPercent);
    if (m_nTab == 2 && m_pEffectPanel) {
        m_effectHolder.ShowWindow(SW_SHOW);
        PlaceEffectPanel();
    }
    CRect window;
    GetWindowRect(&window);
    CRgn region;
    region.CreateRoundRectRgn(3, 3, window.Width() - 2, window.Height() - 2, 17, 12);
    SetWindowRgn(region, TRUE);
    Invalidate(FALSE);
}

void COrvaneDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = kWindowWidth;
    info->ptMinTrackSize.y = kMinWindowHeight;
    info->ptMaxTrackSize.x = kWindowWidth;
}

LRESULT COrvaneDlg::OnNcHitTest(CPoint screenPoint) {
    CRect window;
    GetWindowRect(&window);
    switch (orvane::HitTestZone(window.left, window.top, window.right, window.bottom, screenPoint.x, screenPoint.y)) {
    case orvane::HitZone::kBottom: return HTBOTTOM;
    case orvane::HitZone::kCaption: return HTCAPTION;
    case orvane::HitZone::kNone: break;
    }
    return CDialog::OnNcHitTest(screenPoint);
}

void COrvaneDlg::DrawThumb(LPCWSTR path) {
    CClientDC dc(m_hWnd);
    DrawPiece(dc, path, m_rcTrack.left, m_nThumbY);
}

// The whole track column: filled above the thumb, empty below it.
void COrvaneDlg::RepaintTrack(int oldY, int newY) {
    (void)oldY;
    CClientDC dc(m_hWnd);
    CRgn track;
    track.CreateRectRgnIndirect(m_rcTrack);
    dc.SelectClipRgn(track);
    TilePiece(dc, m_strTrackTop, m_rcTrack.left, m_rcTrack.top, newY, kTrackPiece);
    TilePiece(dc, m_strTrackBottom, m_rcTrack.left, newY + orvane::kThumbHeight, m_rcTrack.bottom, kTrackPiece);
    dc.SelectClipRgn(nullptr);
}

void COrvaneDlg::MoveThumbTo(int y) {
    const int newY = orvane::ClampThumb(y, m_rcTrack.bottom);
    RepaintTrack(m_nThumbY, newY);
    m_nThumbY = newY;
}

void COrvaneDlg::ScrollChanged() {
    m_nScrollPercent = orvane::PercentOfThumb(m_nThumbY, m_rcTrack.bottom);
}

void COrvaneDlg::OnLButtonDown(UINT, CPoint point) {
    ::SetCapture(m_hWnd);
    if (::PtInRect(&m_rcTrack, point)) {
        DrawThumb(m_strThumbOver);
        MoveThumbTo(point.y - 8);
        DrawThumb(m_strThumbHover);
        m_bThumbDrag = true;
    } else {
        m_ptPress = point;
        m_bWindowDrag = true;
    }
}

void COrvaneDlg::OnMouseMove(UINT, CPoint point) {
    if (m_bWindowDrag) {
        if (IsZoomed()) return;
        CRect window;
        GetWindowRect(&window);
        SetWindowPos(nullptr, window.left + point.x - m_ptPress.x, window.top + point.y - m_ptPress.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        m_bDocked = false;
        return;
    }
    if (m_bThumbDrag) {
        MoveThumbTo(point.y - 8);
        DrawThumb(m_strThumb);
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        ScrollChanged();
        if (m_nTab == 0 || m_nTab == 1) DrawListAndMarks();
        return;
    }
    const CRect thumb(m_rcTrack.left, m_nThumbY, m_rcTrack.right, m_nThumbY + orvane::kThumbHeight);
    if (::PtInRect(&thumb, point)) {
        if (!m_bOverThumb) DrawThumb(m_strThumbHover);
        m_bOverThumb = true;
        m_bOverTrack = false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    } else if (::PtInRect(&m_rcTrack, point)) {
        if (!m_bOverTrack) DrawThumb(m_strThumbOver);
        m_bOverTrack = true;
        m_bOverThumb = false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    } else {
        m_bOverThumb = m_bOverTrack = false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    }
}

BOOL COrvaneDlg::OnMouseWheel(UINT, short delta, CPoint) {
    MoveThumbTo(m_nThumbY + (delta < 0 ? 3 : -3));
    DrawThumb(m_strThumb);
    ScrollChanged();
    if (m_nTab == 2)
        PlaceEffectPanel();
    else
        DrawListAndMarks();
    return TRUE;
}

void COrvaneDlg::OnLButtonUp(UINT, CPoint point) {
    ::ReleaseCapture();
    m_bThumbDrag = m_bWindowDrag = false;
    DrawThumb(m_strThumbHover);
    ScrollChanged();
    if (m_nTab == 0 || m_nTab == 1) DrawList();
    ClickAt(point);
}

void COrvaneDlg::OnLButtonDblClk(UINT, CPoint) { ApplySelection(); }
