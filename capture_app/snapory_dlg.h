// CSnaporyDlg: the borderless, skinned, resizable main window. The preview
// fills its middle, skinned buttons sit on a painted frame, on-screen
// displays float over the preview; it tells the virtual webcam application
// ("VemraZolt") where it is and can start it.
#pragma once

#include <windows.h>

#include "app_toolkit/bmp_button.h"
#include "app_toolkit/wzd_tooltip_ctrl.h"
#include "capture_app/resource.h"
#include "capture_app/settings/settings_host.h"
#include "dialog_framework/controls.h"
#include "dialog_framework/device_context.h"
#include "dialog_framework/dialog.h"
#include "dialog_framework/gdi_objects.h"
#include "dialog_framework/typed_arrays.h"

class COsd;

// Timers of the main dialog.
enum SnaporyTimer : UINT_PTR {
    kTimerSelfTimer = 100,  // 10 or 20 s: the self-timer's snapshot
    kTimerRecording = 101,  // 1 s while recording: keeps the recording text up
    kTimerPeerPoll = 102,   // 2 s until the peer window is found
    kTimerCountdown = 200,  // 1 s: the self-timer's countdown
};

// The settings dialog reaches the main window's operations through CSettingsHost.
class CSnaporyDlg : public CDialog, public CSettingsHost {
public:
    explicit CSnaporyDlg(CWnd* parent = nullptr);
    ~CSnaporyDlg() override;

    // Opens the video device, attaches the preview to this window and runs it.
    // Also used by the settings dialog's device page.
    void StartDevice(int index) override;
    // Lists the current device's sizes as "W * H" and finds the virtual device.
    void FillSizeCombo() override;
    // Applies the size combo's selection and offers Rec for sizes up to 640 wide.
    void OnSelchangeSizeCombo();

    // The preview's place in the current client area.
    CRect GetPreviewRect() const;
    BOOL IsRecording() const { return m_bRecording; }
    BOOL IsPreviewing() const { return m_bPreviewing; }

    // Mouse-over, normal, pressed, disabled pictures of the ten command buttons
    // are the skin folder's <name>H/U/D/X.BMP.
    static const wchar_t* ButtonSkinName(int controlId);

protected:
    BOOL OnInitDialog() override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnMove(int x, int y) override;
    LRESULT OnNcHitTest(CPoint screenPoint) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    void OnTimer(UINT_PTR id) override;
    void OnClose() override;
    void OnOK() override {}  // Enter does not end the program

private:
    // --- start-up and skin (snapory_dlg.cpp, snapory_skin.cpp) ---
    void BindButtons();
    void LoadButtonSkins();
    void PlaceInitialButtons();
    void CreateToolTips();
    void CreateOsds();
    void LayoutButtons(const CRect& client);
    void PaintSkin(CDC& windowDc);
    void ExcludeControls(CDC& dc);
    void DrawSkinPiece(CDC& memDc, const wchar_t* file, int x, int y, int width, int height, int start, int end,
                       bool vertical);

    // --- commands ---
    void OnBtnMin();
    void OnBtnClose();
    void OnBtnHelp();
    void OnBtnSnap();
    void OnBtnRecord();
    void OnBtnAutoSnap();
    void OnBtnBrowse();
    void OnBtnSetup();
    void OnBtnEffect();
    void OnBtnPopup();
    void OnBtnLogo();

    // --- capture actions (snapory_actions.cpp) ---
    void TakeSnapshot();
    void ToggleRecording();
    void StartSelfTimer();
    void CountdownTick();
    void SelfTimerFire();
    void RecordingTick();
    void EnableCaptureControls(BOOL enable);
    // Display A (0) shows the recording state, display B (1) snapshots and the countdown.
    void ShowOsd(int display, const CString& text);
    void AttachPreview();

    // --- the virtual webcam application (snapory_peer.cpp) ---
    HWND FindPeerWindow();
    void PollPeerWindow();
    void StartPeerApplication();
    void NotifyPeerPosition(bool sent);

    // Posts WM_NCLBUTTONDOWN with HTCAPTION: the system drags the window.
    void DragByCaption(LPARAM point);

    HICON m_hIcon = nullptr;
    CString m_strSkinDir;
    CWzdToolTipCtrl m_toolTip;
    CDC m_memDc;
    CDC m_scratchDc;
    CBitmap m_scratchBitmap;
    CBmpButton m_btnMin, m_btnHelp, m_btnClose, m_btnPopup, m_btnSnap, m_btnRecord, m_btnBrowse, m_btnEffect,
        m_btnSetup, m_btnAutoSnap, m_btnLogo;
    CComboBox m_comboSize;

    // The three on-screen displays, owned (made in CreateOsds, freed with the dialog).
    CTypedPtrArray<CPtrArray, COsd*> m_osdList;

    CRect m_clientRect;      // from the last paint
    int m_nCenterX = 0;      // its horizontal centre
    int m_nThresholdWidth = 561;
    BOOL m_bPreviewing = FALSE;
    BOOL m_bRecording = FALSE;
    BOOL m_bMoving = FALSE;
    int m_nCountdown = 0;
    UINT_PTR m_nRecordTimer = 0;
    HWND m_hPeer = nullptr;
    int m_nVirtualDevice = 0;  // "Talvoro Pelloquin" in the video device list
    int m_nCurDevice = 0;      // the device the preview was last started on
};
