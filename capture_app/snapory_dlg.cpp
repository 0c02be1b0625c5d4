#include "capture_app/snapory_dlg.h"

#include "app_toolkit/dialog_chrome.h"
#include "app_toolkit/module_paths.h"
#include "capture_app/cam_manage.h"
#include "capture_app/osd_host.h"
#include "capture_app/skin_layout.h"
#include "capture_app/video_sizes.h"
#include "capture_engine/korvel.h"
#include "dialog_framework/application.h"
#include "narrow_text/debug_text.h"

namespace {

// No caption and no border of its own: the skin draws the frame.
constexpr DWORD kMainWindowStyle = WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr wchar_t kVirtualDeviceName[] = L"Talvoro Pelloquin";

}  // namespace

CSnaporyDlg::CSnaporyDlg(CWnd* parent) : CDialog(IDD_SNAPORY_DIALOG, parent) {
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : nullptr;
    MapClicked(IDC_BTN_MIN, &CSnaporyDlg::OnBtnMin);
    MapClicked(IDC_BTN_CLOSE, &CSnaporyDlg::OnBtnClose);
    MapClicked(IDC_BTN_HELP, &CSnaporyDlg::OnBtnHelp);
    MapClicked(IDC_BTN_SNAP, &CSnaporyDlg::OnBtnSnap);
    MapClicked(IDC_BTN_RECORD, &CSnaporyDlg::OnBtnRecord);
    MapClicked(IDC_BTN_AUTOSNAP, &CSnaporyDlg::OnBtnAutoSnap);
    MapClicked(IDC_BTN_BROWSE, &CSnaporyDlg::OnBtnBrowse);
    MapClicked(IDC_BTN_SETUP, &CSnaporyDlg::OnBtnSetup);
    MapClicked(IDC_BTN_EFFECT, &CSnaporyDlg::OnBtnEffect);
    MapClicked(IDC_BTN_POPUP, &CSnaporyDlg::OnBtnPopup);
    MapClicked(IDC_BTN_LOGO, &CSnaporyDlg::OnBtnLogo);
    MapCommand(IDC_COMBO_SIZE, CBN_SELCHANGE, &CSnaporyDlg::OnSelchangeSizeCombo);
}

CSnaporyDlg::~CSnaporyDlg() { DestroyStatusDisplays(m_osdList); }

BOOL CSnaporyDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::AppendAboutItem(*this, IDS_ABOUTBOX, IDM_ABOUTBOX);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, kMainWindowStyle);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_strSkinDir = GetModuleDir() + L"\\Skin";
    SetWindowText(L"Snapory!");

    BindButtons();
    LoadButtonSkins();
    PlaceInitialButtons();
    CreateToolTips();

    if (g_CamManage.GetAudioDevices().GetSize() > 0) g_CamManage.SelectAudioDevice(0);
    if (g_CamManage.GetVideoDevices().GetSize() == 0) return TRUE;  // no camera: skin only

    StartDevice(0);
    CreateOsds();
    FillSizeCombo();
    PollPeerWindow();
    // Minimised and shown again: brings the window to the front.
    ShowWindow(SW_MINIMIZE);
    ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}

void CSnaporyDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CDialog about(IDD_ABOUTBOX, this);
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

HCURSOR CSnaporyDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

BOOL CSnaporyDlg::OnEraseBkgnd(HDC) { return TRUE; }

BOOL CSnaporyDlg::OnHelpInfo(HELPINFO*) { return TRUE; }

void CSnaporyDlg::StartDevice(int index) {
    SendDebugText("Rendevice begin!");
    m_nCurDevice = index;
    g_CamManage.OpenVideoDevice(index);
    AttachPreview();
    m_bPreviewing = TRUE;
    ::RunGraph();
    // Every device has its own sizes: the list must not keep the last one's.
    if (m_comboSize.GetSafeHwnd()) FillSizeCombo();
    SendDebugText("Rendevice compelete!");
}

void CSnaporyDlg::AttachPreview() {
    ::SetPlayWindow(m_hWnd);
    const CRect preview = GetPreviewRect();
    ::SetWindowPosition(&preview);
}

CRect CSnaporyDlg::GetPreviewRect() const {
    CRect client;
    GetClientRect(&client);
    const LayoutRect r = PreviewRect({client.left, client.top, client.right, client.bottom});
    return CRect(r.left, r.top, r.right, r.bottom);
}

void CSnaporyDlg::FillSizeCombo() {
    m_comboSize.ResetContent();
    const int count = static_cast<int>(g_CamManage.m_sizes.GetSize());
    for (int i = 0; i < count; ++i) m_comboSize.AddString(SizeComboText(g_CamManage.m_sizes[i]).c_str());
    const tag_VideoSize largest = LargestSizePair(g_CamManage.m_sizes.GetData(), static_cast<size_t>(count));
    g_CamManage.m_nMaxWidth = largest.width;
    g_CamManage.m_nMaxHeight = largest.height;
    m_comboSize.SetCurSel(g_CamManage.m_nCurSizeIndex);

    const CStringArray& devices = g_CamManage.GetVideoDevices();
    for (INT_PTR i = 0; i < devices.GetSize(); ++i) {
        if (devices[i] == kVirtualDeviceName) m_nVirtualDevice = static_cast<int>(i);
    }
}

void CSnaporyDlg::OnSelchangeSizeCombo() {
    const int selected = m_comboSize.GetCurSel();
    const tag_VideoSize* size = g_CamManage.SizeAt(selected);
    if (!size) return;  // nothing selected: no entry of the list to apply
    if (selected != g_CamManage.m_nCurSizeIndex) g_CamManage.SelectVideoSize(selected);
    GetDlgItem(IDC_BTN_RECORD).EnableWindow(RecordingOffered(*size));
}

void CSnaporyDlg::OnLButtonDown(UINT, CPoint point) {
    m_bMoving = TRUE;
    DragByCaption(MAKELPARAM(point.x, point.y));
}

void CSnaporyDlg::OnLButtonUp(UINT, CPoint) { m_bMoving = FALSE; }

void CSnaporyDlg::OnLButtonDblClk(UINT, CPoint) {
    if (!m_bPreviewing) return;
    ShowWindow(IsZoomed() ? SW_RESTORE : SW_MAXIMIZE);
    Invalidate();
}

void CSnaporyDlg::DragByCaption(LPARAM point) { PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, point); }

void CSnaporyDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    const CRect preview = GetPreviewRect();
    ::SetWindowPosition(&preview);

    CRect window;
    GetWindowRect(&window);
    CRgn region;
    region.CreateRoundRectRgn(3, 3, window.Width() - 2, window.Height() - 2, 17, 12);
    SetWindowRgn(region, TRUE);
    Invalidate();

    for (INT_PTR i = 0; i < m_osdList.GetSize(); ++i) OsdFollowOwnerSize(m_osdList[i]);
    Invalidate();
    if (m_hPeer) NotifyPeerPosition(false);
}

void CSnaporyDlg::OnMove(int x, int y) {
    CDialog::OnMove(x, y);
    for (INT_PTR i = 0; i < m_osdList.GetSize(); ++i) OsdFollowOwnerMove(m_osdList[i]);
    m_hPeer = FindPeerWindow();
    if (m_bMoving && m_hPeer) NotifyPeerPosition(true);
}

LRESULT CSnaporyDlg::OnNcHitTest(CPoint screenPoint) {
    CRect window;
    GetWindowRect(&window);
    switch (HitTestResizeZone({window.left, window.top, window.right, window.bottom}, {screenPoint.x, screenPoint.y})) {
    case ResizeZone::kBottomRight:
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENWSE));
        return HTBOTTOMRIGHT;
    case ResizeZone::kRight:
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
        return HTRIGHT;
    case ResizeZone::kBottom:
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));
        return HTBOTTOM;
    case ResizeZone::kNone: break;
    }
    return CDialog::OnNcHitTest(screenPoint);
}

void CSnaporyDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = kMinTrackWidth;
    info->ptMinTrackSize.y = kMinTrackHeight;
}

void CSnaporyDlg::OnTimer(UINT_PTR id) {
    switch (id) {
    case kTimerSelfTimer: SelfTimerFire(); break;
    case kTimerCountdown: CountdownTick(); break;
    case kTimerRecording: RecordingTick(); break;
    case kTimerPeerPoll: PollPeerWindow(); break;
    default: CDialog::OnTimer(id); break;
    }
}

void CSnaporyDlg::OnClose() { EndDialog(IDCANCEL); }

void CSnaporyDlg::OnBtnMin() { ShowWindow(SW_MINIMIZE); }

void CSnaporyDlg::OnBtnClose() { SendMessage(WM_CLOSE); }

void CSnaporyDlg::OnBtnLogo() { DragByCaption(0); }
