// What the system device enumerator lists in a category, for the tests.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <string>
#include <vector>

#include "dshow_base/com_ptr.h"

namespace test_devices {

struct ListedDevice {
    bool hasFriendlyName = false;
    std::wstring friendlyName;
    CLSID clsid = GUID_NULL;  // from the bag's "CLSID" value
    int familyIndex = -1;     // index in the test device family of the category, -1 if foreign
    ComPtr<IMoniker> moniker;
};

// Every device of the category in enumeration order; returns what
// CreateClassEnumerator returned (S_FALSE for an empty category).
HRESULT ListDevices(REFCLSID category, std::vector<ListedDevice>* devices);

// Only the test devices of the category, in enumeration order.
std::vector<ListedDevice> ListTestDevices(REFCLSID category);

// Creates the filter of a listed device, as capture code does.
HRESULT BindDevice(const ListedDevice& device, ComPtr<IBaseFilter>* filter);

// The first test camera (microphone) of the current set, created through its moniker.
HRESULT CreateTestDevice(REFCLSID category, int index, ComPtr<IBaseFilter>* filter);

// The pin named "Capture" of a device's filter, as `Interface`.
template <typename Interface>
HRESULT CapturePin(IBaseFilter* filter, ComPtr<Interface>* pin) {
    ComPtr<IPin> p;
    RETURN_IF_FAILED(filter->FindPin(L"Capture", p.Put()));
    return p.As(pin);
}

}  // namespace test_devices
