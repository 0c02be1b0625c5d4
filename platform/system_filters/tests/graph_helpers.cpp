#include "graph_helpers.h"

namespace system_filters_test {

ComPtr<IBaseFilter> CreateFilter(REFCLSID clsid, HRESULT* hr) {
    ComPtr<IBaseFilter> filter;
    const HRESULT result =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.PutVoid());
    if (hr) *hr = result;
    return filter;
}

HRESULT TestGraph::Create() {
    RETURN_IF_FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IGraphBuilder, builder_.PutVoid()));
    return builder_->QueryInterface(IID_IMediaControl, control_.PutVoid());
}

HRESULT TestGraph::Add(IBaseFilter* filter, LPCWSTR name) { return builder_->AddFilter(filter, name); }

HRESULT TestGraph::ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) {
    return builder_->ConnectDirect(out, in, mt);
}

HRESULT TestGraph::DisconnectPin(IPin* pin) {
    ComPtr<IPin> peer;
    if (SUCCEEDED(pin->ConnectedTo(peer.Put()))) RETURN_IF_FAILED(builder_->Disconnect(peer.Get()));
    return builder_->Disconnect(pin);
}

HRESULT TestGraph::WaitForState() {
    OAFilterState state;
    const HRESULT hr = control_->GetState(5000, &state);
    return hr == VFW_S_STATE_INTERMEDIATE ? E_FAIL : hr;
}

HRESULT TestGraph::Run() {
    RETURN_IF_FAILED(control_->Run());
    return WaitForState();
}

HRESULT TestGraph::Pause() {
    RETURN_IF_FAILED(control_->Pause());
    return WaitForState();
}

HRESULT TestGraph::Stop() {
    RETURN_IF_FAILED(control_->Stop());
    return WaitForState();
}

std::vector<CLSID> TestGraph::FilterClasses() {
    std::vector<CLSID> classes;
    ComPtr<IEnumFilters> filters;
    if (FAILED(builder_->EnumFilters(filters.Put()))) return classes;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.Put(), nullptr) == S_OK) {
        CLSID clsid = GUID_NULL;
        filter->GetClassID(&clsid);
        classes.push_back(clsid);
    }
    return classes;
}

ComPtr<IPin> FindPin(IBaseFilter* filter, LPCWSTR name) {
    ComPtr<IPin> pin;
    filter->FindPin(name, pin.Put());
    return pin;
}

bool IsConnected(IPin* pin) {
    ComPtr<IPin> peer;
    return SUCCEEDED(pin->ConnectedTo(peer.Put())) && peer;
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION dir, bool unconnectedOnly) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put()))) return {};
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == dir && !(unconnectedOnly && IsConnected(pin.Get()))) {
            return pin;
        }
    }
    return {};
}

std::vector<std::wstring> PinNames(IBaseFilter* filter) {
    std::vector<std::wstring> names;
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put()))) return names;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_INFO info{};
        if (SUCCEEDED(pin->QueryPinInfo(&info))) {
            names.emplace_back(info.achName);
            if (info.pFilter) info.pFilter->Release();
        }
    }
    return names;
}

CMediaType ConnectionType(IPin* pin) {
    AM_MEDIA_TYPE mt{};
    CMediaType result;
    if (SUCCEEDED(pin->ConnectionMediaType(&mt))) {
        result.Set(mt);
        FreeMediaType(mt);
    }
    return result;
}

}  // namespace system_filters_test
