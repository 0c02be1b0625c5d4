// Cooperation with the virtual webcam application: its window is found by
// the title "VemraZolt"; it is told where Snapory's window is, toggled by the
// Effect and Popup buttons, and started from the path its installer left in
// the registry when it is not running.
#include "capture_app/snapory_dlg.h"

#include <shellapi.h>

#include "capture_app/cam_manage.h"
#include "capture_app/skin_layout.h"
#include "narrow_text/debug_text.h"

namespace {

constexpr wchar_t kPeerTitle[] = L"VemraZolt";
constexpr wchar_t kNotInstalled[] = L"VemraZolt插件没有安装，请安装VemraZolt插件！";
constexpr wchar_t kSwitchToVirtual[] = L"将启用“Zolt”，需要用到虚拟摄像头，切换设备吗？";

// The peer's executable as its installer registered it; false when absent.
bool ReadPeerPath(CString* path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Talvoro", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    // At most 260 bytes are read; one unit more keeps room for a terminator
    // that a value of exactly 260 bytes may lack.
    wchar_t value[131] = L"";
    DWORD bytes = 260;
    DWORD type = 0;
    const LONG read = ::RegQueryValueExW(key, L"Nerra", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    ::RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value[bytes / sizeof value[0]] = L'\0';
    *path = value;
    return true;
}

}  // namespace

HWND CSnaporyDlg::FindPeerWindow() { return ::FindWindowW(nullptr, kPeerTitle); }

void CSnaporyDlg::PollPeerWindow() {
    KillTimer(kTimerPeerPoll);
    m_hPeer = FindPeerWindow();
    if (!m_hPeer) SetTimer(kTimerPeerPoll, 2000);
}

void CSnaporyDlg::NotifyPeerPosition(bool sent) {
    CRect window;
    GetWindowRect(&window);
    const LayoutRect r{window.left, window.top, window.right, window.bottom};
    if (sent) {
        const PeerPositionParams p = PackSentPosition(r);
        ::SendMessageW(m_hPeer, WM_PEER_POSITION, p.wParam, static_cast<LPARAM>(p.lParam));
    } else {
        const PeerPositionParams p = PackPostedPosition(r);
        ::PostMessageW(m_hPeer, WM_PEER_POSITION, p.wParam, static_cast<LPARAM>(p.lParam));
    }
}

void CSnaporyDlg::OnBtnEffect() {
    if (m_nCurDevice != m_nVirtualDevice) {
        if (MessageBox(kSwitchToVirtual, nullptr, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
        StartDevice(m_nVirtualDevice);
    }
    m_hPeer = FindPeerWindow();
    if (m_hPeer)
        ::PostMessageW(m_hPeer, WM_PEER_EFFECT, 0, 0);
    else
        StartPeerApplication();
}

void CSnaporyDlg::OnBtnPopup() {
    m_hPeer = FindPeerWindow();
    if (m_hPeer)
        ::PostMessageW(m_hPeer, WM_PEER_POPUP, 0, 0);
    else
        StartPeerApplication();
}

void CSnaporyDlg::StartPeerApplication() {
    SendDebugText("OpenNerra begin!");
    CString path;
    if (!ReadPeerPath(&path)) {
        MessageBox(kNotInstalled);
        return;
    }
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"Open", path, L" /s", nullptr, SW_SHOWNORMAL));
    if (result <= 32) MessageBox(kNotInstalled);
}
