#include "filters/effect/frame_file_read.h"

#include <cstdio>
#include <new>

#include "filters/effect/frame_request.h"

namespace effect_filter {

HRESULT ReadFrameFile(const wchar_t* name, std::vector<uint8_t>* bytes) {
    if (!UsableFileName(name)) return E_INVALIDARG;
    HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    HRESULT hr = S_OK;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        hr = HRESULT_FROM_WIN32(GetLastError());
    } else if (static_cast<uint64_t>(size.QuadPart) > kMaxFrameFileBytes) {
        hr = E_OUTOFMEMORY;
    } else {
        try {
            bytes->resize(static_cast<size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            hr = E_OUTOFMEMORY;
        }
        DWORD got = 0;
        if (SUCCEEDED(hr) && !bytes->empty() &&
            (!ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) || got != bytes->size()))
            hr = E_FAIL;
    }
    CloseHandle(file);
    return hr;
}

void TraceFailure(const char* step, HRESULT hr) {
    char line[160];
    std::snprintf(line, sizeof line, "Effect Filter: %s failed, 0x%08lX\n", step, static_cast<unsigned long>(hr));
    OutputDebugStringA(line);
}

}  // namespace effect_filter
