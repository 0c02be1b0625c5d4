#include "webcam_app/orvane_dlg.h"

#include "app_toolkit/dialog_chrome.h"
#include "app_toolkit/module_paths.h"
#include "webcam_app/effect_set_dlg.h"
#include "webcam_app/orvane_rules.h"
#include "webcam_app/orvane_texts.h"
#include "webcam_engine/lumivox.h"

namespace {

constexpr wchar_t kTitle[] = L"VemraZolt";
constexpr wchar_t kHelpPage[] = L"\\Help\\VemraZolt功能介绍.htm";
// No caption and no border of its own: the skin draws the whole frame.
constexpr DWORD kMainWindowStyle = WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
constexpr UINT kTrayIconId = IDR_MAINFRAME;

}  // namespace

COrvaneDlg::COrvaneDlg(CWnd* parent) : CDialog(IDD_ORVANE_DIALOG, parent), m_nSkin(orvane::g_nStoredSkin) {
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : nullptr;
    BuildSkinPaths();
    MapClicked(IDC_TAB_PICTURE, &COrvaneDlg::OnTabPicture);
    MapClicked(IDC_TAB_MAGIC, &COrvaneDlg::OnTabMagic);
    MapClicked(IDC_TAB_EFFECT, &COrvaneDlg::OnTabEffect);
    MapClicked(IDC_BTN_CLOSE, &COrvaneDlg::OnBtnClose);
    MapClicked(IDC_BTN_ADD, &COrvaneDlg::OnBtnAdd);
    MapClicked(IDC_BTN_SUB, &COrvaneDlg::OnBtnSub);
    MapClicked(IDC_BTN_ON, &COrvaneDlg::OnBtnOn);
    MapClicked(IDC_BTN_SKIN, &COrvaneDlg::OnBtnSkin);
    MapClicked(IDC_BTN_TOPMOST, &COrvaneDlg::OnBtnTopMost);
    MapMessage(WM_TRAY_NOTIFY, &COrvaneDlg::OnTrayNotify);
    MapMessage(WM_PEER_POSITION, &COrvaneDlg::OnPeerPosition);
    MapMessage(WM_PEER_EFFECT, &COrvaneDlg::OnPeerEffect);
    MapMessage(WM_PEER_POPUP, &COrvaneDlg::OnPeerPopup);
}

COrvaneDlg::~COrvaneDlg() { delete m_pEffectPanel; }

BOOL COrvaneDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::AppendAboutItem(*this, IDS_ABOUTBOX, IDM_ABOUTBOX);
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, kMainWindowStyle | (GetStyle() & WS_VISIBLE));
    // Sized again so that the size limits apply to the template's size too:
    // the window was made before this object received its messages.
    CRect window;
    GetWindowRect(&window);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.Width(), window.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    AddTrayIcon();
    SetWindowText(kTitle);

    const struct { int id; CWnd* control; } controls[] = {
        {IDC_TAB_PICTURE, &m_tabPicture}, {IDC_TAB_MAGIC, &m_tabMagic}, {IDC_TAB_EFFECT, &m_tabEffect},
        {IDC_BTN_CLOSE, &m_btnClose},     {IDC_BTN_ADD, &m_btnAdd},     {IDC_BTN_SUB, &m_btnSub},
        {IDC_BTN_ON, &m_btnOn},           {IDC_BTN_SKIN, &m_btnSkin},   {IDC_BTN_TOPMOST, &m_btnTopMost},
        {IDC_EFFECT_HOLDER, &m_effectHolder},
    };
    for (const auto& c : controls) BindControl(c.id, *c.control);
    LoadButtonSkins();
    const struct { int id, x, y; } places[] = {
        {IDC_TAB_PICTURE, 0, 35}, {IDC_TAB_MAGIC, 0, 88},  {IDC_TAB_EFFECT, 0, 141}, {IDC_BTN_CLOSE, 163, 2},
        {IDC_BTN_ADD, 7, 571},    {IDC_BTN_SUB, 45, 571},  {IDC_BTN_TOPMOST, 87, 576}, {IDC_BTN_SKIN, 115, 574},
        {IDC_BTN_ON, 144, 568},
    };
    for (const auto& p : places)
        GetDlgItem(p.id).SetWindowPos(nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    CreateToolTips();
    ScanFrames();
    m_tabPicture.SetChecked(true);
    return TRUE;
}

void COrvaneDlg::AddTrayIcon() {
    m_tray = NOTIFYICONDATAW{};
    m_tray.cbSize = sizeof m_tray;
    m_tray.hWnd = m_hWnd;
    m_tray.uID = kTrayIconId;
    m_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_tray.uCallbackMessage = WM_TRAY_NOTIFY;
    m_tray.hIcon = m_hIcon;
    lstrcpynW(m_tray.szTip, kTitle, ARRAYSIZE(m_tray.szTip));
    ::Shell_NotifyIconW(NIM_ADD, &m_tray);
}

void COrvaneDlg::RemoveTrayIcon() { ::Shell_NotifyIconW(NIM_DELETE, &m_tray); }

void COrvaneDlg::CreateToolTips() {
    using namespace orvane;
    if (!m_toolTip.Create(this)) return;
    const struct { int id; TooltipSlot tip; } tools[] = {
        {IDC_BTN_CLOSE, kTipClose}, {IDC_TAB_MAGIC, kTipMagical}, {IDC_TAB_PICTURE, kTipPictureFrame},
        {IDC_TAB_EFFECT, kTipEffect}, {IDC_BTN_ADD, kTipAdd},     {IDC_BTN_SUB, kTipSub},
        {IDC_BTN_SKIN, kTipSkin},   {IDC_BTN_ON, kTipOn},         {IDC_BTN_TOPMOST, kTipTopMost},
    };
    for (const auto& t : tools) m_toolTip.AddButtonTool(t.id, g_strTooltip[t.tip]);
    m_toolTip.Activate(TRUE);
}

BOOL COrvaneDlg::OnCommand(UINT notifyCode, UINT id, HWND control) {
    switch (id) {
    case ID_TRAY_SHOW: OnTrayShow(); return TRUE;
    case ID_TRAY_ABOUT: OnTrayAbout(); return TRUE;
    case ID_TRAY_HELP: OnTrayHelp(); return TRUE;
    case ID_TRAY_EXIT: OnTrayExit(); return TRUE;
    default: return CDialog::OnCommand(notifyCode, id, control);
    }
}

void COrvaneDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        ShowAbout();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

void COrvaneDlg::ShowAbout() {
    CDialog about(IDD_ABOUTBOX, this);
    about.DoModal();
}

HCURSOR COrvaneDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

BOOL COrvaneDlg::OnHelpInfo(HELPINFO*) {
    OnTrayHelp();
    return TRUE;
}

void COrvaneDlg::OnTabPicture() { ShowFrameTab(0); }
void COrvaneDlg::OnTabMagic() { ShowFrameTab(1); }

void COrvaneDlg::CheckTabs(int tab) {
    CFlatCheck* tabs[3] = {&m_tabPicture, &m_tabMagic, &m_tabEffect};
    for (int i = 0; i < 3; ++i) tabs[i]->SetChecked(i == tab);
}

void COrvaneDlg::OnBtnClose() {
    ShowWindow(SW_HIDE);
    m_bShown = false;
}

void COrvaneDlg::OnBtnOn() {
    ToggleOutput();
    if (m_nTab == 0 || m_nTab == 1) DrawListAndMarks();
    // The ON mark of the frame follows m_bOn.
    Invalidate(FALSE);
}

void COrvaneDlg::ToggleOutput() {
    if (m_bOn) {
        ::SetEffectType(0);
        m_bOn = false;
    } else {
        ApplySelection();
    }
}

void COrvaneDlg::OnBtnSkin() {
    m_nSkin = orvane::NextSkin(m_nSkin);
    BuildSkinPaths();
    LoadButtonSkins();
    if (m_nTab == 0 || m_nTab == 1) DrawListAndMarks();
    Invalidate(FALSE);
}

void COrvaneDlg::OnBtnTopMost() {
    SetWindowPos(m_bTopMost ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_bTopMost = !m_bTopMost;
    Invalidate(FALSE);
}

void COrvaneDlg::OnTrayShow() {
    ShowWindow(SW_SHOWNORMAL);
    m_bShown = true;
}

void COrvaneDlg::OnTrayAbout() { ShowAbout(); }

void COrvaneDlg::OnTrayHelp() {
    const CString page = GetModuleDir() + kHelpPage;
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", page, nullptr, nullptr, SW_SHOW));
    if (result <= 32) ::MessageBeep(MB_ICONEXCLAMATION);
}

void COrvaneDlg::OnTrayExit() { CloseSequence(); }

LRESULT COrvaneDlg::OnTrayNotify(WPARAM, LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN: OnTrayShow(); break;
    case WM_RBUTTONDOWN: {
        CMenu menu;
        if (!menu.LoadMenu(IDR_TRAY_MENU)) break;
        CMenu popup = menu.GetSubMenu(0);
        if (IsWindowVisible() && !IsIconic()) popup.EnableMenuItem(ID_TRAY_SHOW, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        SetForegroundWindow();
        popup.TrackPopupMenu(TPM_RIGHTBUTTON, cursor.x, cursor.y, m_hWnd);
        break;
    }
    default: break;
    }
    return 1;
}

LRESULT COrvaneDlg::OnPeerPosition(WPARAM wParam, LPARAM lParam) {
    const orvane::PeerPosition peer =
        orvane::DecodePeerPosition(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
    CRect window;
    GetWindowRect(&window);
    if (!m_bDocked) {
        if (!orvane::DocksAt(peer.right, window.left)) return 0;
        m_bDocked = true;
    }
    MoveWindow(peer.right - 5, peer.top, window.Width(), peer.bottom - peer.top, TRUE);
    return 0;
}

LRESULT COrvaneDlg::OnPeerEffect(WPARAM, LPARAM) {
    ToggleOutput();
    return 0;
}

LRESULT COrvaneDlg::OnPeerPopup(WPARAM, LPARAM) {
    ShowWindow(m_bShown ? SW_HIDE : SW_SHOWNORMAL);
    m_bShown = !m_bShown;
    return 0;
}

void COrvaneDlg::OnClose() { CloseSequence(); }

// Escape must not end the panel: only WM_CLOSE and the tray's Exit do.
void COrvaneDlg::OnCancel() {}

void COrvaneDlg::CloseSequence() {
    RemoveTrayIcon();
    orvane::WriteSkinConfig(GetModuleDir(), m_nSkin);
    if (m_pEffectPanel) {
        m_pEffectPanel->DestroyWindow();
        delete m_pEffectPanel;
        m_pEffectPanel = nullptr;
    }
    EndDialog(IDCANCEL);
}
