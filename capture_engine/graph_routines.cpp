#include "capture_engine/graph_routines.h"

namespace graph_routines {
namespace {

bool IsConnected(IPin* pin) {
    ComPtr<IPin> peer;
    return pin->ConnectedTo(peer.Put()) == S_OK && peer;
}

// Disconnects every connected pin of one filter. Filters may drop or
// destroy pins when one of theirs is disconnected (a tee its spare outputs, a
// file parser its streams), so no pin is kept across a disconnection: the
// enumeration starts over when the filter reports its pin set changed.
void DisconnectPins(IFilterGraph* graph, IBaseFilter* filter) {
    ComPtr<IEnumPins> pinEnum;
    if (FAILED(filter->EnumPins(pinEnum.Put()))) return;
    for (int restarts = 0; restarts < 16;) {
        ComPtr<IPin> pin;
        const HRESULT next = pinEnum->Next(1, pin.Put(), nullptr);
        if (next == VFW_E_ENUM_OUT_OF_SYNC) {
            pinEnum->Reset();
            ++restarts;
            continue;
        }
        if (next != S_OK) return;
        if (IsConnected(pin.Get())) graph->Disconnect(pin.Get());
    }
}

}  // namespace

HRESULT FindUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION dir, ComPtr<IPin>* pin) {
    if (!filter || !pin) return E_POINTER;
    ComPtr<IEnumPins> pinEnum;
    RETURN_IF_FAILED(filter->EnumPins(pinEnum.Put()));
    ComPtr<IPin> candidate;
    while (pinEnum->Next(1, candidate.Put(), nullptr) == S_OK) {
        PIN_DIRECTION candidateDir;
        if (FAILED(candidate->QueryDirection(&candidateDir)) || candidateDir != dir) continue;
        ComPtr<IPin> peer;
        if (FAILED(candidate->ConnectedTo(peer.Put()))) {
            *pin = candidate;
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT ConnectFilters(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream) {
    if (!graph || !upstream || !downstream) return E_POINTER;
    ComPtr<IPin> out, in;
    RETURN_IF_FAILED(FindUnconnectedPin(upstream, PINDIR_OUTPUT, &out));
    RETURN_IF_FAILED(FindUnconnectedPin(downstream, PINDIR_INPUT, &in));
    return graph->Connect(out.Get(), in.Get());
}

HRESULT DisconnectAll(IFilterGraph* graph) {
    if (!graph) return E_POINTER;
    ComPtr<IEnumFilters> filterEnum;
    const HRESULT enumResult = graph->EnumFilters(filterEnum.Put());
    if (FAILED(enumResult)) return enumResult;
    ComPtr<IBaseFilter> filter;
    // Each end is disconnected when its own filter is visited.
    while (filterEnum->Next(1, filter.Put(), nullptr) == S_OK) DisconnectPins(graph, filter.Get());
    return enumResult;
}

HRESULT RemoveAndRelease(IFilterGraph* graph, ComPtr<IBaseFilter>* slot) {
    if (!slot || !*slot) return S_FALSE;
    const HRESULT hr = graph ? graph->RemoveFilter(slot->Get()) : E_POINTER;
    slot->Reset();
    return hr;
}

HRESULT CreateFilterOnce(IFilterGraph* graph, REFCLSID clsid, LPCWSTR name, ComPtr<IBaseFilter>* slot) {
    if (!graph) return E_POINTER;
    if (*slot) return S_OK;
    RETURN_IF_FAILED(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, slot->PutVoid()));
    graph->AddFilter(slot->Get(), name);
    return S_OK;
}

HRESULT StopSequence(IMediaControl* control, int* running) {
    if (!control) return E_POINTER;
    control->Pause();
    const HRESULT hr = control->Stop();
    *running = FAILED(hr) ? 1 : 0;
    return hr;
}

void StopEveryFilter(IFilterGraph* graph) {
    if (!graph) return;
    ComPtr<IEnumFilters> filterEnum;
    if (FAILED(graph->EnumFilters(filterEnum.Put()))) return;
    ComPtr<IBaseFilter> filter;
    while (filterEnum->Next(1, filter.Put(), nullptr) == S_OK) filter->Stop();
}

void ReleaseControlAndWindow(ComPtr<IMediaControl>* control, ComPtr<IVideoWindow>* window) {
    control->Reset();
    if (*window) {
        (*window)->put_Visible(OAFALSE);
        (*window)->put_Owner(0);
        (*window)->put_MessageDrain(0);
        window->Reset();
    }
}

HRESULT FindConnectedOutputPin(IBaseFilter* filter, ComPtr<IPin>* pin) {
    if (!filter || !pin) return E_POINTER;
    ComPtr<IEnumPins> pinEnum;
    RETURN_IF_FAILED(filter->EnumPins(pinEnum.Put()));
    ComPtr<IPin> candidate;
    while (pinEnum->Next(1, candidate.Put(), nullptr) == S_OK) {
        PIN_DIRECTION dir;
        if (FAILED(candidate->QueryDirection(&dir)) || dir != PINDIR_OUTPUT) continue;
        if (IsConnected(candidate.Get())) {
            *pin = candidate;
            return S_OK;
        }
    }
    return E_FAIL;
}

}  // namespace graph_routines
