// Device page: the video and the audio capture device, and their own
// property pages.
#pragma once

#include "capture_app/settings/base_page.h"
#include "capture_app/settings/settings_host.h"

class CDevPage : public CBasePage {
public:
    // host restarts the preview on another camera; may be nullptr (no main window).
    explicit CDevPage(CSettingsHost* host);
    bool OnApply() override;

protected:
    BOOL OnInitDialog() override;

private:
    void OnVideoChosen();
    void OnAudioChosen();
    void OnVideoProperties();
    void OnAudioProperties();

    CSettingsHost* m_host;
    CComboBox m_video;
    CComboBox m_audio;
};
