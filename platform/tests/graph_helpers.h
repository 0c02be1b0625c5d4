// Small client-side helpers for tests that build graphs in Wine's filter graph
// manager from the registered test devices and stand-in filters.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <string>
#include <vector>

#include "dshow_base/com_ptr.h"

namespace testgraph {

// Friendly names of the devices in a category, in enumeration order.
std::vector<std::wstring> DeviceNames(REFCLSID category);

// Binds the first device of a category whose friendly name matches (any when empty).
HRESULT BindDevice(REFCLSID category, const std::wstring& name, ComPtr<IBaseFilter>* device);

HRESULT CreateFilter(REFCLSID clsid, ComPtr<IBaseFilter>* filter);

// First pin of the direction that is not connected yet.
HRESULT FreePin(IBaseFilter* filter, PIN_DIRECTION dir, ComPtr<IPin>* pin);

// Intelligent connect from upstream's free output to downstream's free input.
HRESULT Connect(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream);

// Pumps messages for the given time, so renderer windows and graph events run.
void PumpFor(DWORD milliseconds);

}  // namespace testgraph
