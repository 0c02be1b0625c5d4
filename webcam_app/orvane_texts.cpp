#include "webcam_app/orvane_texts.h"

#include <cstdlib>
#include <string>

#include "app_toolkit/ansi_text.h"
#include "app_toolkit/ini_file.h"
#include "app_toolkit/module_paths.h"
#include "app_toolkit/read_ini_string.h"
#include "webcam_app/resource.h"

namespace orvane {

const EffectEntry kEffects[kEffectCount] = {
    {IDC_EFFECT_MOSAIC, "Mosaic", 1},     {IDC_EFFECT_DRAWRECT, "DrawRect", 2},
    {IDC_EFFECT_EMBOSS, "Emboss", 3},     {IDC_EFFECT_SPREAD, "Spread", 4},
    {IDC_EFFECT_INVERT, "Invert", 5},     {IDC_EFFECT_MIRROR, "MagicalMirror", 6},
    {IDC_EFFECT_GRAY, "Gray", 7},         {IDC_EFFECT_ELLIPSE, "Ellipse", 8},
    {IDC_EFFECT_WALL, "Wall", 9},         {IDC_EFFECT_IMPACT, "Impact", 10},
    {IDC_EFFECT_PUNCH, "Punch", 11},      {IDC_EFFECT_TWIRL, "Twirl", 12},
    {IDC_EFFECT_NOISE, "Noise", 13},      {IDC_EFFECT_JITTER, "Jitter", 14},
    {IDC_EFFECT_PINCH, "Pinch", 15},      {IDC_EFFECT_CYLINDER, "Cylinder", 16},
    {IDC_EFFECT_EQUALIZE, "Equalize", 17}, {IDC_EFFECT_ROTATEX, "RotateX", 18},
    {IDC_EFFECT_ROTATEY, "RotateY", 19},  {IDC_EFFECT_ROTATEZ, "RotateZ", 20},
    {IDC_EFFECT_FACETRACE, "FaceTrace", 21},
};

CString g_strTooltip[kTooltipCount];
CString g_strEffect[kEffectCount];
int g_nStoredSkin = 0;

namespace {

const char* const kTooltipKeys[kTooltipCount] = {"Close", "Magical", "PictureFrame", "Effect", "Add",
                                                 "Sub",   "On",      "Skin",         "TopMost"};

int ReadStoredSkin(const CString& folder) {
    CIniFile config(WideToAnsiFitting(folder + L"\\config.ini", 260));
    if (!config.Load()) return 0;
    char value[200] = "";
    config.GetValue("respathtype", "path", value);
    return std::atoi(value);
}

// Runs while the statics are made: every text read with a load of its own.
struct StartupReader {
    StartupReader() {
        const CString folder = GetModuleDir();
        const CString resource = folder + L"\\Resource.ini";
        for (int i = 0; i < kTooltipCount; ++i) ReadIniString(resource, "tooltip", kTooltipKeys[i], g_strTooltip[i]);
        for (int i = 0; i < kEffectCount; ++i) ReadIniString(resource, "Effect", kEffects[i].key, g_strEffect[i]);
        g_nStoredSkin = ReadStoredSkin(folder);
    }
};

}  // namespace

bool WriteSkinConfig(const CString& folder, int skin) {
    CIniFile config(WideToAnsiFitting(folder + L"\\config.ini", 260));
    config.SetValue(std::to_string(skin), "path", "respathtype");
    return config.Save();
}

}  // namespace orvane

// After the strings above are made: same unit, so their order is fixed.
static orvane::StartupReader g_startupReader;
