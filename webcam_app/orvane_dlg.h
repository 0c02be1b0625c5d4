// COrvaneDlg: the narrow skinned panel in the notification area. Its tabs
// show the picture frames, the animated frames and the effect panel; the
// selection is applied to the virtual webcam's picture through Lumivox. The
// capture application docks it, toggles its output and shows or hides it
// with three private messages.
//
// orvane_dlg.cpp: start, commands, tray icon, peer messages, close.
// orvane_frame.cpp: the painted frame, window shape and the scroll bar.
// orvane_frames.cpp: the frame lists, thumbnails, selection, "+" and "-".
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "app_toolkit/bmp_button.h"
#include "app_toolkit/wzd_tooltip_ctrl.h"
#include "dialog_framework/framework.h"
#include "webcam_app/flat_check.h"
#include "webcam_app/resource.h"

class EffectSetDlg;

class COrvaneDlg : public CDialog {
public:
    explicit COrvaneDlg(CWnd* parent = nullptr);
    ~COrvaneDlg() override;

    // The rule every caller uses to put the selection on the picture.
    void ApplySelection();
    // Where the effect panel's choice goes.
    void SelectEffect(int code);

    int m_nTab = 0;
    int m_nSelMode = 0;
    int m_nSelIndex = 0;
    bool m_bOn = false;
    bool m_bTopMost = false;
    bool m_bShown = true;
    bool m_bDocked = false;
    int m_nSkin = 0;
    EffectSetDlg* m_pEffectPanel = nullptr;

    CStringArray m_arPictureFrames;
    CStringArray m_arMagicFrames;
    CStringArray m_arThumbCache;
    int m_nGifCount = 0;
    int m_nFirstPicture = 0;
    int m_nFirstMagic = 0;

    CRect m_rcTrack;
    int m_nThumbY = 41;
    int m_nScrollPercent = 0;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT notifyCode, UINT id, HWND control) override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnClose() override;
    void OnCancel() override;
    void OnOK() override {}
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    LRESULT OnNcHitTest(CPoint screenPoint) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint screenPoint) override;
    HCURSOR OnQueryDragIcon() override;
    BOOL OnHelpInfo(HELPINFO* info) override;

private:
    // orvane_dlg.cpp
    void AddTrayIcon();
    void RemoveTrayIcon();
    void CreateToolTips();
    void OnTabPicture();
    void OnTabMagic();
    void OnTabEffect();
    void OnBtnClose();
    void OnBtnOn();
    void OnBtnSkin();
    void OnBtnTopMost();
    void OnTrayShow();
    void OnTrayAbout();
    void OnTrayHelp();
    void OnTrayExit();
    void ShowAbout();
    void CloseSequence();
    void ToggleOutput();
    void CheckTabs(int tab);
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnPeerPosition(WPARAM wParam, LPARAM lParam);
    LRESULT OnPeerEffect(WPARAM wParam, LPARAM lParam);
    LRESULT OnPeerPopup(WPARAM wParam, LPARAM lParam);

    // orvane_frame.cpp
    CString SkinPath(LPCWSTR file) const;
    void BuildSkinPaths();
    void LoadButtonSkins();
    void LayoutControls(int w, int h);
    void PaintFrame(CDC& window, int w, int h);
    void DrawPiece(CDC& target, LPCWSTR file, int x, int y, int w = -1, int h = -1);
    void TilePiece(CDC& target, LPCWSTR file, int x, int y, int yEnd, int step, int w = -1, int h = -1);
    void DrawThumb(LPCWSTR path);
    void RepaintTrack(int oldY, int newY);
    void MoveThumbTo(int y);
    void ScrollChanged();
    int ClientHeight() const;
    int ClientWidth() const;

    // orvane_frames.cpp
    void ScanFrames();
    void ShowFrameTab(int tab);
    void DrawList();
    void DrawSelectionMark();
    void DrawEntryFrames();
    void DrawListAndMarks();
    int FirstVisibleOfShownList();
    void ClickAt(CPoint point);
    void WriteThumbnail(const CString& path, const BYTE* bmpFile);
    void PlaceEffectPanel();
    void OnBtnAdd();
    void OnBtnSub();

    HICON m_hIcon = nullptr;
    NOTIFYICONDATAW m_tray{};
    CFlatCheck m_tabPicture, m_tabMagic, m_tabEffect, m_btnOn, m_btnTopMost;
    CBmpButton m_btnClose, m_btnAdd, m_btnSub, m_btnSkin;
    CStatic m_effectHolder;
    CWzdToolTipCtrl m_toolTip;
    CString m_strSkinDir;
    // Scroll-bar pictures of the current skin.
    CString m_strTrackTop, m_strTrackBottom, m_strThumb, m_strThumbHover, m_strThumbOver;

    bool m_bThumbDrag = false;
    bool m_bWindowDrag = false;
    CPoint m_ptPress;
    bool m_bOverThumb = false;
    bool m_bOverTrack = false;
};
