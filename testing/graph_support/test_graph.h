// The graph side of the shared test support: a graph in the system's filter
// graph manager, the registered devices and filters it is built from, pins
// and their connections, and the graph's events.
#pragma once

#include <string>
#include <vector>

#include "dshow_base/streams.h"
#include "testing/window_harness/waiting.h"

namespace graph_test {

// Joins the multithreaded apartment for a test's lifetime.
class ScopedMta {
public:
    ScopedMta() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ScopedMta() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

ComPtr<IBaseFilter> CreateFilter(REFCLSID clsid, HRESULT* hr = nullptr);
HRESULT CreateFilter(REFCLSID clsid, ComPtr<IBaseFilter>* filter);

// Picks the camera's mode of this subtype and size through IAMStreamConfig.
HRESULT SetCameraFormat(IBaseFilter* camera, const GUID& subtype, int width, int height);

// Friendly names of the devices in a category, in enumeration order.
std::vector<std::wstring> DeviceNames(REFCLSID category);
// Binds the first device of a category whose friendly name matches (any when empty).
HRESULT BindDevice(REFCLSID category, const std::wstring& name, ComPtr<IBaseFilter>* device);

class TestGraph {
public:
    // withClock false: no reference clock, so sources run flat out.
    HRESULT Create(bool withClock = true);
    // Stops the graph and lets it go; Create may follow.
    void Release();
    IGraphBuilder* Builder() const { return builder_.Get(); }
    IMediaControl* Control() const { return control_.Get(); }

    HRESULT Add(IBaseFilter* filter, LPCWSTR name);
    HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt = nullptr);
    // Disconnects both ends of the pin's connection.
    HRESULT DisconnectPin(IPin* pin);
    // Changes state and waits (bounded) for the change to complete.
    HRESULT Run();
    HRESULT Pause();
    HRESULT Stop();
    std::vector<CLSID> FilterClasses();
    // Event codes received so far (parameters freed).
    std::vector<long> Events();

private:
    HRESULT WaitForState();

    ComPtr<IGraphBuilder> builder_;
    ComPtr<IMediaControl> control_;
};

// Polls the graph's events (Wine's GetEvent with a timeout returns at once
// after the first event) until `code` arrives; its first parameter in *param.
bool WaitForEvent(IGraphBuilder* graph, long code, DWORD timeoutMs, LONG_PTR* param = nullptr);

// Stops every filter of the graph itself. Wine's graph, when Run fails on one
// filter, leaves the others paused and then treats Stop as a no-op (its own
// state never left stopped); a test that wants them stopped must say so.
void StopEveryFilter(IGraphBuilder* graph);

ComPtr<IPin> FindPin(IBaseFilter* filter, LPCWSTR name);
// The first pin of that direction, optionally only an unconnected one.
ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION dir, bool unconnectedOnly);
// The first unconnected pin of that direction; VFW_E_NOT_FOUND when none.
HRESULT FreePin(IBaseFilter* filter, PIN_DIRECTION dir, ComPtr<IPin>* pin);
// Intelligent connect from upstream's free output to downstream's free input.
HRESULT Connect(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream);
std::vector<std::wstring> PinNames(IBaseFilter* filter);
bool IsConnected(IPin* pin);
// The connection's media type, or an empty one.
CMediaType ConnectionType(IPin* pin);

using harness::PumpFor;

}  // namespace graph_test
