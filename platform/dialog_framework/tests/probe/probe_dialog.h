// A dialog that uses every part of the framework the programs rely on and
// reports what its handlers saw in its status line, where a test reads it.
#pragma once

#include "dialog_framework/framework.h"
#include "platform/dialog_framework/tests/probe/probe_ids.h"

// The part of the client area the probe paints itself, in pixels.
inline const RECT kProbePaintRect = {10, 0, 50, 20};  // top/bottom counted from the client bottom
inline const COLORREF kProbePaintColour = RGB(10, 200, 30);
inline const SIZE kProbeMinTrackSize = {360, 300};

class CProbePage : public CDialog {
public:
    explicit CProbePage(CWnd* status) : CDialog(IDD_PROBE_PAGE), m_status(status) {
        MapClicked(IDC_PAGE_BUTTON, &CProbePage::OnPageButton);
    }

private:
    void OnPageButton();
    CWnd* m_status;
};

class CProbeDlg : public CDialog {
public:
    CProbeDlg();

    // What the handlers recorded; read on the dialog's thread or after it ended.
    int m_clicks = 0;
    int m_ticks = 0;
    CSize m_lastSize;
    CPoint m_lastMove;
    CPoint m_lastPress;
    int m_paints = 0;

protected:
    BOOL OnInitDialog() override;
    void OnPaint() override;
    void OnTimer(UINT_PTR id) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnMove(int x, int y) override;
    LRESULT OnNcHitTest(CPoint screenPoint) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    BOOL OnCommand(UINT notifyCode, UINT id, HWND control) override;

private:
    void SetStatus(const CString& text) { m_status.SetWindowText(text); }
    void OnCount();
    void OnCheck();
    void OnChoice();
    void OnListed();
    void OnEdited();
    void OnAsk();
    LRESULT OnSliderReleased(NMHDR* header);
    LRESULT OnDoubleMessage(WPARAM wParam, LPARAM lParam);

    CStatic m_status;
    CComboBox m_choice;
    CListBox m_list;
    CEdit m_edit;
    CSliderCtrl m_slider;
    CProbePage m_page;
};
