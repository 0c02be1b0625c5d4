#include "dshow_base/registry.h"

#include <objbase.h>

namespace {
HRESULT FromWin32(LONG err) { return HRESULT_FROM_WIN32(static_cast<unsigned long>(err)); }
bool IsAbsent(LONG err) { return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND; }
}  // namespace

std::wstring GuidString(REFGUID guid) {
    WCHAR text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT WriteStringValue(HKEY root, const std::wstring& subkey, LPCWSTR name, LPCWSTR value) {
    RegKey key;
    LONG err = RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                               nullptr, key.Put(), nullptr);
    if (err != ERROR_SUCCESS) return FromWin32(err);
    const DWORD bytes = static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(WCHAR));
    err = RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
    return FromWin32(err);
}

bool ReadStringValue(HKEY root, const std::wstring& subkey, LPCWSTR name, std::wstring* value) {
    DWORD bytes = 0;
    // RRF_RT_REG_SZ also accepts REG_EXPAND_SZ and expands it; naming
    // RRF_RT_REG_EXPAND_SZ without RRF_NOEXPAND is an invalid parameter.
    const DWORD flags = RRF_RT_REG_SZ;
    if (RegGetValueW(root, subkey.c_str(), name, flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return false;
    std::wstring text(bytes / sizeof(WCHAR) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(WCHAR));
    if (RegGetValueW(root, subkey.c_str(), name, flags, nullptr, &text[0], &bytes) != ERROR_SUCCESS) return false;
    text.resize(lstrlenW(text.c_str()));
    *value = text;
    return true;
}

HRESULT DeleteKeyTree(HKEY root, const std::wstring& subkey) {
    const LONG err = RegDeleteTreeW(root, subkey.c_str());
    if (err != ERROR_SUCCESS && !IsAbsent(err)) return FromWin32(err);
    // RegDeleteTree empties the key; the key itself goes separately.
    const LONG gone = RegDeleteKeyW(root, subkey.c_str());
    return gone == ERROR_SUCCESS || IsAbsent(gone) ? S_OK : FromWin32(gone);
}

HRESULT DeleteKeyIfEmpty(HKEY root, const std::wstring& subkey) {
    DWORD subkeys = 0, values = 0;
    {
        RegKey key;
        const LONG err = RegOpenKeyExW(root, subkey.c_str(), 0, KEY_QUERY_VALUE, key.Put());
        if (IsAbsent(err)) return S_OK;
        if (err != ERROR_SUCCESS) return FromWin32(err);
        const LONG info = RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                           nullptr, nullptr, nullptr, nullptr);
        if (info != ERROR_SUCCESS) return FromWin32(info);
    }
    if (subkeys || values) return S_OK;
    const LONG gone = RegDeleteKeyW(root, subkey.c_str());
    return gone == ERROR_SUCCESS || IsAbsent(gone) ? S_OK : FromWin32(gone);
}

HRESULT DeleteValue(HKEY root, const std::wstring& subkey, LPCWSTR name) {
    RegKey key;
    LONG err = RegOpenKeyExW(root, subkey.c_str(), 0, KEY_SET_VALUE, key.Put());
    if (IsAbsent(err)) return S_OK;
    if (err != ERROR_SUCCESS) return FromWin32(err);
    err = RegDeleteValueW(key.Get(), name);
    return err == ERROR_SUCCESS || IsAbsent(err) ? S_OK : FromWin32(err);
}
