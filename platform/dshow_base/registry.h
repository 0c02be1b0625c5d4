// Small registry helpers for registration: an owned HKEY and string values.
// Internal to the layer's registration code.
#pragma once

#include <windows.h>

#include <string>

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { Reset(); }

    HKEY Get() const { return key_; }
    HKEY* Put() { Reset(); return &key_; }
    void Reset() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}", upper case as the registry shows it.
std::wstring GuidString(REFGUID guid);

HRESULT WriteStringValue(HKEY root, const std::wstring& subkey, LPCWSTR name, LPCWSTR value);
// Reads a REG_SZ/REG_EXPAND_SZ value (expanded); false when absent.
bool ReadStringValue(HKEY root, const std::wstring& subkey, LPCWSTR name, std::wstring* value);
// Absent keys and values count as deleted.
HRESULT DeleteKeyTree(HKEY root, const std::wstring& subkey);
HRESULT DeleteValue(HKEY root, const std::wstring& subkey, LPCWSTR name);
// Deletes the key only when it holds neither subkeys nor values.
HRESULT DeleteKeyIfEmpty(HKEY root, const std::wstring& subkey);
