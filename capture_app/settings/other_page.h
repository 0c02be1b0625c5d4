// Other page: the work folder, and the enlarged ("interpolated") snapshot
// size with its switch.
#pragma once

#include "capture_app/settings/base_page.h"

class COtherPage : public CBasePage {
public:
    // mainWindow: its record button and size combo are switched off while the
    // enlarged size is on; may be nullptr.
    explicit COtherPage(HWND mainWindow);
    bool OnApply() override;

protected:
    BOOL OnInitDialog() override;

private:
    void OnWorkPathEdited();
    void OnSizeChosen();
    void OnAllowClicked();
    void OnBrowse();
    void EnableMainWindowControls(bool enable);
    void ApplyWorkPath();

    HWND m_mainWindow;
    CComboBox m_sizes;
    CString m_folder;  // last taken from the edit or the folder browser
    bool m_switchFlipped = false;  // since the last apply
};
