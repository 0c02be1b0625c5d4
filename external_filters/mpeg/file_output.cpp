#include "external_filters/mpeg/file_output.h"

namespace mpeg_filters {
namespace {
HRESULT LastError() {
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}
}  // namespace

HRESULT FileOutput::Open(const std::wstring& path) {
    Close();
    file_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return LastError();
    path_ = path;
    removable_ = GetFileType(file_) == FILE_TYPE_DISK;
    written_ = 0;
    return S_OK;
}

HRESULT FileOutput::WriteAt(uint64_t position, const void* data, size_t size) {
    if (!IsOpen()) return E_UNEXPECTED;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) return LastError();
    return WriteAll(data, size);
}

HRESULT FileOutput::Append(const void* data, size_t size) {
    if (!IsOpen()) return E_UNEXPECTED;
    return WriteAll(data, size);
}

HRESULT FileOutput::WriteAll(const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    while (size > 0) {
        const DWORD part = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!WriteFile(file_, bytes, part, &done, nullptr)) return LastError();
        // A short write without an error is a full disk by another name.
        if (done == 0) return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
        bytes += done;
        size -= done;
        written_ += done;
    }
    return S_OK;
}

void FileOutput::Close() {
    if (!IsOpen()) return;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (written_ == 0 && removable_) DeleteFileW(path_.c_str());
    path_.clear();
}

}  // namespace mpeg_filters
