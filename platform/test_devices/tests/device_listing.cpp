#include "device_listing.h"

#include <dshow.h>

#include "test_devices/test_device_ids.h"

namespace test_devices {
namespace {

int FamilyIndex(REFCLSID category, REFCLSID clsid) {
    const CLSID* family = IsEqualGUID(category, CLSID_VideoInputDeviceCategory) ? kCameraClsids
                          : IsEqualGUID(category, CLSID_AudioInputDeviceCategory) ? kMicrophoneClsids
                                                                                    : nullptr;
    for (int i = 0; family && i < kMaxDevicesPerKind; ++i) {
        if (IsEqualGUID(family[i], clsid)) return i;
    }
    return -1;
}

bool ReadString(IPropertyBag* bag, LPCOLESTR name, std::wstring* value) {
    VARIANT v;
    VariantInit(&v);
    const bool ok = SUCCEEDED(bag->Read(name, &v, nullptr)) && v.vt == VT_BSTR;
    if (ok) *value = v.bstrVal;
    VariantClear(&v);
    return ok;
}

}  // namespace

HRESULT ListDevices(REFCLSID category, std::vector<ListedDevice>* devices) {
    devices->clear();
    ComPtr<ICreateDevEnum> deviceEnum;
    RETURN_IF_FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ICreateDevEnum, deviceEnum.PutVoid()));
    ComPtr<IEnumMoniker> monikers;
    const HRESULT hr = deviceEnum->CreateClassEnumerator(category, monikers.Put(), 0);
    if (hr != S_OK) return hr;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ListedDevice device;
        device.moniker = moniker;
        ComPtr<IPropertyBag> bag;
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) {
            device.hasFriendlyName = ReadString(bag.Get(), L"FriendlyName", &device.friendlyName);
            std::wstring clsid;
            if (ReadString(bag.Get(), L"CLSID", &clsid)) CLSIDFromString(clsid.c_str(), &device.clsid);
        }
        device.familyIndex = FamilyIndex(category, device.clsid);
        devices->push_back(device);
    }
    return hr;
}

std::vector<ListedDevice> ListTestDevices(REFCLSID category) {
    std::vector<ListedDevice> all, ours;
    ListDevices(category, &all);
    for (const ListedDevice& d : all) {
        if (d.familyIndex >= 0) ours.push_back(d);
    }
    return ours;
}

HRESULT BindDevice(const ListedDevice& device, ComPtr<IBaseFilter>* filter) {
    return device.moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter->PutVoid());
}

HRESULT CreateTestDevice(REFCLSID category, int index, ComPtr<IBaseFilter>* filter) {
    for (const ListedDevice& d : ListTestDevices(category)) {
        if (d.familyIndex == index) return BindDevice(d, filter);
    }
    return VFW_E_NOT_FOUND;
}

}  // namespace test_devices
