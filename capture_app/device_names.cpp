#include "capture_app/device_names.h"

std::vector<std::wstring> SplitDeviceNames(const wchar_t* buffer, size_t capacity) {
    std::vector<std::wstring> names;
    if (!buffer) return names;
    size_t start = 0;
    for (size_t i = 0; i < capacity && buffer[i] != L'\0'; ++i) {
        if (buffer[i] != L'\n') continue;
        const size_t length = i - start;
        names.emplace_back(buffer + start, length < kMaxDeviceNameUnits ? length : kMaxDeviceNameUnits);
        start = i + 1;
    }
    return names;
}
