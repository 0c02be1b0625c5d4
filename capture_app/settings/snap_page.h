// Snapshot page: file format (JPEG or BMP), JPEG quality, self-timer delay.
#pragma once

#include "capture_app/settings/base_page.h"

class CSnapPage : public CBasePage {
public:
    CSnapPage();
    bool OnApply() override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnNotify(UINT id, NMHDR* header, LRESULT* result) override;

private:
    void OnJpeg();
    void OnBmp();
    void CompareWithStored();
    LRESULT OnSliderScroll(WPARAM, LPARAM);

    CSliderCtrl m_quality;
};
