// Recording page: container (MPEG or AVI), MPEG quality, record sound.
#pragma once

#include "capture_app/settings/base_page.h"

class CRecPage : public CBasePage {
public:
    CRecPage();
    bool OnApply() override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnNotify(UINT id, NMHDR* header, LRESULT* result) override;

private:
    void CompareWithStored();
    LRESULT OnSliderScroll(WPARAM, LPARAM);

    CSliderCtrl m_quality;
};
