// The module's class table, filter setup data and registration entry points,
// shared by Pixmorph.ax and Scalvane.ax (names from build_variant.h).
#include <windows.h>

#include "dshow_base/factory.h"
#include "dshow_base/register.h"
#include "filters/pixmorph/PixmorphFilter.h"
#include "filters/pixmorph/build_variant.h"
#include "filters/pixmorph/colorspaceconverter_diagnostics.h"
#include "filters/pixmorph/pixmorph_properties.h"

namespace {

const AMOVIESETUP_MEDIATYPE kPinTypes[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_NULL}};

const AMOVIESETUP_PIN kPins[] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, L"Output", 1, kPinTypes},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, L"Input", 1, kPinTypes},
};

const AMOVIESETUP_FILTER kFilterSetup = {&CLSID_Pixmorph, pixmorph_build::kFriendlyName, MERIT_DO_NOT_USE, 2,
                                         kPins};

// The core's diagnostic reports go where the filter's own assertions go.
void CALLBACK RouteCoreAssertions(BOOL loading, const CLSID*) {
    pixmorph::SetAssertionHandler(loading && pixmorph::kDiagnostics ? DbgAssert : nullptr);
}

}  // namespace

CFactoryTemplate g_Templates[] = {
    {pixmorph_build::kFilterDescription, &CLSID_Pixmorph, CPixmorph::CreateInstance, RouteCoreAssertions,
     &kFilterSetup},
    {pixmorph_build::kPageDescription, &CLSID_PixmorphPropertyPage, CPixmorphProperties::CreateInstance, nullptr,
     nullptr},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }

STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
