// Shows the first video capture device (or the one named on the command line)
// in a window, through whatever the graph manager's intelligent connect puts
// between the device and the default video renderer.
#include <windows.h>
#include <dshow.h>

#include <cstdio>
#include <string>

#include "dshow_base/com_ptr.h"

namespace {

const wchar_t kWindowClass[] = L"TalvoroPreviewDemo";

HRESULT FindDevice(const std::wstring& wanted, ComPtr<IBaseFilter>* device, std::wstring* name) {
    ComPtr<ICreateDevEnum> devEnum;
    RETURN_IF_FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ICreateDevEnum, devEnum.PutVoid()));
    ComPtr<IEnumMoniker> monikers;
    HRESULT hr = devEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.Put(), 0);
    if (hr != S_OK) return VFW_E_NOT_FOUND;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) continue;
        VARIANT v;
        VariantInit(&v);
        std::wstring friendly;
        if (SUCCEEDED(bag->Read(L"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR) friendly = v.bstrVal;
        VariantClear(&v);
        if (!wanted.empty() && friendly != wanted) continue;
        *name = friendly;
        return moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, device->PutVoid());
    }
    return VFW_E_NOT_FOUND;
}

HRESULT FirstOutputPin(IBaseFilter* filter, ComPtr<IPin>* out) {
    ComPtr<IEnumPins> pins;
    RETURN_IF_FAILED(filter->EnumPins(pins.Put()));
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION dir;
        if (SUCCEEDED(pin->QueryDirection(&dir)) && dir == PINDIR_OUTPUT) {
            *out = pin;
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

struct Preview {
    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IVideoWindow> video;
};

HRESULT StartPreview(HWND window, const std::wstring& deviceName, Preview* p) {
    RETURN_IF_FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                      p->graph.PutVoid()));
    ComPtr<IBaseFilter> device;
    std::wstring name;
    HRESULT hr = FindDevice(deviceName, &device, &name);
    if (FAILED(hr)) {
        std::fprintf(stderr, "no video capture device found (0x%08lx)\n", hr);
        return hr;
    }
    SetWindowTextW(window, (L"Preview - " + name).c_str());
    RETURN_IF_FAILED(p->graph->AddFilter(device.Get(), L"Video Capture"));
    // The GDI video renderer: its picture is part of the window's pixels, so a
    // screenshot of the display shows it (a Direct3D renderer's may not be).
    ComPtr<IBaseFilter> renderer;
    RETURN_IF_FAILED(CoCreateInstance(CLSID_VideoRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                      renderer.PutVoid()));
    RETURN_IF_FAILED(p->graph->AddFilter(renderer.Get(), L"Video Render"));
    ComPtr<IPin> out;
    RETURN_IF_FAILED(FirstOutputPin(device.Get(), &out));
    RETURN_IF_FAILED(p->graph->Render(out.Get()));
    RETURN_IF_FAILED(p->graph->QueryInterface(IID_IVideoWindow, p->video.PutVoid()));
    RETURN_IF_FAILED(p->video->put_Owner(reinterpret_cast<OAHWND>(window)));
    RETURN_IF_FAILED(p->video->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS));
    RECT rc;
    GetClientRect(window, &rc);
    p->video->SetWindowPosition(0, 0, rc.right, rc.bottom);
    RETURN_IF_FAILED(p->graph->QueryInterface(IID_IMediaControl, p->control.PutVoid()));
    RETURN_IF_FAILED(p->control->Run());
    return p->video->put_Visible(OATRUE);
}

Preview* g_preview = nullptr;  // the demo has exactly one window

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (g_preview && g_preview->video) g_preview->video->SetWindowPosition(0, 0, LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR cmdLine, int show) {
    CoInitialize(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    HWND window = CreateWindowW(kWindowClass, L"Preview", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 680, 520,
                                nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    int rc = 0;
    {
        Preview preview;
        g_preview = &preview;
        HRESULT hr = StartPreview(window, cmdLine ? cmdLine : L"", &preview);
        if (FAILED(hr)) {
            std::fprintf(stderr, "preview failed: 0x%08lx\n", hr);
            rc = 1;
        } else {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            preview.control->Stop();
            preview.video->put_Visible(OAFALSE);
            preview.video->put_Owner(0);
        }
        g_preview = nullptr;
    }
    CoUninitialize();
    return rc;
}
