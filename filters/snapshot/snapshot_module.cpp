// The Snapshot.ax module: class factory table and registration of the
// snapshot filter. It is never picked by intelligent connect on its own;
// hosts add it to their graphs by class.
#include "dshow_base/streams.h"
#include "filters/snapshot/snapshot_filter.h"

namespace {

using snapshot::CSnapshotFilter;

const AMOVIESETUP_MEDIATYPE kAnyVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};

const AMOVIESETUP_PIN kPins[] = {
    {L"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyVideo},
    {L"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyVideo},
};

const AMOVIESETUP_FILTER kSetup = {
    &CLSID_SnapshotFilter, L"Talvoro Snapshot Filter", MERIT_DO_NOT_USE, 2, kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {L"Talvoro Snapshot Filter", &CLSID_SnapshotFilter, CSnapshotFilter::CreateInstance, nullptr, &kSetup},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }
STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
