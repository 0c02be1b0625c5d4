// TalvoroPelloquin.ax: the virtual webcam device's class and its entry among
// the video capture devices, under the name programs show to their users.
#include "dshow_base/streams.h"
#include "filters/virtual_camera/virtual_camera_filter.h"
#include "filters/virtual_camera/virtual_camera_ids.h"

namespace {

const AMOVIESETUP_MEDIATYPE kVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};

const AMOVIESETUP_PIN kPins[] = {
    {L"Capture", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kVideo},
};

AMOVIESETUP_FILTER MakeSetup() {
    AMOVIESETUP_FILTER setup = {&CLSID_VirtualCamera, kVirtualCameraName, MERIT_DO_NOT_USE, 1, kPins};
    setup.category = &CLSID_VideoInputDeviceCategory;
    return setup;
}

const AMOVIESETUP_FILTER kSetup = MakeSetup();

}  // namespace

CFactoryTemplate g_Templates[] = {
    {kVirtualCameraName, &CLSID_VirtualCamera, virtual_camera::CVirtualCamera::CreateInstance, nullptr, &kSetup},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }
STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
