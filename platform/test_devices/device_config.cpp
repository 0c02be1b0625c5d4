#include "test_devices/device_config.h"

#include <algorithm>
#include <cctype>

namespace test_devices {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

bool ParseInt(const std::string& text, int low, int high, int* value) {
    if (text.empty() || text.size() > 9) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < low || v > high) return false;
    *value = v;
    return true;
}

std::vector<DeviceSettings> MakeDevices(int count, std::string (*name)(int)) {
    std::vector<DeviceSettings> devices(count);
    for (int i = 0; i < count; ++i) devices[i].name = name(i);
    return devices;
}

// "camera12.sizes" -> kind "camera", index 12, field "sizes".
bool SplitDeviceKey(const std::string& key, std::string* kind, int* index, std::string* field) {
    const auto dot = key.find('.');
    if (dot == std::string::npos) return false;
    auto digits = key.find_first_of("0123456789");
    if (digits == std::string::npos || digits > dot || digits == 0) return false;
    *kind = key.substr(0, digits);
    *field = key.substr(dot + 1);
    return ParseInt(key.substr(digits, dot - digits), 0, kMaxDevicesPerKind - 1, index);
}

bool ApplyField(const std::string& field, const std::string& value, bool camera, DeviceSettings* d) {
    int v = 0;
    if (field == "name") {
        d->name = value;
        return true;
    }
    if (field == "nofriendlyname" && ParseInt(value, 0, 1, &v)) {
        d->hasFriendlyName = v == 0;
        return true;
    }
    if (camera && field == "sizes" && ParseInt(value, 1, kMaxSizeCount, &v)) {
        d->sizeCount = v;
        return true;
    }
    if (camera && field == "capssize" && ParseInt(value, 1, kMaxCapsSize, &v)) {
        d->capsSize = v;
        return true;
    }
    if (camera && field == "rgb" && ParseInt(value, 0, 1, &v)) {
        d->rgb24 = v == 1;
        return true;
    }
    if (camera && field == "exclusive" && ParseInt(value, 0, 1, &v)) {
        d->exclusive = v == 1;
        return true;
    }
    return false;
}

}  // namespace

std::string DefaultCameraName(int index) {
    return index == 0 ? "Talvoro Test Camera" : "Talvoro Test Camera " + std::to_string(index + 1);
}

std::string DefaultMicrophoneName(int index) {
    return index == 0 ? "Talvoro Test Microphone"
                      : "Talvoro Test Microphone " + std::to_string(index + 1);
}

DeviceSet DefaultDeviceSet() {
    return {MakeDevices(1, DefaultCameraName), MakeDevices(1, DefaultMicrophoneName)};
}

bool ParseDeviceSet(const std::string& text, DeviceSet* set, std::string* error) {
    // Counts first, wherever they stand, so that per-device items can be checked
    // against them.
    std::vector<std::pair<std::string, std::string>> ordered;
    const std::string trimmed = Trim(text);
    if (!trimmed.empty() && Lower(trimmed) != "default") {
        size_t start = 0;
        while (start <= trimmed.size()) {
            const size_t end = std::min(trimmed.find(';', start), trimmed.size());
            const std::string item = trimmed.substr(start, end - start);
            start = end + 1;
            if (Trim(item).empty()) continue;
            const auto eq = item.find('=');
            if (eq == std::string::npos) {
                *error = "item without '=': " + item;
                return false;
            }
            ordered.emplace_back(Lower(Trim(item.substr(0, eq))), item.substr(eq + 1));
        }
    }
    int cameras = 1, microphones = 1;
    for (const auto& [key, value] : ordered) {
        int* count = key == "cameras" ? &cameras : key == "mics" ? &microphones : nullptr;
        if (count && !ParseInt(Trim(value), 0, kMaxDevicesPerKind, count)) {
            *error = "bad count: " + key + "=" + value;
            return false;
        }
    }
    DeviceSet result{MakeDevices(cameras, DefaultCameraName),
                     MakeDevices(microphones, DefaultMicrophoneName)};
    for (const auto& [key, value] : ordered) {
        if (key == "cameras" || key == "mics") continue;
        std::string kind, field;
        int index = 0;
        if (!SplitDeviceKey(key, &kind, &index, &field) || (kind != "camera" && kind != "mic")) {
            *error = "unknown key: " + key;
            return false;
        }
        const bool camera = kind == "camera";
        std::vector<DeviceSettings>& devices = camera ? result.cameras : result.microphones;
        if (index >= int(devices.size())) {
            *error = "no such device: " + key;
            return false;
        }
        if (!ApplyField(field, field == "name" ? value : Trim(value), camera, &devices[index])) {
            *error = "bad item: " + key + "=" + value;
            return false;
        }
    }
    *set = std::move(result);
    return true;
}

}  // namespace test_devices
