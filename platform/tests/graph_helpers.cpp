#include "graph_helpers.h"

namespace testgraph {

namespace {

template <typename Visit>
HRESULT ForEachDevice(REFCLSID category, Visit visit) {
    ComPtr<ICreateDevEnum> devEnum;
    RETURN_IF_FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                      devEnum.PutVoid()));
    ComPtr<IEnumMoniker> monikers;
    if (devEnum->CreateClassEnumerator(category, monikers.Put(), 0) != S_OK) return S_FALSE;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        std::wstring name;
        ComPtr<IPropertyBag> bag;
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) {
            VARIANT v;
            VariantInit(&v);
            if (SUCCEEDED(bag->Read(L"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR) name = v.bstrVal;
            VariantClear(&v);
        }
        if (visit(moniker.Get(), name)) return S_OK;
    }
    return S_FALSE;
}

}  // namespace

std::vector<std::wstring> DeviceNames(REFCLSID category) {
    std::vector<std::wstring> names;
    ForEachDevice(category, [&](IMoniker*, const std::wstring& name) {
        names.push_back(name);
        return false;
    });
    return names;
}

HRESULT BindDevice(REFCLSID category, const std::wstring& name, ComPtr<IBaseFilter>* device) {
    HRESULT bound = VFW_E_NOT_FOUND;
    RETURN_IF_FAILED(ForEachDevice(category, [&](IMoniker* moniker, const std::wstring& friendly) {
        if (!name.empty() && friendly != name) return false;
        bound = moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, device->PutVoid());
        return true;
    }));
    return bound;
}

HRESULT CreateFilter(REFCLSID clsid, ComPtr<IBaseFilter>* filter) {
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter->PutVoid());
}

HRESULT FreePin(IBaseFilter* filter, PIN_DIRECTION dir, ComPtr<IPin>* pin) {
    ComPtr<IEnumPins> pins;
    RETURN_IF_FAILED(filter->EnumPins(pins.Put()));
    ComPtr<IPin> candidate;
    while (pins->Next(1, candidate.Put(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (FAILED(candidate->QueryDirection(&d)) || d != dir) continue;
        ComPtr<IPin> peer;
        if (candidate->ConnectedTo(peer.Put()) == S_OK) continue;
        *pin = candidate;
        return S_OK;
    }
    return VFW_E_NOT_FOUND;
}

HRESULT Connect(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream) {
    ComPtr<IPin> out, in;
    RETURN_IF_FAILED(FreePin(upstream, PINDIR_OUTPUT, &out));
    RETURN_IF_FAILED(FreePin(downstream, PINDIR_INPUT, &in));
    return graph->Connect(out.Get(), in.Get());
}

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

}  // namespace testgraph
