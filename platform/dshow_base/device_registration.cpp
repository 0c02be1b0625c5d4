#include "dshow_base/com_ptr.h"
#include "dshow_base/filter_registration.h"
#include "dshow_base/register.h"
#include "dshow_base/registry.h"

std::wstring DeviceInstanceKeyPath(REFCLSID category, REFCLSID clsid, LPCWSTR instanceName) {
    return L"CLSID\\" + GuidString(category) + L"\\Instance\\" +
           (instanceName ? std::wstring(instanceName) : GuidString(clsid));
}

HRESULT RegisterDeviceInstance(REFCLSID category, REFCLSID clsid, LPCWSTR instanceName, LPCWSTR friendlyName,
                               const AMOVIESETUP_FILTER* setup, DWORD merit) {
    return RegisterFilterEntry(clsid, friendlyName, &category, instanceName, setup, merit);
}

HRESULT UnregisterDeviceInstance(REFCLSID category, REFCLSID clsid, LPCWSTR instanceName) {
    return UnregisterFilterEntry(clsid, &category, instanceName);
}

HRESULT RegisterDeviceInstanceWithoutFriendlyName(REFCLSID category, REFCLSID clsid, LPCWSTR instanceName,
                                                  const AMOVIESETUP_FILTER* setup, DWORD merit) {
    // The mapper writes FilterData in the system's own format; only the name goes.
    const std::wstring placeholder = instanceName ? instanceName : GuidString(clsid);
    RETURN_IF_FAILED(RegisterFilterEntry(clsid, placeholder.c_str(), &category, instanceName, setup, merit));
    // The key must be where the system device enumerator reads it; a missing
    // key means the mapper stored the entry elsewhere, and that is an error.
    RegKey key;
    const std::wstring path = DeviceInstanceKeyPath(category, clsid, instanceName);
    LONG err = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_SET_VALUE, key.Put());
    if (err == ERROR_SUCCESS) err = RegDeleteValueW(key.Get(), L"FriendlyName");
    return HRESULT_FROM_WIN32(static_cast<unsigned long>(err));
}
