// Graph building blocks shared by the capture engine and the virtual webcam
// engine: pin search, intelligent connection, tearing connections down, and
// the stop sequence. Every routine answers E_POINTER for a missing object
// instead of touching it, so an engine whose graph is gone fails cleanly.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/com_ptr.h"

namespace graph_routines {

// First pin of `filter` in enumeration order with direction `dir` that is not
// connected; E_FAIL when there is none.
HRESULT FindUnconnectedPin(IBaseFilter* filter, PIN_DIRECTION dir, ComPtr<IPin>* pin);

// Intelligent connect from upstream's first free output to downstream's first
// free input; the graph may insert converters between them.
HRESULT ConnectFilters(IGraphBuilder* graph, IBaseFilter* upstream, IBaseFilter* downstream);

// Breaks every connection in the graph; the filters stay in it.
HRESULT DisconnectAll(IFilterGraph* graph);

// Removes the filter in `slot` from the graph and empties the slot; the
// result is RemoveFilter's. An empty slot is left alone (S_FALSE).
HRESULT RemoveAndRelease(IFilterGraph* graph, ComPtr<IBaseFilter>* slot);

// Creates `clsid` into an empty slot and adds it to the graph as `name`; a
// filled slot is kept, so later rebuilds reuse the filter. Only a creation
// failure is reported: a filter that could not be added fails its first
// connection instead.
HRESULT CreateFilterOnce(IFilterGraph* graph, REFCLSID clsid, LPCWSTR name, ComPtr<IBaseFilter>* slot);

// Pause, then Stop. *running stays 1 only when Stop failed; the result is Stop's.
HRESULT StopSequence(IMediaControl* control, int* running);

// Stops every filter of the graph itself. After a failed Run a graph may
// leave the filters it had already paused in that state while counting
// itself stopped, so that its own Stop changes nothing; paused filters refuse
// to be disconnected, which would block every later rebuild.
void StopEveryFilter(IFilterGraph* graph);

// Drops the media control and detaches and drops the video window, so the
// next attach starts from a clean window.
void ReleaseControlAndWindow(ComPtr<IMediaControl>* control, ComPtr<IVideoWindow>* window);

// First output pin of `filter` that is connected to a peer; E_FAIL when none.
HRESULT FindConnectedOutputPin(IBaseFilter* filter, ComPtr<IPin>* pin);

}  // namespace graph_routines
