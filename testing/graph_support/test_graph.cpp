#include "testing/graph_support/test_graph.h"

#include <cstdlib>

namespace graph_test {

ComPtr<IBaseFilter> CreateFilter(REFCLSID clsid, HRESULT* hr) {
    ComPtr<IBaseFilter> filter;
    const HRESULT result =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.PutVoid());
    if (hr) *hr = result;
    return filter;
}

HRESULT CreateFilter(REFCLSID clsid, ComPtr<IBaseFilter>* filter) {
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter->PutVoid());
}

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

HRESULT SetCameraFormat(IBaseFilter* camera, const GUID& subtype, int width, int height) {
    ComPtr<IPin> out = FirstPin(camera, PINDIR_OUTPUT, false);
    if (!out) return E_FAIL;
    ComPtr<IAMStreamConfig> config;
    RETURN_IF_FAILED(out->QueryInterface(IID_IAMStreamConfig, config.PutVoid()));
    int count = 0, size = 0;
    RETURN_IF_FAILED(config->GetNumberOfCapabilities(&count, &size));
    std::vector<BYTE> caps(static_cast<size_t>(size));
    for (int i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* mt = nullptr;
        if (FAILED(config->GetStreamCaps(i, &mt, caps.data()))) continue;
        const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat);
        const bool match = mt->subtype == subtype && mt->formattype == FORMAT_VideoInfo &&
                           vih->bmiHeader.biWidth == width && std::abs(vih->bmiHeader.biHeight) == height;
        const HRESULT hr = match ? config->SetFormat(mt) : S_FALSE;
        DeleteMediaType(mt);
        if (match) return hr;
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT TestGraph::Create(bool withClock) {
    RETURN_IF_FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IGraphBuilder, builder_.PutVoid()));
    RETURN_IF_FAILED(builder_->QueryInterface(IID_IMediaControl, control_.PutVoid()));
    if (withClock) return S_OK;
    ComPtr<IMediaFilter> filter;
    RETURN_IF_FAILED(builder_->QueryInterface(IID_IMediaFilter, filter.PutVoid()));
    return filter->SetSyncSource(nullptr);
}

void TestGraph::Release() {
    if (control_) control_->Stop();
    control_.Reset();
    builder_.Reset();
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

std::vector<long> TestGraph::Events() {
    std::vector<long> codes;
    ComPtr<IMediaEvent> events;
    if (!builder_ || FAILED(builder_->QueryInterface(IID_IMediaEvent, events.PutVoid()))) return codes;
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        codes.push_back(code);
        events->FreeEventParams(code, p1, p2);
    }
    return codes;
}

bool WaitForEvent(IGraphBuilder* graph, long code, DWORD timeoutMs, LONG_PTR* param) {
    ComPtr<IMediaEvent> events;
    if (FAILED(graph->QueryInterface(IID_IMediaEvent, events.PutVoid()))) return false;
    return harness::WaitUntil(
        [&] {
            long got = 0;
            LONG_PTR p1 = 0, p2 = 0;
            while (events->GetEvent(&got, &p1, &p2, 0) == S_OK) {
                events->FreeEventParams(got, p1, p2);
                if (got == code) {
                    if (param) *param = p1;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, 20);
}

void StopEveryFilter(IGraphBuilder* graph) {
    ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(filters.Put()))) return;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.Put(), nullptr) == S_OK) filter->Stop();
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

}  // namespace graph_test
