// The dump sink's output file. Prepare checks that the file can be written
// without leaving anything behind; the file is created (or emptied) by the
// first write, so a recording whose graph never ran leaves no file, and an
// earlier file of that name survives until new data replaces it. Writes go
// to given positions or after the previous write. A file that was created but
// never received a byte is removed on close; devices (a path like \\.\NUL)
// never are.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace mpeg_filters {

class FileOutput {
public:
    FileOutput() = default;
    ~FileOutput() { Close(); }
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    // The error creating the file would meet, or S_OK; forgets any earlier file.
    HRESULT Prepare(const std::wstring& path);
    bool IsPrepared() const { return !path_.empty(); }
    HRESULT WriteAt(uint64_t position, const void* data, size_t size);
    // After the end of the previous write.
    HRESULT Append(const void* data, size_t size);
    void Close();
    uint64_t BytesWritten() const { return written_; }

private:
    HRESULT Create();
    HRESULT WriteAll(const void* data, size_t size);

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
    bool removable_ = false;
    uint64_t written_ = 0;
};

}  // namespace mpeg_filters
