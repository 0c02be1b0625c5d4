// VideoSend.ax: class factory table and registration of the video send
// filter. Hosts add it by class; intelligent connect never picks it.
#include "dshow_base/streams.h"
#include "filters/video_send/video_send_api.h"
#include "filters/video_send/video_send_filter.h"

namespace {

const AMOVIESETUP_MEDIATYPE kVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};

const AMOVIESETUP_PIN kPins[] = {
    {L"Input", TRUE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kVideo},
};

const AMOVIESETUP_FILTER kSetup = {&CLSID_VideoSendFilter, L"Video Send Filter", MERIT_DO_NOT_USE, 1, kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {L"Video Send Filter", &CLSID_VideoSendFilter, video_send::CVideoSendFilter::CreateInstance, nullptr, &kSetup},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }
STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
