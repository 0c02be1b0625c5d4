// One page of the settings dialog: a child dialog on its own template that
// copies its controls into CCamManage when applied, and tells the settings
// dialog (WM_SETTINGCHANGED) when a control differs from the stored setting.
#pragma once

#include "dialog_framework/framework.h"

// Sent by a page to the settings dialog; enables Apply.
#define WM_SETTINGCHANGED (WM_USER + 100)

class CBasePage : public CDialog {
public:
    explicit CBasePage(UINT templateId) : CDialog(templateId) {}

    // Copies the page's controls into CCamManage; true when done.
    virtual bool OnApply() = 0;

protected:
    void NotifySettingChanged() { GetParent().SendMessage(WM_SETTINGCHANGED); }
    // Enter and Escape belong to the settings dialog; a child must not end itself.
    void OnOK() override {}
    void OnCancel() override {}
};
