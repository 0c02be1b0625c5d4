#include "webcam_app/effect_set_dlg.h"

#include "dialog_framework/application.h"
#include "dialog_framework/device_context.h"
#include "webcam_app/orvane_dlg.h"
#include "webcam_app/orvane_texts.h"
#include "webcam_engine/lumivox.h"

BOOL EffectSetDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    GetClientRect(&m_rcPanel);
    for (int i = 0; i < orvane::kEffectCount; ++i)
        SetDlgItemText(orvane::kEffects[i].controlId, orvane::g_strEffect[i]);
    return TRUE;
}

BOOL EffectSetDlg::OnCommand(UINT notifyCode, UINT id, HWND control) {
    if (notifyCode == BN_CLICKED) {
        for (const orvane::EffectEntry& effect : orvane::kEffects) {
            if (effect.controlId != static_cast<int>(id)) continue;
            ::SetEffectType(effect.code);
            if (auto* main = dynamic_cast<COrvaneDlg*>(AfxGetMainWnd())) main->SelectEffect(effect.code);
            return TRUE;
        }
    }
    return CDialog::OnCommand(notifyCode, id, control);
}

// The radio buttons draw themselves; the panel has nothing of its own.
void EffectSetDlg::OnPaint() { CPaintDC dc(m_hWnd); }
