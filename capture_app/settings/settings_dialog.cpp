#include "capture_app/settings/settings_dialog.h"

#include "capture_app/settings/base_page.h"
#include "capture_app/settings/dev_page.h"
#include "capture_app/settings/other_page.h"
#include "capture_app/settings/rec_page.h"
#include "capture_app/settings/settings_model.h"
#include "capture_app/settings/settings_resource.h"
#include "capture_app/settings/snap_page.h"

CSnaporySetDlg::CSnaporySetDlg(CWnd* parent, CSettingsHost* host)
    : CDialog(IDD_SNAPORY_SETTINGS, parent),
      m_mainWnd(parent),
      m_host(host ? host : dynamic_cast<CSettingsHost*>(parent)) {
    MapCommand(IDC_SETTINGS_PAGE_LIST, LBN_SELCHANGE, &CSnaporySetDlg::OnPageSelected);
    MapClicked(IDC_SETTINGS_APPLY, &CSnaporySetDlg::OnApplyButton);
    MapMessage(WM_SETTINGCHANGED, &CSnaporySetDlg::OnSettingChanged);
}

// Pages are normally gone with OK or Cancel; this covers a dialog destroyed
// some other way.
CSnaporySetDlg::~CSnaporySetDlg() { DeletePages(); }

BOOL CSnaporySetDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    BindControl(IDC_SETTINGS_PAGE_LIST, m_pageList);
    for (const char* key : {"page1", "page2", "page3", "page4"}) m_pageList.AddString(SettingsText("ListSetting", key));
    CreatePages();
    const int first = settings_rules::PageToShow(StoredLastPage());
    ShowPage(first);
    m_pageList.SetCurSel(first);
    SetCaptions();
    GetDlgItem(IDC_SETTINGS_APPLY).EnableWindow(FALSE);
    return TRUE;
}

void CSnaporySetDlg::CreatePages() {
    m_pages.Add(new CSnapPage());
    m_pages.Add(new CRecPage());
    m_pages.Add(new CDevPage(m_host));
    m_pages.Add(new COtherPage(m_mainWnd ? m_mainWnd->GetSafeHwnd() : nullptr));
    CRect frame;
    GetDlgItem(IDC_SETTINGS_PAGE_FRAME).GetWindowRect(&frame);
    ScreenToClient(&frame);
    for (INT_PTR i = 0; i < m_pages.GetSize(); ++i) {
        CBasePage* page = m_pages[i];
        page->Create(page->GetTemplateId(), this);
        page->MoveWindow(frame, FALSE);
    }
}

void CSnaporySetDlg::ShowPage(int index) {
    if (index < 0 || index >= m_pages.GetSize()) return;
    if (m_currentPage) m_currentPage->ShowWindow(SW_HIDE);
    m_currentPage = m_pages[index];
    m_currentPage->ShowWindow(SW_SHOW);
}

void CSnaporySetDlg::SetCaptions() {
    SetDlgItemText(IDC_SETTINGS_APPLY, SettingsText("ListSetting", "IDApply"));
    SetDlgItemText(IDOK, SettingsText("ListSetting", "IDOK"));
    SetDlgItemText(IDCANCEL, SettingsText("ListSetting", "IDCancle"));
}

void CSnaporySetDlg::OnPageSelected() { ShowPage(m_pageList.GetCurSel()); }

void CSnaporySetDlg::ApplyPages() {
    for (INT_PTR i = 0; i < m_pages.GetSize(); ++i) m_pages[i]->OnApply();
    GetDlgItem(IDC_SETTINGS_APPLY).EnableWindow(FALSE);
}

void CSnaporySetDlg::DeletePages() {
    m_currentPage = nullptr;
    for (INT_PTR i = 0; i < m_pages.GetSize(); ++i) delete m_pages[i];  // each destroys its window
    m_pages.RemoveAll();
}

void CSnaporySetDlg::OnApplyButton() { ApplyPages(); }

void CSnaporySetDlg::OnOK() {
    ApplyPages();
    DeletePages();
    EndDialog(IDOK);
}

void CSnaporySetDlg::OnCancel() {
    DeletePages();
    EndDialog(IDCANCEL);
}

void CSnaporySetDlg::OnDestroy() {
    const int shown = m_pageList.GetCurSel();
    if (shown >= 0 && shown < settings_rules::kPageCount) StoreLastPage(shown);
    CDialog::OnDestroy();
}

LRESULT CSnaporySetDlg::OnSettingChanged(WPARAM, LPARAM) {
    GetDlgItem(IDC_SETTINGS_APPLY).EnableWindow(TRUE);
    return 0;
}
