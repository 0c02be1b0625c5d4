// For tests of capture code: chooses which test devices exist, through the
// registered TestDevices.ax's DllInstall (see device_config.h for the text).
//
//   ScopedTestDevices devices(L"cameras=2;camera1.name=Talvoro Pelloquin");
//   ASSERT_EQ(devices.Result(), S_OK);
//   ... the device enumerator lists two cameras until `devices` goes away,
//   which restores the default set.
#pragma once

#include <windows.h>

namespace test_devices {

// Applies configuration text (null or "default": the default set).
// REGDB_E_CLASSNOTREG when TestDevices.ax is not registered.
HRESULT ConfigureTestDevices(LPCWSTR text);

class ScopedTestDevices {
public:
    explicit ScopedTestDevices(LPCWSTR text) : result_(ConfigureTestDevices(text)) {}
    ~ScopedTestDevices() { ConfigureTestDevices(nullptr); }
    ScopedTestDevices(const ScopedTestDevices&) = delete;
    ScopedTestDevices& operator=(const ScopedTestDevices&) = delete;

    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace test_devices
