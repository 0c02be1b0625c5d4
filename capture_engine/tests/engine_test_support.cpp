#include "engine_test_support.h"

#include <cstdlib>
#include <cstring>

#include "test_devices/test_device_client.h"

namespace korvel_test {

void EngineTest::SetUp() { ASSERT_EQ(Graph_Initialize(), 1); }

void EngineTest::TearDown() {
    EXPECT_EQ(Graph_Uninitialize(), 1);
    test_devices::ConfigureTestDevices(nullptr);
}

namespace {

const wchar_t kWindowClass[] = L"KorvelTestWindow";

void RegisterWindowClass(WNDPROC proc) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    registered = RegisterClassW(&wc) != 0;
}

}  // namespace

LRESULT CALLBACK TestWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == KORVEL_WM_GRAPH_NOTIFY && self) ++self->notifications_;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TestWindow::TestWindow(int width, int height) {
    RegisterWindowClass(WindowProc);
    RECT r = {0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    hwnd_ = CreateWindowW(kWindowClass, L"Korvel test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                          r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (hwnd_) ShowWindow(hwnd_, SW_SHOW);
}

TestWindow::~TestWindow() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

CLSID ClassComCreates(REFCLSID clsid) {
    CLSID actual;
    return CoGetTreatAsClass(clsid, &actual) == S_OK ? actual : clsid;
}

ClassSpy::ClassSpy(REFCLSID clsid) {
    const CLSID actual = ClassComCreates(clsid);
    result_ = CoGetClassObject(actual, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, real_.PutVoid());
    if (SUCCEEDED(result_))
        result_ = CoRegisterClassObject(actual, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

ClassSpy::~ClassSpy() {
    if (cookie_) CoRevokeClassObject(cookie_);
}

STDMETHODIMP ClassSpy::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP ClassSpy::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    const HRESULT hr = real_->CreateInstance(outer, riid, ppv);
    if (SUCCEEDED(hr) && !outer) {
        ++created_;
        static_cast<IUnknown*>(*ppv)->QueryInterface(IID_IBaseFilter, last_.PutVoid());
    }
    return hr;
}

STDMETHODIMP ClassSpy::LockServer(BOOL lock) { return real_->LockServer(lock); }

std::wstring OutputPath(const wchar_t* fileName) {
    const char* dir = std::getenv("WEBCAM_TEST_OUT");
    std::wstring path;
    if (dir) {
        path.assign(dir, dir + std::strlen(dir));
    } else {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = temp;
        if (!path.empty() && path.back() == L'\\') path.pop_back();
    }
    return path + L"\\" + fileName;
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace korvel_test
