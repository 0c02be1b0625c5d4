// One output file of the dump sink: created on open, written at given
// positions or after the previous write, closed on request. A file that never
// received a byte is removed on close, so a recording that did not start
// leaves nothing behind that could pass for a finished file. Devices (a path
// like \\.\NUL) are never removed.
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

    // Creates (or empties) the file.
    HRESULT Open(const std::wstring& path);
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    HRESULT WriteAt(uint64_t position, const void* data, size_t size);
    // After the end of the previous write.
    HRESULT Append(const void* data, size_t size);
    void Close();
    uint64_t BytesWritten() const { return written_; }

private:
    HRESULT WriteAll(const void* data, size_t size);

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
    bool removable_ = false;
    uint64_t written_ = 0;
};

}  // namespace mpeg_filters
