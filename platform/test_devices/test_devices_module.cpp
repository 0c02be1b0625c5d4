// TestDevices.ax: the class table and the registration entry points.
//
//   regsvr32 TestDevices.ax                 classes + the default device set
//   regsvr32 /n /i:"cameras=2;..." TestDevices.ax   another device set
//   regsvr32 /n /i:default TestDevices.ax   back to the default set
//   regsvr32 /u TestDevices.ax              everything removed
#include <windows.h>

#include "dshow_base/factory.h"
#include "dshow_base/register.h"
#include "test_devices/camera_filter.h"
#include "test_devices/camera_property_page.h"
#include "test_devices/device_store.h"
#include "test_devices/microphone_filter.h"

namespace {

using test_devices::kCameraClsids;
using test_devices::kMicrophoneClsids;

template <int Index>
CUnknown* WINAPI CreateCamera(LPUNKNOWN outer, HRESULT* phr) {
    return test_devices::CTestCamera::CreateInstance(Index, outer, phr);
}

template <int Index>
CUnknown* WINAPI CreateMicrophone(LPUNKNOWN outer, HRESULT* phr) {
    return test_devices::CTestMicrophone::CreateInstance(Index, outer, phr);
}

}  // namespace

// Classes only: the device entries in the capture categories come from the
// configured set (device_store.h), not from this table.
#define CAMERA_CLASS(i) {L"Talvoro Test Camera", &kCameraClsids[i], CreateCamera<i>, nullptr, nullptr}
#define MICROPHONE_CLASS(i) \
    {L"Talvoro Test Microphone", &kMicrophoneClsids[i], CreateMicrophone<i>, nullptr, nullptr}
#define SIXTEEN(M) M(0), M(1), M(2), M(3), M(4), M(5), M(6), M(7), M(8), M(9), M(10), M(11), \
                   M(12), M(13), M(14), M(15)

CFactoryTemplate g_Templates[] = {
    SIXTEEN(CAMERA_CLASS),
    SIXTEEN(MICROPHONE_CLASS),
    {L"Talvoro Test Camera Property Page", &test_devices::CLSID_TestCameraPropertyPage,
     test_devices::CCameraPropertyPage::CreateInstance, nullptr, nullptr},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

static_assert(sizeof(g_Templates) / sizeof(g_Templates[0]) == 2 * test_devices::kMaxDevicesPerKind + 1,
              "one class per device index and kind, and the page");

STDAPI DllRegisterServer() {
    RETURN_IF_FAILED(AMovieDllRegisterServer2(TRUE));
    return test_devices::InstallDeviceSet(L"default");
}

STDAPI DllUnregisterServer() {
    RETURN_IF_FAILED(test_devices::RemoveDeviceSet());
    return AMovieDllRegisterServer2(FALSE);
}

// install TRUE: replaces the device set by the one `text` describes
// (device_config.h); FALSE: removes every device but keeps the classes.
STDAPI DllInstall(BOOL install, LPCWSTR text) {
    return install ? test_devices::InstallDeviceSet(text) : test_devices::RemoveDeviceSet();
}
