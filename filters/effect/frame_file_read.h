// Reading a frame file whole, refusing missing, unreadable and oversized files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace effect_filter {

// S_OK with the file's bytes; E_INVALIDARG for an unusable name, the
// CreateFile error for a missing file, E_OUTOFMEMORY above kMaxFrameFileBytes.
HRESULT ReadFrameFile(const wchar_t* name, std::vector<uint8_t>* bytes);

// One trace line for a failure that reaches the host as a result only.
void TraceFailure(const char* step, HRESULT hr);

}  // namespace effect_filter
