// Orvane's interface texts (Resource.ini) and stored skin choice
// (config.ini), read once while the program's statics are made, before
// the application object runs.
#pragma once

#include "dialog_framework/wide_string.h"

namespace orvane {

// Keys of section "tooltip", in the order of kTooltipKeys.
enum TooltipSlot { kTipClose, kTipMagical, kTipPictureFrame, kTipEffect, kTipAdd, kTipSub, kTipOn, kTipSkin,
                   kTipTopMost, kTooltipCount };

struct EffectEntry {
    int controlId;
    const char* key;  // section "Effect"
    int code;         // what SetEffectType receives
};
inline constexpr int kEffectCount = 21;
extern const EffectEntry kEffects[kEffectCount];

// Filled at static initialisation; empty where the file has no value.
extern CString g_strTooltip[kTooltipCount];
extern CString g_strEffect[kEffectCount];
// The skin index config.ini held at start (0 when absent).
extern int g_nStoredSkin;

// Writes config.ini anew with the one key "respathtype" of section "path".
bool WriteSkinConfig(const CString& folder, int skin);

}  // namespace orvane
