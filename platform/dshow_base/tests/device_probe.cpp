#include "device_probe.h"

#include <dshow.h>

#include "dshow_base/com_ptr.h"

namespace {
ListedDevice Describe(IMoniker* moniker) {
    ListedDevice device;
    LPOLESTR name = nullptr;
    if (SUCCEEDED(moniker->GetDisplayName(nullptr, nullptr, &name)) && name) {
        device.displayName = name;
        CoTaskMemFree(name);
    }
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) return device;
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR) {
        device.hasFriendlyName = true;
        device.friendlyName = value.bstrVal;
    }
    VariantClear(&value);
    if (SUCCEEDED(bag->Read(L"CLSID", &value, nullptr)) && value.vt == VT_BSTR) {
        CLSIDFromString(value.bstrVal, &device.clsid);
    }
    VariantClear(&value);
    return device;
}

std::vector<ListedDevice> Drain(IEnumMoniker* monikers) {
    std::vector<ListedDevice> devices;
    if (!monikers) return devices;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) devices.push_back(Describe(moniker.Get()));
    return devices;
}
}  // namespace

std::vector<ListedDevice> ListCategory(REFCLSID category) {
    ComPtr<ICreateDevEnum> devEnum;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devEnum.PutVoid()))) {
        return {};
    }
    ComPtr<IEnumMoniker> monikers;
    devEnum->CreateClassEnumerator(category, monikers.Put(), 0);
    return Drain(monikers.Get());
}

std::vector<ListedDevice> ListCategoryFor(REFCLSID category, REFCLSID clsid) {
    std::vector<ListedDevice> matching;
    for (const ListedDevice& d : ListCategory(category)) {
        if (IsEqualCLSID(d.clsid, clsid)) matching.push_back(d);
    }
    return matching;
}

std::vector<ListedDevice> MatchingFilters(const GUID& major, const GUID& minor, DWORD minMerit) {
    ComPtr<IFilterMapper2> mapper;
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                mapper.PutVoid()))) {
        return {};
    }
    const GUID types[2] = {major, minor};
    ComPtr<IEnumMoniker> monikers;
    mapper->EnumMatchingFilters(monikers.Put(), 0, FALSE, minMerit, TRUE, 1, types, nullptr, nullptr, FALSE,
                                FALSE, 0, nullptr, nullptr, nullptr);
    return Drain(monikers.Get());
}

HRESULT BindListed(REFCLSID category, REFCLSID clsid, REFIID riid, void** ppv) {
    ComPtr<ICreateDevEnum> devEnum;
    RETURN_IF_FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                      devEnum.PutVoid()));
    ComPtr<IEnumMoniker> monikers;
    if (devEnum->CreateClassEnumerator(category, monikers.Put(), 0) != S_OK) return VFW_E_NOT_FOUND;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        if (IsEqualCLSID(Describe(moniker.Get()).clsid, clsid)) {
            return moniker->BindToObject(nullptr, nullptr, riid, ppv);
        }
    }
    return VFW_E_NOT_FOUND;
}
