// The SystemFilters.ax module: class factory table and registration of the
// stand-ins. Both register only where the platform lacks the real filter.
#include "dshow_base/streams.h"
#include "system_filters/colour_converter.h"
#include "system_filters/inf_tee.h"

namespace {

using system_filters::CColourConverter;
using system_filters::CInfTee;

const AMOVIESETUP_MEDIATYPE kAnyType = {&MEDIATYPE_NULL, &MEDIASUBTYPE_NULL};
const AMOVIESETUP_MEDIATYPE kAnyVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};

const AMOVIESETUP_PIN kTeePins[] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyType},
    {L"Output", FALSE, TRUE, FALSE, TRUE, &CLSID_NULL, nullptr, 1, &kAnyType},
};

// Video/any subtype on both pins: intelligent connect then tries the
// converter between any video output and any video input, and the pins'
// own checks pick the pairs it can do.
const AMOVIESETUP_PIN kConverterPins[] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyVideo},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyVideo},
};

const AMOVIESETUP_FILTER kTeeSetup = {
    &CLSID_InfTee, L"Infinite Pin Tee Filter", MERIT_DO_NOT_USE, 2, kTeePins,
    nullptr, nullptr, AMSETUP_ONLY_IF_NOT_REGISTERED};

// The documented merit of the system converter.
const AMOVIESETUP_FILTER kConverterSetup = {
    &CLSID_Colour, L"Color Space Converter", MERIT_UNLIKELY, 2, kConverterPins,
    nullptr, nullptr, AMSETUP_ONLY_IF_NOT_REGISTERED};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {L"Infinite Pin Tee Filter", &CLSID_InfTee, CInfTee::CreateInstance, nullptr, &kTeeSetup},
    {L"Color Space Converter", &CLSID_Colour, CColourConverter::CreateInstance, nullptr,
     &kConverterSetup},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }
STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
