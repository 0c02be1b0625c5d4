#include "capture_app/settings/snap_page.h"

#include "capture_app/settings/settings_model.h"
#include "capture_app/settings/settings_resource.h"

CSnapPage::CSnapPage() : CBasePage(IDD_SETTINGS_SNAP_PAGE) {
    MapClicked(IDC_SNAP_JPEG, &CSnapPage::OnJpeg);
    MapClicked(IDC_SNAP_BMP, &CSnapPage::OnBmp);
    MapClicked(IDC_SNAP_TIMER_10S, &CSnapPage::CompareWithStored);
    MapClicked(IDC_SNAP_TIMER_20S, &CSnapPage::CompareWithStored);
    MapMessage(WM_HSCROLL, &CSnapPage::OnSliderScroll);
}

BOOL CSnapPage::OnInitDialog() {
    const SnapSettings stored = ReadSnapSettings();
    const bool jpeg = stored.imageType == 0;
    // The two format radios are groups of their own, so both are set here.
    CheckDlgButton(IDC_SNAP_JPEG, jpeg ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SNAP_BMP, jpeg ? BST_UNCHECKED : BST_CHECKED);
    BindControl(IDC_SNAP_QUALITY, m_quality);
    m_quality.SetRange(0, 100, TRUE);
    m_quality.SetPos(stored.jpegQuality);
    m_quality.EnableWindow(jpeg);
    CheckRadioButton(IDC_SNAP_TIMER_10S, IDC_SNAP_TIMER_20S,
                     stored.selfTimerType == 0 ? IDC_SNAP_TIMER_10S : IDC_SNAP_TIMER_20S);

    SetDlgItemText(IDC_SNAP_FORMAT_GROUP, SettingsText("SnapSetting", "StoreFormat"));
    SetDlgItemText(IDC_SNAP_QUALITY_GROUP, SettingsText("SnapSetting", "JPEGQulity"));
    SetDlgItemText(IDC_SNAP_TIMER_GROUP, SettingsText("SnapSetting", "AutoSnapTime"));
    SetDlgItemText(IDC_SNAP_TIMER_10S, SettingsText("SnapSetting", "TimeSelect1"));
    SetDlgItemText(IDC_SNAP_TIMER_20S, SettingsText("SnapSetting", "TimeSelect2"));
    return TRUE;
}

void CSnapPage::OnJpeg() {
    m_quality.EnableWindow(TRUE);
    CheckDlgButton(IDC_SNAP_BMP, BST_UNCHECKED);
    CompareWithStored();
}

void CSnapPage::OnBmp() {
    m_quality.EnableWindow(FALSE);
    CheckDlgButton(IDC_SNAP_JPEG, BST_UNCHECKED);
    CompareWithStored();
}

void CSnapPage::CompareWithStored() {
    const SnapSettings stored = ReadSnapSettings();
    const int storedFormatRadio = stored.imageType == 0 ? IDC_SNAP_JPEG : IDC_SNAP_BMP;
    if (IsDlgButtonChecked(storedFormatRadio) != BST_CHECKED) {
        NotifySettingChanged();
        m_quality.EnableWindow(stored.imageType != 0);  // the other format than stored is chosen
    }
    const int storedTimerRadio = stored.selfTimerType == 0 ? IDC_SNAP_TIMER_10S : IDC_SNAP_TIMER_20S;
    if (IsDlgButtonChecked(storedTimerRadio) != BST_CHECKED) NotifySettingChanged();
    if (m_quality.GetPos() != stored.jpegQuality) NotifySettingChanged();
}

BOOL CSnapPage::OnNotify(UINT id, NMHDR* header, LRESULT* result) {
    CompareWithStored();
    return CBasePage::OnNotify(id, header, result);
}

// The trackbar tells moves by WM_HSCROLL; its WM_NOTIFY traffic alone may not
// follow a keyboard move.
LRESULT CSnapPage::OnSliderScroll(WPARAM, LPARAM) {
    CompareWithStored();
    return Default();
}

bool CSnapPage::OnApply() {
    SnapSettings chosen;
    chosen.imageType = IsDlgButtonChecked(IDC_SNAP_JPEG) == BST_CHECKED ? 0 : 1;
    chosen.selfTimerType = IsDlgButtonChecked(IDC_SNAP_TIMER_10S) == BST_CHECKED ? 0 : 1;
    chosen.jpegQuality = m_quality.GetPos();
    WriteSnapSettings(chosen);
    return true;
}
