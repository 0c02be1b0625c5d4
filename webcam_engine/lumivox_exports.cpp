// The flat interface: one engine object per process behind eleven exports
// that turn HRESULTs into 1 or 0. Nothing but that int leaves the library.
#include "webcam_engine/lumivox.h"

#include <new>

#include "capture_engine/device_routines.h"
#include "capture_engine/export_result.h"
#include "webcam_engine/graph_manage.h"

namespace {

CGraphManage* g_engine = nullptr;
// CoUninitialize only balances the CoInitialize calls of ours that succeeded.
int g_comInitializations = 0;

int Flag(HRESULT hr) { return ExportFlag(hr); }

// Runs an operation on the engine; without one the answer is 0.
template <typename Operation>
int OnEngine(Operation operation) {
    return OnEngineExport(g_engine, operation);
}

}  // namespace

int WINAPI Initialize_Lumivox() {
    if (SUCCEEDED(CoInitialize(nullptr))) ++g_comInitializations;
    if (!g_engine) {
        try {
            g_engine = new (std::nothrow) CGraphManage;
        } catch (...) {
            g_engine = nullptr;
        }
    }
    return 1;
}

int WINAPI Unintialize_Lumivox() {
    delete g_engine;
    g_engine = nullptr;
    for (; g_comInitializations > 0; --g_comInitializations) CoUninitialize();
    return 1;
}

int WINAPI GetVideoCaptureDev(unsigned short* count, wchar_t* names) {
    try {
        return Flag(device_routines::EnumerateDeviceNames(CLSID_VideoInputDeviceCategory, count, names,
                                                          LUMIVOX_DEVICE_LIST_UNITS));
    } catch (...) {
        return 0;
    }
}

int WINAPI RenderDevice(int index) {
    return OnEngine([&](CGraphManage& e) { return e.RenderDevice(index); });
}

int WINAPI GetVideoSize(int* count, int* currentIndex, tag_VideoSize* sizes) {
    return OnEngine([&](CGraphManage& e) { return e.GetVideoSize(count, currentIndex, sizes); });
}

int WINAPI SetVideoSize(const tag_VideoSize* size) {
    if (!size) return 0;
    return OnEngine([&](CGraphManage& e) { return e.SetVideoSize(*size); });
}

int WINAPI SetEffectType(int code) {
    return OnEngine([&](CGraphManage& e) {
        return e.OnEffect([&](IEffectControl* effect) { return effect->SetEffectType(code); });
    });
}

int WINAPI SetStaticFrame(const wchar_t* fileName, int value1, int value2) {
    return OnEngine([&](CGraphManage& e) {
        return e.OnEffect([&](IEffectControl* effect) { return effect->SetStaticFrame(fileName, value1, value2); });
    });
}

int WINAPI SetGifFrame(const wchar_t* fileName, int value1, int value2) {
    return OnEngine([&](CGraphManage& e) {
        return e.OnEffect([&](IEffectControl* effect) { return effect->SetGifFrame(fileName, value1, value2); });
    });
}

int WINAPI SetFlashFrame(const wchar_t* fileName, int value1, int value2) {
    return OnEngine([&](CGraphManage& e) {
        return e.OnEffect([&](IEffectControl* effect) { return effect->SetFlashFrame(fileName, value1, value2); });
    });
}

int WINAPI GetFirstFrame(const wchar_t* fileName, int width, int height, BYTE* buffer, int red, int green,
                         int blue) {
    return OnEngine([&](CGraphManage& e) {
        return e.OnEffect([&](IEffectControl* effect) {
            return effect->GetFirstFrame(fileName, width, height, buffer, red, green, blue);
        });
    });
}
