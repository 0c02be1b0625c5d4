#include "capture_engine/device_routines.h"

#include <cwchar>

#include "capture_engine/device_name_list.h"
#include "capture_engine/engine_trace.h"

namespace device_routines {
namespace {

HRESULT DeviceMonikers(REFCLSID category, ComPtr<IEnumMoniker>* monikers) {
    ComPtr<ICreateDevEnum> devEnum;
    RETURN_IF_STEP_FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                           devEnum.PutVoid()));
    // Anything but S_OK lists no device: S_FALSE is an empty category, and a
    // category the system cannot list is empty as far as the callers can tell.
    const HRESULT hr = devEnum->CreateClassEnumerator(category, monikers->Put(), 0);
    if (hr != S_OK) monikers->Reset();
    if (FAILED(hr)) FAIL_STEP("ICreateDevEnum::CreateClassEnumerator", hr);
    return S_OK;
}

}  // namespace

HRESULT EnumerateDeviceNames(REFCLSID category, unsigned short* count, wchar_t* names, size_t capacity) {
    if (!count || !names || capacity == 0) return E_POINTER;
    *count = 0;
    ComPtr<IEnumMoniker> monikers;
    RETURN_IF_FAILED(DeviceMonikers(category, &monikers));
    if (!monikers) return S_FALSE;

    DeviceNameList<wchar_t> list(names, capacity);
    ComPtr<IMoniker> moniker;
    while (!list.Full() && monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) continue;
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal)
            list.Append(value.bstrVal, std::wcslen(value.bstrVal));
        VariantClear(&value);
    }
    list.Finish();
    *count = list.Count();
    return S_OK;
}

HRESULT SelectDevice(REFCLSID category, int index, ComPtr<IBaseFilter>* filter) {
    if (!filter) return E_POINTER;
    filter->Reset();
    ComPtr<IEnumMoniker> monikers;
    RETURN_IF_FAILED(DeviceMonikers(category, &monikers));
    if (!monikers) return S_OK;

    int position = 0;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) continue;
        if (position++ == index) {
            // A device that will not bind leaves the slot empty, like a missing one.
            if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter->PutVoid()))) filter->Reset();
            break;
        }
    }
    return S_OK;
}

HRESULT AddSelectedDevice(IFilterGraph* graph, REFCLSID category, int index, LPCWSTR name,
                          ComPtr<IBaseFilter>* slot) {
    if (!graph) return E_POINTER;
    if (*slot) return S_OK;
    RETURN_IF_FAILED(SelectDevice(category, index, slot));
    if (*slot) graph->AddFilter(slot->Get(), name);
    return S_OK;
}

}  // namespace device_routines
