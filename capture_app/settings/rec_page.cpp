#include "capture_app/settings/rec_page.h"

#include "capture_app/settings/settings_model.h"
#include "capture_app/settings/settings_resource.h"

namespace {

// Only 1 records AVI (any other value records MPEG), so only 1 shows as AVI.
int RadioOfRecordType(int recordType) { return recordType == 1 ? IDC_REC_AVI : IDC_REC_MPEG; }

}  // namespace

CRecPage::CRecPage() : CBasePage(IDD_SETTINGS_REC_PAGE) {
    MapClicked(IDC_REC_MPEG, &CRecPage::CompareWithStored);
    MapClicked(IDC_REC_AVI, &CRecPage::CompareWithStored);
    MapClicked(IDC_REC_SOUND, &CRecPage::CompareWithStored);
    MapMessage(WM_HSCROLL, &CRecPage::OnSliderScroll);
}

BOOL CRecPage::OnInitDialog() {
    const RecordSettings stored = ReadRecordSettings();
    CheckRadioButton(IDC_REC_MPEG, IDC_REC_AVI, RadioOfRecordType(stored.recordType));
    BindControl(IDC_REC_QUALITY, m_quality);
    m_quality.SetRange(0, 2, TRUE);
    m_quality.SetPos(stored.mpegQuality);
    CheckDlgButton(IDC_REC_SOUND, stored.captureAudio ? BST_CHECKED : BST_UNCHECKED);

    SetDlgItemText(IDC_REC_FORMAT_GROUP, SettingsText("RecordSetting", "StoreFormat"));
    SetDlgItemText(IDC_REC_QUALITY_GROUP, SettingsText("RecordSetting", "MPEGQulity"));
    SetDlgItemText(IDC_REC_LOW_LABEL, SettingsText("RecordSetting", "Low"));
    SetDlgItemText(IDC_REC_HIGH_LABEL, SettingsText("RecordSetting", "Hight"));
    SetDlgItemText(IDC_REC_SOUND, SettingsText("RecordSetting", "synchronization"));
    return TRUE;
}

void CRecPage::CompareWithStored() {
    const RecordSettings stored = ReadRecordSettings();
    if (IsDlgButtonChecked(RadioOfRecordType(stored.recordType)) != BST_CHECKED) NotifySettingChanged();
    if (m_quality.GetPos() != stored.mpegQuality) NotifySettingChanged();
    if ((IsDlgButtonChecked(IDC_REC_SOUND) == BST_CHECKED) != (stored.captureAudio != 0)) NotifySettingChanged();
}

BOOL CRecPage::OnNotify(UINT id, NMHDR* header, LRESULT* result) {
    CompareWithStored();
    return CBasePage::OnNotify(id, header, result);
}

LRESULT CRecPage::OnSliderScroll(WPARAM, LPARAM) {
    CompareWithStored();
    return Default();
}

bool CRecPage::OnApply() {
    RecordSettings chosen;
    chosen.recordType = IsDlgButtonChecked(IDC_REC_MPEG) == BST_CHECKED ? 0 : 1;
    chosen.mpegQuality = m_quality.GetPos();
    chosen.captureAudio = IsDlgButtonChecked(IDC_REC_SOUND) == BST_CHECKED ? 1 : 0;
    WriteRecordSettings(chosen);
    return true;
}
