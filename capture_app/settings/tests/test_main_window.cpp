#include "capture_app/settings/tests/test_main_window.h"

#include "capture_app/cam_manage.h"
#include "capture_app/video_sizes.h"
#include "capture_engine/korvel.h"

namespace {

const UINT kRunWork = WM_APP + 1;
const UINT kOpenSettings = WM_APP + 2;

}  // namespace

CTestMainWindow::CTestMainWindow() {
    MapMessage(kRunWork, &CTestMainWindow::OnRunWork);
    MapMessage(kOpenSettings, &CTestMainWindow::OnOpenSettings);
}

bool CTestMainWindow::Create() {
    if (!CreateEx(0, nullptr, L"Settings test main window", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                  700, 600, nullptr))
        return false;
    HWND record = ::CreateWindowExW(0, L"BUTTON", L"Rec", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 500, 60, 24,
                                    m_hWnd, reinterpret_cast<HMENU>(kRecordButton), nullptr, nullptr);
    HWND sizes = ::CreateWindowExW(0, L"COMBOBOX", nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL,
                                   90, 500, 140, 200, m_hWnd, reinterpret_cast<HMENU>(kSizeCombo), nullptr, nullptr);
    return m_record.Attach(record) && m_sizes.Attach(sizes);
}

RECT CTestMainWindow::PreviewRect() const {
    CRect client;
    GetClientRect(&client);
    return CRect(client.left + 21, client.top + 35, client.right - 21, client.bottom - 94);
}

void CTestMainWindow::StartDevice(int index) {
    ++starts;
    lastStarted = index;
    g_CamManage.OpenVideoDevice(index);
    SetPlayWindow(m_hWnd);
    const RECT preview = PreviewRect();
    SetWindowPosition(&preview);
    RunGraph();
}

// As the main dialog fills it, largest native size included: the converted
// preview enlarges from that size.
void CTestMainWindow::FillSizeCombo() {
    ++fills;
    m_sizes.ResetContent();
    const auto& sizes = g_CamManage.m_sizes;
    for (INT_PTR i = 0; i < sizes.GetSize(); ++i) m_sizes.AddString(SizeComboText(sizes[i]).c_str());
    const tag_VideoSize largest = LargestSizePair(sizes.GetData(), static_cast<size_t>(sizes.GetSize()));
    g_CamManage.m_nMaxWidth = largest.width;
    g_CamManage.m_nMaxHeight = largest.height;
    m_sizes.SetCurSel(g_CamManage.m_nCurSizeIndex);
}

bool CTestMainWindow::RunOnWindowThread(const std::function<void()>& work, DWORD timeoutMs) const {
    DWORD_PTR done = 0;
    return ::SendMessageTimeoutW(m_hWnd, kRunWork, 0, reinterpret_cast<LPARAM>(&work), SMTO_NORMAL, timeoutMs, &done) &&
           done == 1;
}

void CTestMainWindow::OpenSettings() const { PostMessage(kOpenSettings); }

LRESULT CTestMainWindow::OnRunWork(WPARAM, LPARAM work) {
    (*reinterpret_cast<const std::function<void()>*>(work))();
    return 1;
}

// As the main dialog's Setup button does it.
LRESULT CTestMainWindow::OnOpenSettings(WPARAM, LPARAM) {
    dialogOpen = true;
    CSnaporySetDlg dialog(this);
    lastResult = dialog.DoModal();
    dialogOpen = false;
    return 0;
}
