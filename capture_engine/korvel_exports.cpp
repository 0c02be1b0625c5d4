// The flat interface: one engine object per process behind 33 exports that
// turn HRESULTs into 1 or 0. Nothing but that int leaves the library: no
// exception, no error code, no pointer of ours.
#include "capture_engine/korvel.h"

#include <new>

#include "capture_engine/device_routines.h"
#include "capture_engine/export_result.h"
#include "capture_engine/graph_manage.h"

namespace {

CGraphManage* g_engine = nullptr;
// CoUninitialize only balances the CoInitialize calls of ours that succeeded.
int g_comInitializations = 0;

int Flag(HRESULT hr) { return ExportFlag(hr); }

// Runs an operation on the engine; without one (before Graph_Initialize,
// after Graph_Uninitialize or a failed allocation) the answer is 0.
template <typename Operation>
int OnEngine(Operation operation) {
    return OnEngineExport(g_engine, operation);
}

// The same for the operations whose answer is always 1 with an engine.
template <typename Operation>
int OnEngineAlways(Operation operation) {
    return OnEngine([&](CGraphManage& engine) {
        operation(engine);
        return S_OK;
    });
}

int DeviceList(REFCLSID category, unsigned short* count, wchar_t* names) {
    try {
        return Flag(device_routines::EnumerateDeviceNames(category, count, names, KORVEL_DEVICE_LIST_UNITS));
    } catch (...) {
        return 0;
    }
}

}  // namespace

int WINAPI Graph_Initialize() {
    if (SUCCEEDED(CoInitialize(nullptr))) ++g_comInitializations;
    if (!g_engine) g_engine = new (std::nothrow) CGraphManage;
    return 1;
}

int WINAPI Graph_Uninitialize() {
    delete g_engine;
    g_engine = nullptr;
    for (; g_comInitializations > 0; --g_comInitializations) CoUninitialize();
    return 1;
}

int WINAPI GetCaptureVideoDev(unsigned short* count, wchar_t* names) {
    return DeviceList(CLSID_VideoInputDeviceCategory, count, names);
}

int WINAPI GetCaptureAudioDev(unsigned short* count, wchar_t* names) {
    return DeviceList(CLSID_AudioInputDeviceCategory, count, names);
}

int WINAPI SetVideoDevice(int index) {
    return OnEngineAlways([&](CGraphManage& e) { e.SetVideoDevice(index); });
}

int WINAPI SetAudioDevice(int index) {
    return OnEngineAlways([&](CGraphManage& e) { e.SetAudioDevice(index); });
}

int WINAPI DeleteVideoDevice() {
    return OnEngineAlways([](CGraphManage& e) { e.DeleteVideoDevice(); });
}

int WINAPI TearDownGraph() {
    return OnEngineAlways([](CGraphManage& e) { e.TearDownGraph(); });
}

int WINAPI RunPreview() {
    return OnEngine([](CGraphManage& e) { return e.RunPreview(); });
}

int WINAPI RunPreviewEx() {
    return OnEngine([](CGraphManage& e) { return e.RunPreviewEx(); });
}

int WINAPI RunGraph() {
    return OnEngine([](CGraphManage& e) { return e.RunGraph(); });
}

int WINAPI StopGraph() {
    return OnEngine([](CGraphManage& e) { return e.StopGraph(); });
}

int WINAPI SetPlayWindow(HWND window) {
    return OnEngine([&](CGraphManage& e) { return e.SetPlayWindow(window); });
}

int WINAPI SetWindowPosition(const RECT* rect) {
    if (!rect) return 0;
    return OnEngine([&](CGraphManage& e) { return e.SetWindowPosition(*rect); });
}

int WINAPI GetVideoSize(int* count, int* currentIndex, tag_VideoSize* sizes) {
    return OnEngine([&](CGraphManage& e) { return e.GetVideoSize(count, currentIndex, sizes); });
}

int WINAPI SetVideoSize(const tag_VideoSize* size) {
    if (!size) return 0;
    return OnEngine([&](CGraphManage& e) { return e.SetVideoSize(*size); });
}

int WINAPI SetVideoSizeEx(const tag_VideoSize* captureSize, const tag_VideoSize* outputSize) {
    if (!captureSize || !outputSize) return 0;
    return OnEngine([&](CGraphManage& e) { return e.SetVideoSizeEx(*captureSize, *outputSize); });
}

int WINAPI RunRecord(const wchar_t* fileName, int format, int mpegQuality, int withAudio) {
    return OnEngine([&](CGraphManage& e) { return e.RunRecord(fileName, format, mpegQuality, withAudio); });
}

int WINAPI StopRecord() {
    return OnEngineAlways([](CGraphManage& e) { e.StopRecord(); });
}

int WINAPI CaptureBitmap(const wchar_t* fileName, int bitmap, int quality) {
    return OnEngine([&](CGraphManage& e) { return e.CaptureBitmap(fileName, bitmap, quality); });
}

int WINAPI ShowVideoCpaturePropertyPage(HWND owner) {
    return OnEngine([&](CGraphManage& e) { return e.ShowVideoCapturePropertyPage(owner); });
}

int WINAPI ShowAudioCapturePropertyPage(HWND owner) {
    return OnEngine([&](CGraphManage& e) { return e.ShowAudioCapturePropertyPage(owner); });
}

int WINAPI RenderMediaFile(const wchar_t* fileName) {
    return OnEngine([&](CGraphManage& e) { return e.RenderMediaFile(fileName); });
}

int WINAPI RunGraph2() {
    return OnEngine([](CGraphManage& e) { return e.RunGraph2(); });
}

int WINAPI PauseGraph2() {
    return OnEngine([](CGraphManage& e) { return e.PauseGraph2(); });
}

int WINAPI StopGraph2() {
    return OnEngine([](CGraphManage& e) { return e.StopGraph2(); });
}

int WINAPI SetPlayWindow2(HWND window) {
    return OnEngine([&](CGraphManage& e) { return e.SetPlayWindow2(window); });
}

int WINAPI SetPlayWindowPosition2(const RECT* rect) {
    if (!rect) return 0;
    return OnEngine([&](CGraphManage& e) { return e.SetPlayWindowPosition2(*rect); });
}

int WINAPI TearDownGraph2() {
    return OnEngine([](CGraphManage& e) { return e.TearDownGraph2(); });
}

int WINAPI GetStopTime2(int* seconds) {
    return OnEngine([&](CGraphManage& e) { return e.GetStopTime2(seconds); });
}

int WINAPI GetCurTime2(int* seconds) {
    return OnEngine([&](CGraphManage& e) { return e.GetCurTime2(seconds); });
}

int WINAPI SetCurTime2(int currentSeconds, int stopSeconds) {
    return OnEngine([&](CGraphManage& e) { return e.SetCurTime2(currentSeconds, stopSeconds); });
}

int WINAPI GetEventCode2(long* eventCode) {
    return OnEngine([&](CGraphManage& e) { return e.GetEventCode2(eventCode); });
}
