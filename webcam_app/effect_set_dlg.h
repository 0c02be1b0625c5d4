// EffectSetDlg: the effect tab's panel, one radio button per effect code.
// A choice goes to the engine at once and becomes the panel's selection, so
// that the ON toggle can switch it off and on again.
#pragma once

#include "dialog_framework/dialog.h"

class EffectSetDlg : public CDialog {
public:
    EffectSetDlg() : CDialog(0) {}

    int PanelHeight() const { return m_rcPanel.Height(); }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT notifyCode, UINT id, HWND control) override;
    void OnPaint() override;
    // The panel is a child: Enter and Escape must not end it.
    void OnOK() override {}
    void OnCancel() override {}

private:
    CRect m_rcPanel;
};
