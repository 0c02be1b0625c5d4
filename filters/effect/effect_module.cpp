// The EffectFilter.ax module: class factory table and registration. Hosts
// add the filter to their graphs by class; intelligent connect never picks it.
#include "dshow_base/streams.h"
#include "filters/effect/effect_filter.h"

namespace {

const AMOVIESETUP_MEDIATYPE kVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};
const AMOVIESETUP_MEDIATYPE kRgb24 = {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB24};

const AMOVIESETUP_PIN kPins[] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kVideo},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kRgb24},
};

const AMOVIESETUP_FILTER kSetup = {&CLSID_EffectFilter, L"Effect Filter", MERIT_DO_NOT_USE, 2, kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {L"Effect Filter", &CLSID_EffectFilter, effect_filter::CEffectFilter::CreateInstance, nullptr, &kSetup},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }
STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
