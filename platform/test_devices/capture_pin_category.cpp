#include "test_devices/capture_pin_category.h"

#include <dshow.h>
#include <vfwmsgs.h>

#include "dshow_base/com_ptr.h"

namespace test_devices {
namespace {

HRESULT CheckProperty(REFGUID set, DWORD id) {
    if (!IsEqualGUID(set, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    return S_OK;
}

}  // namespace

HRESULT GetCapturePinProperty(REFGUID set, DWORD id, void* data, DWORD dataSize, DWORD* returned) {
    RETURN_IF_FAILED(CheckProperty(set, id));
    // No buffer: the caller asks for the size only.
    if (!data) {
        if (!returned) return E_POINTER;
        *returned = sizeof(GUID);
        return S_OK;
    }
    if (dataSize < sizeof(GUID)) return E_UNEXPECTED;
    *static_cast<GUID*>(data) = PIN_CATEGORY_CAPTURE;
    if (returned) *returned = sizeof(GUID);
    return S_OK;
}

HRESULT QueryCapturePinPropertySupport(REFGUID set, DWORD id, DWORD* support) {
    RETURN_IF_FAILED(CheckProperty(set, id));
    if (support) *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

HRESULT SetCapturePinProperty(REFGUID set, DWORD id) {
    RETURN_IF_FAILED(CheckProperty(set, id));
    return E_PROP_ID_UNSUPPORTED;
}

}  // namespace test_devices
