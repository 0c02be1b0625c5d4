// Writes a whole file so that readers of its name see either the old file,
// or none, or the complete new one: never a partly written one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace snapshot {

// Writes `bytes` to a temporary file in the target's folder, then moves it
// onto `path`, replacing any file there. On failure the temporary is
// deleted and `path` is left as it was.
HRESULT ReplaceFileWith(const std::wstring& path, const uint8_t* bytes, size_t size);

}  // namespace snapshot
