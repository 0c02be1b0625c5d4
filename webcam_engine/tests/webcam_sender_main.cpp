// VirtualWebcamSender.exe: the sending process of the end-to-end tests. It
// drives Lumivox as the virtual webcam application does: the first camera
// that is not the virtual one, then 320x240, then the effect given with
// --effect N. Without a registered effect filter it uses the test's double.
// It sends until it is killed or its stop event is set.
#include <windows.h>
#include <dshow.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "dshow_base/com_ptr.h"
#include "filters/effect/effect_filter_api.h"
#include "webcam_engine/lumivox.h"
#include "webcam_engine/tests/effect_double.h"
#include "webcam_engine/tests/webcam_sender.h"

namespace {

int EffectArgument(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--effect") == 0) return std::atoi(argv[i + 1]);
    }
    return -1;
}

// Index of the first camera in the engine's list that is not the virtual one.
int RealCameraIndex() {
    unsigned short count = 0;
    wchar_t names[LUMIVOX_DEVICE_LIST_UNITS] = {};
    if (!GetVideoCaptureDev(&count, names)) return -1;
    int index = 0;
    for (const wchar_t* name = names; *name; ++index) {
        const wchar_t* end = wcschr(name, L'\n');
        if (!end) break;
        if (std::wstring(name, end) != L"Talvoro Pelloquin") return index;
        name = end + 1;
    }
    return -1;
}

bool EffectFilterRegistered() {
    ComPtr<IBaseFilter> probe;
    return SUCCEEDED(CoCreateInstance(CLSID_EffectFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                      probe.PutVoid()));
}

// Keeps the thread's messages flowing until the stop event is set.
void WaitForStop(HANDLE stop) {
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const int effect = EffectArgument(argc, argv);
    Initialize_Lumivox();
    std::unique_ptr<lumivox_test::ScopedEffectDouble> stand_in;
    if (!EffectFilterRegistered()) stand_in = std::make_unique<lumivox_test::ScopedEffectDouble>();
    const int index = RealCameraIndex();
    if (index < 0 || !RenderDevice(index)) {
        std::fprintf(stderr, "VirtualWebcamSender: RenderDevice(%d) failed\n", index);
        return 2;
    }
    const tag_VideoSize size{320, 240};
    SetVideoSize(&size);
    if (effect >= 0 && !SetEffectType(effect)) std::fprintf(stderr, "VirtualWebcamSender: effect %d refused\n", effect);
    std::printf("VirtualWebcamSender: sending from camera %d%s\n", index, stand_in ? " (effect double)" : "");
    std::fflush(stdout);
    const HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, lumivox_test::kSenderStopEvent);
    WaitForStop(stop);
    CloseHandle(stop);
    stand_in.reset();
    Unintialize_Lumivox();
    return 0;
}
