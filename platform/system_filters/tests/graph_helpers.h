// Small helpers over Wine's (or Windows') filter graph manager for tests.
#pragma once

#include <string>
#include <vector>

#include "dshow_base/streams.h"

namespace system_filters_test {

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

class TestGraph {
public:
    HRESULT Create();
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

private:
    HRESULT WaitForState();

    ComPtr<IGraphBuilder> builder_;
    ComPtr<IMediaControl> control_;
};

ComPtr<IPin> FindPin(IBaseFilter* filter, LPCWSTR name);
// The first pin of that direction, optionally only an unconnected one.
ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION dir, bool unconnectedOnly);
std::vector<std::wstring> PinNames(IBaseFilter* filter);
bool IsConnected(IPin* pin);
// The connection's media type, or an empty one.
CMediaType ConnectionType(IPin* pin);

}  // namespace system_filters_test
