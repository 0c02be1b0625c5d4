// The settings dialog: a list of four page names on the left, one page at a
// time on the right, OK, Cancel and Apply below. Pages read CCamManage when
// they open and write it back on Apply or OK; the dialog remembers the page
// last shown in CCamManage's last page.
#pragma once

#include "dialog_framework/framework.h"

#include "capture_app/settings/settings_host.h"

class CBasePage;

class CSnaporySetDlg : public CDialog {
public:
    // parent: the main window, whose record button and size combo the other
    // page switches. host: the main window's operations; nullptr takes them
    // from parent when parent derives from CSettingsHost.
    explicit CSnaporySetDlg(CWnd* parent = nullptr, CSettingsHost* host = nullptr);
    ~CSnaporySetDlg() override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;

private:
    void CreatePages();
    void ShowPage(int index);
    void ApplyPages();
    void DeletePages();
    void SetCaptions();
    void OnPageSelected();
    void OnApplyButton();
    LRESULT OnSettingChanged(WPARAM, LPARAM);

    CWnd* m_mainWnd;
    CSettingsHost* m_host;
    CListBox m_pageList;
    CArray<CBasePage*, CBasePage*> m_pages;
    CBasePage* m_currentPage = nullptr;
};
