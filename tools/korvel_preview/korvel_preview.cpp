// Shows a capture device through Korvel, calling its exports in the order
// the capture application does: list devices, choose one, build the preview,
// host it in the window, run. Argument: the device index (default 0).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "capture_engine/korvel.h"

namespace {

const wchar_t kWindowClass[] = L"TalvoroKorvelPreview";

// The index-th line of a device-name list, for the title.
std::wstring NameAt(const wchar_t* names, int index) {
    std::wstring list(names);
    size_t start = 0;
    for (int i = 0; i < index && start != std::wstring::npos; ++i) {
        start = list.find(L'\n', start);
        if (start != std::wstring::npos) ++start;
    }
    if (start == std::wstring::npos || start >= list.size()) return L"";
    return list.substr(start, list.find(L'\n', start) - start);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE: {
        RECT rect = {0, 0, LOWORD(lp), HIWORD(lp)};
        SetWindowPosition(&rect);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool StartPreview(HWND window, int device) {
    unsigned short count = 0;
    wchar_t names[KORVEL_DEVICE_LIST_UNITS] = {};
    GetCaptureVideoDev(&count, names);
    if (device >= count) {
        std::fprintf(stderr, "no video capture device %d (%u listed)\n", device, count);
        return false;
    }
    SetWindowTextW(window, (L"Korvel preview - " + NameAt(names, device)).c_str());
    SetAudioDevice(0);
    SetVideoDevice(device);
    DeleteVideoDevice();
    if (!RunPreview()) {
        std::fprintf(stderr, "RunPreview failed\n");
        return false;
    }
    RECT client;
    GetClientRect(window, &client);
    SetPlayWindow(window);
    SetWindowPosition(&client);
    if (!RunGraph()) {
        std::fprintf(stderr, "RunGraph failed\n");
        return false;
    }
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR cmdLine, int show) {
    Graph_Initialize();
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    HWND window = CreateWindowW(kWindowClass, L"Korvel preview", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                                680, 520, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    const int device = cmdLine && *cmdLine ? std::wcstol(cmdLine, nullptr, 10) : 0;
    int rc = 1;
    if (StartPreview(window, device)) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        rc = 0;
    }
    Graph_Uninitialize();
    return rc;
}
