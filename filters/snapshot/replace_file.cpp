#include "filters/snapshot/replace_file.h"

namespace snapshot {

namespace {

HRESULT LastError() {
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// The folder part of a path, "." for a bare file name: the temporary must
// lie on the same volume for the final move to be a rename.
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) {
        // "C:name" is relative to drive C's current folder.
        return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : L".";
    }
    // Keep the separator for a root ("C:\", "\"), which is a folder only with it.
    if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

HRESULT WriteAll(const std::wstring& path, const uint8_t* bytes, size_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    HRESULT hr = S_OK;
    while (size > 0 && SUCCEEDED(hr)) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr)) {
            hr = LastError();
        } else if (written == 0) {
            hr = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
        }
        bytes += written;
        size -= written;
    }
    // On disk before the rename makes it visible: after a power loss the
    // name must not point at a file whose data never arrived.
    if (SUCCEEDED(hr) && !FlushFileBuffers(file)) hr = LastError();
    if (!CloseHandle(file) && SUCCEEDED(hr)) hr = LastError();
    return hr;
}

}  // namespace

HRESULT ReplaceFileWith(const std::wstring& path, const uint8_t* bytes, size_t size) {
    if (path.empty() || (!bytes && size)) return E_INVALIDARG;
    WCHAR temp[MAX_PATH];
    // Creates the temporary, unique in that folder; fails for a folder that
    // is missing or not writable.
    if (!GetTempFileNameW(FolderOf(path).c_str(), L"snp", 0, temp)) return LastError();
    HRESULT hr = WriteAll(temp, bytes, size);
    if (SUCCEEDED(hr) && !MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING)) hr = LastError();
    if (FAILED(hr)) DeleteFileW(temp);
    return hr;
}

}  // namespace snapshot
