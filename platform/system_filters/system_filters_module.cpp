// The SystemFilters.ax module: class factory table and registration of the
// stand-ins. Each registers only where the platform lacks the real filter.
//
//   regsvr32 SystemFilters.ax                              register
//   regsvr32 /n /i:take-over:avimux SystemFilters.ax       serve CLSID_AviDest even
//                                                          where another module does
//   regsvr32 /u /n /i:take-over:avimux SystemFilters.ax    give it back
//   regsvr32 /u SystemFilters.ax                           give back, unregister
#include <cwchar>

#include "dshow_base/com_apartment.h"
#include "dshow_base/streams.h"
#include "system_filters/avi_mux.h"
#include "system_filters/class_takeover.h"
#include "system_filters/colour_converter.h"
#include "system_filters/inf_tee.h"

namespace {

using system_filters::CAviMux;
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

const AMOVIESETUP_MEDIATYPE kMuxInputTypes[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_NULL},
                                               {&MEDIATYPE_Audio, &MEDIASUBTYPE_NULL}};
const AMOVIESETUP_MEDIATYPE kMuxOutputType = {&MEDIATYPE_Stream, &MEDIASUBTYPE_Avi};
const AMOVIESETUP_PIN kMuxPins[] = {
    {L"Input 01", FALSE, FALSE, FALSE, TRUE, &CLSID_NULL, nullptr, 2, kMuxInputTypes},
    {L"AVI Out", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kMuxOutputType},
};

const AMOVIESETUP_FILTER kTeeSetup = {
    &CLSID_InfTee, L"Infinite Pin Tee Filter", MERIT_DO_NOT_USE, 2, kTeePins,
    nullptr, nullptr, AMSETUP_ONLY_IF_NOT_REGISTERED};

// The documented merit of the system converter.
const AMOVIESETUP_FILTER kConverterSetup = {
    &CLSID_Colour, L"Color Space Converter", MERIT_UNLIKELY, 2, kConverterPins,
    nullptr, nullptr, AMSETUP_ONLY_IF_NOT_REGISTERED};

const AMOVIESETUP_FILTER kMuxSetup = {
    &CLSID_AviDest, L"AVI Mux", MERIT_DO_NOT_USE, 2, kMuxPins,
    nullptr, nullptr, AMSETUP_ONLY_IF_NOT_REGISTERED};

// Classes a prefix owner may take over by name (DllInstall).
struct TakeOverName {
    const wchar_t* name;
    const CLSID* clsid;
};
const TakeOverName kTakeOverNames[] = {{L"avimux", &CLSID_AviDest}};
const wchar_t kTakeOverPrefix[] = L"take-over:";

const CLSID* TakeOverClassNamed(LPCWSTR text) {
    const size_t prefix = std::wcslen(kTakeOverPrefix);
    if (!text || std::wcsncmp(text, kTakeOverPrefix, prefix) != 0) return nullptr;
    for (const TakeOverName& entry : kTakeOverNames) {
        if (std::wcscmp(text + prefix, entry.name) == 0) return entry.clsid;
    }
    return nullptr;
}

HRESULT GiveBackEverything() {
    for (const TakeOverName& entry : kTakeOverNames) RETURN_IF_FAILED(system_filters::GiveBackClass(*entry.clsid));
    return S_OK;
}

}  // namespace

CFactoryTemplate g_Templates[] = {
    {L"Infinite Pin Tee Filter", &CLSID_InfTee, CInfTee::CreateInstance, nullptr, &kTeeSetup},
    {L"Color Space Converter", &CLSID_Colour, CColourConverter::CreateInstance, nullptr,
     &kConverterSetup},
    {L"AVI Mux", &CLSID_AviDest, CAviMux::CreateInstance, nullptr, &kMuxSetup},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

// A taken-over class keeps the registration of the module it was taken
// from: only its server changed, and giving it back restores just that.
STDAPI DllRegisterServer() {
    const std::wstring path = ModulePath();
    if (path.empty()) return E_FAIL;
    ComApartment com;
    for (int i = 0; i < g_cTemplates; ++i) {
        if (system_filters::IsTakenOver(*g_Templates[i].m_ClsID)) continue;
        RETURN_IF_FAILED(RegisterTemplate(g_Templates[i], path.c_str()));
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    RETURN_IF_FAILED(GiveBackEverything());
    return AMovieDllRegisterServer2(FALSE);
}

// install TRUE takes the named class over, FALSE gives it back.
STDAPI DllInstall(BOOL install, LPCWSTR text) {
    const CLSID* clsid = TakeOverClassNamed(text);
    if (!clsid) return E_INVALIDARG;
    if (!install) return system_filters::GiveBackClass(*clsid);
    const std::wstring path = ModulePath();
    return path.empty() ? E_FAIL : system_filters::TakeOverClass(*clsid, path.c_str());
}
