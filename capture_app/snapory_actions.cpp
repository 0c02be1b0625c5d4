// What the bottom bar's buttons do: snapshot, recording, self-timer, the work
// folder, help and settings.
#include "capture_app/snapory_dlg.h"

#include <shellapi.h>

#include "app_toolkit/module_paths.h"
#include "capture_app/cam_manage.h"
#include "capture_app/capture_names.h"
#include "capture_app/osd_host.h"
#include "capture_engine/korvel.h"

#include "capture_app/settings/settings_dialog.h"

namespace {

enum { kDisplayRecord = 0, kDisplaySnap = 1 };

// Disabled while a recording runs.
const int kCaptureControls[] = {IDC_BTN_SNAP, IDC_BTN_AUTOSNAP, IDC_BTN_EFFECT, IDC_BTN_SETUP, IDC_BTN_POPUP,
                                IDC_COMBO_SIZE};

CString NameFromLocalTime(const CString& folder, const wchar_t* extension) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const LocalTimeFields fields{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    return CString(TimeStampedName(folder.str(), fields, extension));
}

// The work folder, created when missing; a failure shows later as a missing file.
CString PreparedWorkPath() {
    const CString folder = g_CamManage.GetWorkPath();
    CreateDirectoryTree(folder);
    return folder;
}

}  // namespace

void CSnaporyDlg::ShowOsd(int display, const CString& text) {
    if (display < m_osdList.GetSize()) OsdShowText(m_osdList[display], text);
}

void CSnaporyDlg::TakeSnapshot() {
    const CString folder = PreparedWorkPath();
    const int imageType = g_CamManage.m_nImageType;
    const CString name = NameFromLocalTime(folder, SnapshotExtension(imageType));
    g_CamManage.CaptureBitmap(name, imageType != 0, g_CamManage.m_nJpegQuality);
    if (!m_bRecording) ShowOsd(kDisplaySnap, g_CamManage.GetText(kOsdSnap));
}

void CSnaporyDlg::ToggleRecording() {
    if (!m_bRecording) {
        const CString folder = PreparedWorkPath();
        const CString name = NameFromLocalTime(folder, RecordExtension(g_CamManage.m_nRecType));
        g_CamManage.StartRecord(name);
        AttachPreview();
        ::RunGraph();
        m_bRecording = TRUE;
        m_nRecordTimer = SetTimer(kTimerRecording, 1000);
        EnableCaptureControls(FALSE);
        ShowOsd(kDisplayRecord, g_CamManage.GetText(kOsdRecord));
    } else {
        g_CamManage.StopRecord();
        ::RunPreview();
        AttachPreview();
        ::RunGraph();
        m_bRecording = FALSE;
        EnableCaptureControls(TRUE);
        ShowOsd(kDisplayRecord, g_CamManage.GetText(kOsdStopRecord));
    }
    if (IsWindowVisible() && m_osdList.GetSize() > kDisplayRecord) OsdShowAgain(m_osdList[kDisplayRecord]);
    // Only while the button is still held: with it released, the move loop
    // would take the user's next click (the one that stops the recording).
    if (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) DragByCaption(0);
}

void CSnaporyDlg::EnableCaptureControls(BOOL enable) {
    for (int id : kCaptureControls) GetDlgItem(id).EnableWindow(enable);
}

void CSnaporyDlg::RecordingTick() {
    if (m_bRecording) {
        ShowOsd(kDisplayRecord, g_CamManage.GetText(kOsdRecord));
        return;
    }
    KillTimer(kTimerRecording);
    m_nRecordTimer = 0;
}

void CSnaporyDlg::StartSelfTimer() {
    const bool longDelay = g_CamManage.m_nAutoSnapType != 0;
    KillTimer(kTimerSelfTimer);
    SetTimer(kTimerSelfTimer, longDelay ? 20000 : 10000);
    m_nCountdown = longDelay ? 20 : 10;
    GetDlgItem(IDC_BTN_RECORD).EnableWindow(FALSE);
    KillTimer(kTimerCountdown);
    SetTimer(kTimerCountdown, 1000);
}

void CSnaporyDlg::CountdownTick() {
    --m_nCountdown;
    KillTimer(kTimerCountdown);
    CString text;
    text.Format(L"%s%d%s", g_CamManage.GetText(kOsdAutoSnap).GetString(), m_nCountdown,
                g_CamManage.GetText(kOsdTime).GetString());
    ShowOsd(kDisplaySnap, text);
    SetTimer(kTimerCountdown, 1000);
    PollPeerWindow();
}

void CSnaporyDlg::SelfTimerFire() {
    KillTimer(kTimerSelfTimer);
    KillTimer(kTimerCountdown);
    TakeSnapshot();
    OnSelchangeSizeCombo();
}

void CSnaporyDlg::OnBtnSnap() { TakeSnapshot(); }

void CSnaporyDlg::OnBtnRecord() { ToggleRecording(); }

void CSnaporyDlg::OnBtnAutoSnap() { StartSelfTimer(); }

void CSnaporyDlg::OnBtnBrowse() {
    ::ShellExecuteW(nullptr, L"open", nullptr, nullptr, g_CamManage.GetWorkPath(), SW_SHOW);
}

void CSnaporyDlg::OnBtnHelp() {
    const CString page = GetModuleDir() + L"\\Help\\产品简介.htm";
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(m_hWnd, L"open", page, nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) ::MessageBeep(MB_ICONEXCLAMATION);
}

void CSnaporyDlg::OnBtnSetup() {
    CSnaporySetDlg dlg(this);
    dlg.DoModal();
}
