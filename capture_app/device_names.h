// The engine's device-name list ("A\nB\n\0") as separate names. Portable.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Longest name kept, in UTF-16 units: names pass through a 100-unit buffer.
inline constexpr size_t kMaxDeviceNameUnits = 99;

// Every line feed ends a name; text after the last one is ignored. Reads no
// further than capacity units even when the terminator is missing; a name
// longer than kMaxDeviceNameUnits is cut.
std::vector<std::wstring> SplitDeviceNames(const wchar_t* buffer, size_t capacity);
