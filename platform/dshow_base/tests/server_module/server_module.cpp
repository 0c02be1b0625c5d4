// Template table and registration entry points of the test COM server.
#include <dshow.h>

#include "dshow_base/register.h"
#include "test_thing.h"

namespace {
const AMOVIESETUP_MEDIATYPE kPinTypes[] = {{&MEDIATYPE_TestMajor, &MEDIASUBTYPE_TestMinor}};
const AMOVIESETUP_PIN kPins[] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, kPinTypes},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, kPinTypes},
};
const AMOVIESETUP_FILTER kThingSetup = {&CLSID_TestThing, kTestThingName, MERIT_UNLIKELY, 2, kPins};
const AMOVIESETUP_FILTER kCameraSetup = {&CLSID_TestCamera, kTestCameraName, MERIT_DO_NOT_USE, 1, kPins + 1,
                                         &CLSID_VideoInputDeviceCategory, kTestCameraInstance};
const AMOVIESETUP_FILTER kStandInSetup = {&CLSID_TestStandIn, kTestStandInName, MERIT_DO_NOT_USE, 1, kPins,
                                          nullptr, nullptr, AMSETUP_ONLY_IF_NOT_REGISTERED};
}  // namespace

CFactoryTemplate g_Templates[] = {
    {kTestThingName, &CLSID_TestThing, CTestThing::CreateInstance, CTestThing::InitRoutine, &kThingSetup},
    {kTestCameraName, &CLSID_TestCamera, CTestThing::CreateInstance, nullptr, &kCameraSetup},
    {kTestStandInName, &CLSID_TestStandIn, CTestThing::CreateInstance, nullptr, &kStandInSetup},
    {L"Test Refusing", &CLSID_TestRefusing, CTestThing::CreateRefusing, nullptr, nullptr},
    {L"Test Page", &CLSID_TestPage, CTestPage::CreateInstance, nullptr, nullptr},
    {L"Test Page Classic", &CLSID_TestPageClassic, CTestPage::CreateClassic, nullptr, nullptr},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }
STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
