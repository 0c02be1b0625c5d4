#include "app_toolkit/module_paths.h"

#include <string>

CString GetModuleDir() {
    // Grows past MAX_PATH instead of cutting a long path short.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return CString();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.rfind(L'\\');
    return CString(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash));
}

bool DirectoryExists(LPCWSTR path) {
    CString copy(path);
    copy.Replace(L'/', L'\\');
    const DWORD attributes = GetFileAttributesW(copy);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDirectoryTree(LPCWSTR path) {
    CString folder(path);
    // No plain path that long names a folder, and a walk through its parents
    // one call deep each would end in a stack overflow for a long enough one.
    if (folder.IsEmpty() || folder.GetLength() >= MAX_PATH) return false;
    if (DirectoryExists(folder)) return true;
    if (folder[folder.GetLength() - 1] == L'\\') folder = folder.Left(folder.GetLength() - 1);
    const int slash = folder.ReverseFind(L'\\');
    const CString parent = slash < 0 ? CString() : folder.Left(slash);
    if (!CreateDirectoryTree(parent)) return false;
    return CreateDirectoryW(folder, nullptr) != FALSE;
}
