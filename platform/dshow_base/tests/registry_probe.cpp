#include "registry_probe.h"

#include <objbase.h>

std::wstring GuidText(REFGUID guid) {
    WCHAR text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring ClassKey(REFCLSID clsid) { return L"CLSID\\" + GuidText(clsid); }

std::wstring InstanceKey(REFCLSID category, const std::wstring& instance) {
    return L"CLSID\\" + GuidText(category) + L"\\Instance\\" + instance;
}

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool ValueExists(const std::wstring& path, LPCWSTR name) {
    return RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

std::wstring StringValue(const std::wstring& path, LPCWSTR name) {
    WCHAR text[1024] = {};
    DWORD bytes = sizeof(text);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &bytes) != ERROR_SUCCESS) {
        return std::wstring();
    }
    return text;
}

namespace {
void AddKey(HKEY key, const std::wstring& prefix, RegistrySnapshot* out) {
    (*out)[prefix + L"\\"] = {};
    WCHAR name[512];
    BYTE data[8192];
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = 512, size = sizeof(data), type = 0;
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> bytes(data, data + size);
        bytes.push_back(static_cast<BYTE>(type));
        (*out)[prefix + L"|" + name] = bytes;
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = 512;
        if (RegEnumKeyExW(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            AddKey(sub, prefix + L"\\" + name, out);
            RegCloseKey(sub);
        }
    }
}
}  // namespace

RegistrySnapshot Snapshot(const std::wstring& path) {
    RegistrySnapshot snapshot;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        AddKey(key, path, &snapshot);
        RegCloseKey(key);
    }
    return snapshot;
}

void WriteString(const std::wstring& path, LPCWSTR name, LPCWSTR value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(WCHAR)));
    RegCloseKey(key);
}

void DeleteTree(const std::wstring& path) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
}
