#include "capture_app/settings/dev_page.h"

#include "capture_app/settings/settings_model.h"
#include "capture_app/settings/settings_resource.h"

namespace {

void FillCombo(CComboBox& combo, const CStringArray& names, int current) {
    combo.ResetContent();
    for (INT_PTR i = 0; i < names.GetSize(); ++i) combo.AddString(names[i]);
    combo.SetCurSel(current);  // an index past the list selects nothing
}

}  // namespace

CDevPage::CDevPage(CSettingsHost* host) : CBasePage(IDD_SETTINGS_DEV_PAGE), m_host(host) {
    MapCommand(IDC_DEV_VIDEO_COMBO, CBN_SELCHANGE, &CDevPage::OnVideoChosen);
    MapCommand(IDC_DEV_AUDIO_COMBO, CBN_SELCHANGE, &CDevPage::OnAudioChosen);
    MapClicked(IDC_DEV_VIDEO_PROPERTIES, &CDevPage::OnVideoProperties);
    MapClicked(IDC_DEV_AUDIO_PROPERTIES, &CDevPage::OnAudioProperties);
}

BOOL CDevPage::OnInitDialog() {
    BindControl(IDC_DEV_VIDEO_COMBO, m_video);
    BindControl(IDC_DEV_AUDIO_COMBO, m_audio);
    FillCombo(m_video, ListVideoDevices(), CurrentVideoDevice());
    FillCombo(m_audio, ListAudioDevices(), CurrentAudioDevice());

    SetDlgItemText(IDC_DEV_VIDEO_GROUP, SettingsText("DeviceSetting", "VideoSetup"));
    SetDlgItemText(IDC_DEV_VIDEO_LABEL, SettingsText("DeviceSetting", "VideoDevice"));
    SetDlgItemText(IDC_DEV_VIDEO_PROPERTIES, SettingsText("DeviceSetting", "VideoProp"));
    SetDlgItemText(IDC_DEV_AUDIO_GROUP, SettingsText("DeviceSetting", "AudioSetup"));
    SetDlgItemText(IDC_DEV_AUDIO_LABEL, SettingsText("DeviceSetting", "AudioDevice"));
    SetDlgItemText(IDC_DEV_AUDIO_PROPERTIES, SettingsText("DeviceSetting", "AudioProp"));
    return TRUE;
}

void CDevPage::OnVideoChosen() {
    const int chosen = m_video.GetCurSel();
    if (chosen != CB_ERR && chosen != CurrentVideoDevice()) NotifySettingChanged();
}

void CDevPage::OnAudioChosen() {
    const int chosen = m_audio.GetCurSel();
    if (chosen != CB_ERR && chosen != CurrentAudioDevice()) NotifySettingChanged();
}

void CDevPage::OnVideoProperties() { ShowVideoDeviceProperties(m_hWnd); }

void CDevPage::OnAudioProperties() { ShowAudioDeviceProperties(m_hWnd); }

bool CDevPage::OnApply() {
    const int video = m_video.GetCurSel();
    if (video != CB_ERR && video != CurrentVideoDevice() && m_host) m_host->StartDevice(video);
    const int audio = m_audio.GetCurSel();
    if (audio != CB_ERR && audio != CurrentAudioDevice()) SelectAudioDevice(audio);
    // Refilled even when nothing changed: the main window's list then always
    // matches the device the preview runs on.
    if (m_host) m_host->FillSizeCombo();
    return true;
}
