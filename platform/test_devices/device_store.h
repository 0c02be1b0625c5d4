// The configured device set, kept between processes in the current user's
// registry (HKCU\Software\Talvoro\TestDevices, value "Configuration", the
// configuration text of device_config.h), and its device entries in the
// video and audio capture categories.
#pragma once

#include <windows.h>

#include "test_devices/device_config.h"

namespace test_devices {

// The stored set; the default set when nothing (or nothing valid) is stored.
DeviceSet LoadDeviceSet();

// Parses `text` (UTF-16 configuration text; null or "default": the default
// set), stores it and registers exactly its devices in the two categories.
// E_INVALIDARG for a text that does not parse, with nothing changed.
HRESULT InstallDeviceSet(LPCWSTR text);

// Removes every test device entry from both categories and the stored text.
HRESULT RemoveDeviceSet();

}  // namespace test_devices
