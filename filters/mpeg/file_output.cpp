#include "filters/mpeg/file_output.h"

namespace mpeg_filters {
namespace {
HRESULT LastError() {
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}
}  // namespace

HRESULT FileOutput::Prepare(const std::wstring& path) {
    Close();
    path_.clear();
    // OPEN_ALWAYS neither empties an existing file nor fails on one.
    HANDLE probe = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return LastError();
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    const bool disk = GetFileType(probe) == FILE_TYPE_DISK;
    CloseHandle(probe);
    if (!existed && disk) DeleteFileW(path.c_str());
    path_ = path;
    written_ = 0;
    return S_OK;
}

HRESULT FileOutput::Create() {
    if (file_ != INVALID_HANDLE_VALUE) return S_OK;
    if (path_.empty()) return E_UNEXPECTED;
    file_ = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return LastError();
    removable_ = GetFileType(file_) == FILE_TYPE_DISK;
    return S_OK;
}

HRESULT FileOutput::WriteAt(uint64_t position, const void* data, size_t size) {
    const HRESULT created = Create();
    if (FAILED(created)) return created;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) return LastError();
    return WriteAll(data, size);
}

HRESULT FileOutput::Append(const void* data, size_t size) {
    const HRESULT created = Create();
    if (FAILED(created)) return created;
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
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        if (written_ == 0 && removable_) DeleteFileW(path_.c_str());
    }
    path_.clear();
    written_ = 0;
}

}  // namespace mpeg_filters
