#include "system_filters/class_takeover.h"

#include <string>
#include <vector>

#include "dshow_base/class_key.h"
#include "dshow_base/com_ptr.h"
#include "dshow_base/registry.h"

namespace system_filters {
namespace {

// Under HKEY_LOCAL_MACHINE, beside the classes' own registration.
const wchar_t kSavedRoot[] = L"Software\\Talvoro\\SystemFilters\\TakenOver";

std::wstring SavedKeyPath(REFCLSID clsid) { return std::wstring(kSavedRoot) + L"\\" + GuidString(clsid); }
std::wstring InprocKeyPath(REFCLSID clsid) { return L"CLSID\\" + GuidString(clsid) + L"\\InprocServer32"; }

HRESULT FromWin32(LONG err) { return HRESULT_FROM_WIN32(static_cast<unsigned long>(err)); }

// Every value of `from` into `to`, names, types and bytes as they are.
HRESULT CopyValues(HKEY from, HKEY to) {
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = sizeof name / sizeof name[0];
        DWORD type = 0, bytes = 0;
        LONG err = RegEnumValueW(from, i, name, &nameLength, nullptr, &type, nullptr, &bytes);
        if (err == ERROR_NO_MORE_ITEMS) return S_OK;
        if (err != ERROR_SUCCESS) return FromWin32(err);
        std::vector<BYTE> data(bytes ? bytes : 1);
        nameLength = sizeof name / sizeof name[0];
        err = RegEnumValueW(from, i, name, &nameLength, nullptr, &type, data.data(), &bytes);
        if (err != ERROR_SUCCESS) return FromWin32(err);
        err = RegSetValueExW(to, name, 0, type, data.data(), bytes);
        if (err != ERROR_SUCCESS) return FromWin32(err);
    }
}

HRESULT DeleteAllValues(HKEY key) {
    for (;;) {
        wchar_t name[16384];
        DWORD nameLength = sizeof name / sizeof name[0];
        LONG err = RegEnumValueW(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (err == ERROR_NO_MORE_ITEMS) return S_OK;
        if (err != ERROR_SUCCESS) return FromWin32(err);
        err = RegDeleteValueW(key, name);
        if (err != ERROR_SUCCESS) return FromWin32(err);
    }
}

HRESULT OpenKey(HKEY root, const std::wstring& path, bool create, RegKey* key) {
    const LONG err = create ? RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              KEY_READ | KEY_WRITE, nullptr, key->Put(), nullptr)
                            : RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WRITE, key->Put());
    return err == ERROR_SUCCESS ? S_OK : FromWin32(err);
}

HRESULT SaveOriginal(REFCLSID clsid) {
    RegKey inproc, saved;
    RETURN_IF_FAILED(OpenKey(HKEY_CLASSES_ROOT, InprocKeyPath(clsid), false, &inproc));
    RETURN_IF_FAILED(OpenKey(HKEY_LOCAL_MACHINE, SavedKeyPath(clsid), true, &saved));
    const HRESULT hr = CopyValues(inproc.Get(), saved.Get());
    if (FAILED(hr)) DeleteKeyTree(HKEY_LOCAL_MACHINE, SavedKeyPath(clsid));  // a partial copy must not pass for the original
    return hr;
}

}  // namespace

bool IsTakenOver(REFCLSID clsid) {
    RegKey saved;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, SavedKeyPath(clsid).c_str(), 0, KEY_READ, saved.Put()) ==
           ERROR_SUCCESS;
}

HRESULT TakeOverClass(REFCLSID clsid, LPCWSTR modulePath) {
    if (!IsTakenOver(clsid)) {
        if (!ServedByOtherModule(clsid, modulePath)) return S_FALSE;
        RETURN_IF_FAILED(SaveOriginal(clsid));
    }
    RETURN_IF_FAILED(WriteStringValue(HKEY_CLASSES_ROOT, InprocKeyPath(clsid), nullptr, modulePath));
    return WriteStringValue(HKEY_CLASSES_ROOT, InprocKeyPath(clsid), L"ThreadingModel", L"Both");
}

HRESULT GiveBackClass(REFCLSID clsid) {
    if (!IsTakenOver(clsid)) return S_FALSE;
    RegKey inproc, saved;
    RETURN_IF_FAILED(OpenKey(HKEY_LOCAL_MACHINE, SavedKeyPath(clsid), false, &saved));
    RETURN_IF_FAILED(OpenKey(HKEY_CLASSES_ROOT, InprocKeyPath(clsid), true, &inproc));
    RETURN_IF_FAILED(DeleteAllValues(inproc.Get()));
    RETURN_IF_FAILED(CopyValues(saved.Get(), inproc.Get()));
    saved.Reset();
    RETURN_IF_FAILED(DeleteKeyTree(HKEY_LOCAL_MACHINE, SavedKeyPath(clsid)));
    // Our keys go once empty; RegDeleteKey leaves a key that still has subkeys.
    for (std::wstring path = kSavedRoot; path.find(L'\\') != std::wstring::npos;
         path.erase(path.rfind(L'\\'))) {
        if (RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str()) != ERROR_SUCCESS) break;
    }
    return S_OK;
}

}  // namespace system_filters
