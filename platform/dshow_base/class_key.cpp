#include "dshow_base/class_key.h"

#include "dshow_base/com_ptr.h"
#include "dshow_base/registry.h"

namespace {
std::wstring ClassKeyPath(REFCLSID clsid) { return L"CLSID\\" + GuidString(clsid); }
std::wstring InprocKeyPath(REFCLSID clsid) { return ClassKeyPath(clsid) + L"\\InprocServer32"; }
}  // namespace

HRESULT WriteClassKey(REFCLSID clsid, LPCWSTR name, LPCWSTR modulePath) {
    RETURN_IF_FAILED(WriteStringValue(HKEY_CLASSES_ROOT, ClassKeyPath(clsid), nullptr, name));
    RETURN_IF_FAILED(WriteStringValue(HKEY_CLASSES_ROOT, InprocKeyPath(clsid), nullptr, modulePath));
    return WriteStringValue(HKEY_CLASSES_ROOT, InprocKeyPath(clsid), L"ThreadingModel", L"Both");
}

HRESULT DeleteClassKey(REFCLSID clsid) { return DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKeyPath(clsid)); }

std::wstring InprocServerOf(REFCLSID clsid) {
    std::wstring path;
    ReadStringValue(HKEY_CLASSES_ROOT, InprocKeyPath(clsid), nullptr, &path);
    return path;
}

bool ServedByOtherModule(REFCLSID clsid, LPCWSTR modulePath) {
    const std::wstring registered = InprocServerOf(clsid);
    if (registered.empty()) return false;
    // File names on Windows compare without regard to case.
    return CompareStringOrdinal(registered.c_str(), -1, modulePath, -1, TRUE) != CSTR_EQUAL;
}
