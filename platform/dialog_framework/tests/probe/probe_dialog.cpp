#include "platform/dialog_framework/tests/probe/probe_dialog.h"

void CProbePage::OnPageButton() { m_status->SetWindowText(L"Page clicked"); }

CProbeDlg::CProbeDlg() : CDialog(IDD_PROBE), m_page(&m_status) {
    MapClicked(IDC_COUNT, &CProbeDlg::OnCount);
    MapClicked(IDC_CHECK, &CProbeDlg::OnCheck);
    MapCommand(IDC_CHOICE, CBN_SELCHANGE, &CProbeDlg::OnChoice);
    MapCommand(IDC_LIST, LBN_SELCHANGE, &CProbeDlg::OnListed);
    MapCommand(IDC_EDIT, EN_CHANGE, &CProbeDlg::OnEdited);
    MapClicked(IDC_ASK, &CProbeDlg::OnAsk);
    MapNotify(IDC_SLIDER, NM_RELEASEDCAPTURE, &CProbeDlg::OnSliderReleased);
    MapMessage(WM_PROBE_DOUBLE, &CProbeDlg::OnDoubleMessage);
}

BOOL CProbeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    BindControl(IDC_STATUS, m_status);
    BindControl(IDC_CHOICE, m_choice);
    BindControl(IDC_LIST, m_list);
    BindControl(IDC_EDIT, m_edit);
    BindControl(IDC_SLIDER, m_slider);

    CString about;
    if (about.LoadString(IDS_ABOUT_PROBE)) {
        CMenu menu = GetSystemMenu(FALSE);
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING, IDM_ABOUT_PROBE, about);
    }
    for (const wchar_t* fruit : {L"Apple", L"Banana", L"Cherry"}) {
        m_choice.AddString(fruit);
        m_list.AddString(fruit);
    }
    m_slider.SetRange(0, 100);
    m_slider.SetPos(40);
    CheckRadioButton(IDC_LEFT, IDC_RIGHT, IDC_LEFT);

    m_page.Create(IDD_PROBE_PAGE, this);
    CRect frame;
    GetDlgItem(IDC_PAGE_FRAME).GetWindowRect(&frame);
    ScreenToClient(&frame);
    m_page.MoveWindow(frame);
    m_page.ShowWindow(SW_SHOW);

    SetTimer(7, 30);
    SetStatus(L"Ready");
    return TRUE;
}

void CProbeDlg::OnPaint() {
    CPaintDC dc(m_hWnd);
    CRect client;
    GetClientRect(&client);
    const CRect area(kProbePaintRect.left, client.bottom - 30, kProbePaintRect.right, client.bottom - 10);

    // Drawn off-screen and copied through a clip region, as the skins do.
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(dc, area.Width(), area.Height());
    HGDIOBJ oldBitmap = memory.SelectObject(canvas);
    memory.FillSolidRect(CRect(0, 0, area.Width(), area.Height()), RGB(255, 0, 0));
    CBrush brush;
    brush.CreateSolidBrush(kProbePaintColour);
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, kProbePaintColour);
    HGDIOBJ oldBrush = memory.SelectObject(brush);
    HGDIOBJ oldPen = memory.SelectObject(pen);
    memory.Rectangle(0, 0, area.Width(), area.Height());
    memory.SelectObject(oldPen);
    memory.SelectObject(oldBrush);

    CRgn clip;
    clip.CreateRectRgnIndirect(area);
    dc.SelectClipRgn(clip);
    dc.BitBlt(area.left, area.top, area.Width(), area.Height(), memory, 0, 0, SRCCOPY);
    dc.SelectClipRgn(nullptr);
    memory.SelectObject(oldBitmap);
    ++m_paints;
}

void CProbeDlg::OnTimer(UINT_PTR id) {
    if (id != 7) return CDialog::OnTimer(id);
    if (++m_ticks == 3) KillTimer(7);
}

void CProbeDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    m_lastSize = CSize(cx, cy);
}

void CProbeDlg::OnMove(int x, int y) {
    CDialog::OnMove(x, y);
    m_lastMove = CPoint(x, y);
}

LRESULT CProbeDlg::OnNcHitTest(CPoint screenPoint) {
    CRect window;
    GetWindowRect(&window);
    if (screenPoint.x >= window.right - 20 && screenPoint.y >= window.bottom - 20) return HTBOTTOMRIGHT;
    return CDialog::OnNcHitTest(screenPoint);
}

void CProbeDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    CDialog::OnGetMinMaxInfo(info);
    info->ptMinTrackSize.x = kProbeMinTrackSize.cx;
    info->ptMinTrackSize.y = kProbeMinTrackSize.cy;
}

void CProbeDlg::OnLButtonDown(UINT flags, CPoint point) {
    m_lastPress = point;
    CDialog::OnLButtonDown(flags, point);
}

void CProbeDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUT_PROBE)
        SetStatus(L"About");
    else
        CDialog::OnSysCommand(id, lParam);
}

BOOL CProbeDlg::OnCommand(UINT notifyCode, UINT id, HWND control) {
    // A switch next to the map: the finish button ends the modal run.
    if (id == IDC_FINISH && notifyCode == BN_CLICKED) {
        EndDialog(PROBE_FINISH_RESULT);
        return TRUE;
    }
    return CDialog::OnCommand(notifyCode, id, control);
}

void CProbeDlg::OnCount() {
    CString text;
    text.Format(L"Clicked %d", ++m_clicks);
    SetStatus(text);
}

void CProbeDlg::OnCheck() {
    CString text;
    text.Format(L"Check %d", IsDlgButtonChecked(IDC_CHECK));
    SetStatus(text);
}

void CProbeDlg::OnChoice() {
    CString fruit;
    m_choice.GetLBText(m_choice.GetCurSel(), fruit);
    SetStatus(L"Chose " + fruit);
}

void CProbeDlg::OnListed() {
    CString fruit;
    m_list.GetText(m_list.GetCurSel(), fruit);
    SetStatus(L"Listed " + fruit);
}

void CProbeDlg::OnEdited() { SetStatus(L"Typed " + m_edit.GetWindowText()); }

void CProbeDlg::OnAsk() {
    CString text;
    text.Format(L"Answer %d", AfxMessageBox(L"Proceed?", MB_YESNO | MB_ICONQUESTION));
    SetStatus(text);
}

LRESULT CProbeDlg::OnSliderReleased(NMHDR*) {
    CString text;
    text.Format(L"Slider %d", m_slider.GetPos());
    SetStatus(text);
    return 0;
}

LRESULT CProbeDlg::OnDoubleMessage(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam * 2); }
