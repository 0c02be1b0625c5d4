#include "filters/virtual_camera/tests/virtual_camera_registration.h"

namespace virtual_camera_test {

namespace {

std::wstring ModuleDir() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, length);
    dir.erase(dir.find_last_of(L"\\/"));
    return dir;
}

}  // namespace

std::wstring ScopedVirtualCamera::ModulePath() {
    return ModuleDir() + L"\\..\\virtual_webcam\\TalvoroPelloquin.ax";
}

ScopedVirtualCamera::ScopedVirtualCamera() {
    const HRESULT com = CoInitialize(nullptr);
    module_ = LoadLibraryW(ModulePath().c_str());
    result_ = module_ ? Call("DllRegisterServer") : HRESULT_FROM_WIN32(GetLastError());
    if (SUCCEEDED(com)) CoUninitialize();
}

ScopedVirtualCamera::~ScopedVirtualCamera() {
    if (!module_) return;
    const HRESULT com = CoInitialize(nullptr);
    Call("DllUnregisterServer");
    if (SUCCEEDED(com)) CoUninitialize();
    // Left loaded: filters of it may still be alive in the process's graphs.
}

HRESULT ScopedVirtualCamera::Call(const char* entry) const {
    using Entry = HRESULT(STDAPICALLTYPE*)();
    const auto function = reinterpret_cast<Entry>(GetProcAddress(module_, entry));
    return function ? function() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

}  // namespace virtual_camera_test
