#include "test_devices/test_device_client.h"

#include <string>

#include "test_devices/test_device_ids.h"

namespace test_devices {
namespace {

// The module registered for the test camera class: the one whose devices the
// enumerator lists.
bool RegisteredModulePath(std::wstring* path) {
    wchar_t clsid[40] = {};
    StringFromGUID2(kCameraClsids[0], clsid, 40);
    const std::wstring key = std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32";
    wchar_t value[MAX_PATH] = {};
    DWORD bytes = sizeof(value);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &bytes) != ERROR_SUCCESS) {
        return false;
    }
    *path = value;
    return true;
}

}  // namespace

HRESULT ConfigureTestDevices(LPCWSTR text) {
    std::wstring path;
    if (!RegisteredModulePath(&path)) return REGDB_E_CLASSNOTREG;
    const HMODULE module = LoadLibraryW(path.c_str());
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    using DllInstallFn = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
    const auto install =
        reinterpret_cast<DllInstallFn>(reinterpret_cast<void*>(GetProcAddress(module, "DllInstall")));
    const HRESULT hr = install ? install(TRUE, text ? text : L"default")
                               : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    FreeLibrary(module);
    return hr;
}

}  // namespace test_devices
