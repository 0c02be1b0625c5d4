// IKsPropertySet answers of a capture pin: the only property a capture
// device's pin must support is its category (AMPROPSETID_Pin /
// AMPROPERTY_PIN_CATEGORY), which capture graph builders read to find the
// capture pin. Both test devices' pins forward their IKsPropertySet here.
#pragma once

#include <windows.h>
#include <strmif.h>

namespace test_devices {

HRESULT GetCapturePinProperty(REFGUID set, DWORD id, void* data, DWORD dataSize, DWORD* returned);
HRESULT QueryCapturePinPropertySupport(REFGUID set, DWORD id, DWORD* support);
// The category is fixed: every Set is refused.
HRESULT SetCapturePinProperty(REFGUID set, DWORD id);

}  // namespace test_devices

// Declares the IKsPropertySet methods of a pin, answered as above.
#define DECLARE_CAPTURE_PIN_PROPERTY_SET                                                     \
    STDMETHODIMP Set(REFGUID set, DWORD id, void*, DWORD, void*, DWORD) override {          \
        return test_devices::SetCapturePinProperty(set, id);                                 \
    }                                                                                        \
    STDMETHODIMP Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataSize,       \
                     DWORD* returned) override {                                             \
        return test_devices::GetCapturePinProperty(set, id, data, dataSize, returned);       \
    }                                                                                        \
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override {           \
        return test_devices::QueryCapturePinPropertySupport(set, id, support);              \
    }
