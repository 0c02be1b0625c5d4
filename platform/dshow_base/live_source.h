// A source filter that behaves like a capture device: it produces data only
// while running, and says that it cannot cue data in pause (VFW_S_CANT_CUE),
// so the graph does not wait for a preroll that never comes. How the
// streaming thread waits for its next buffer is the device's own; this class
// tells it when the filter changes state.
#pragma once

#include "dshow_base/source.h"

class CLiveSourceFilter : public CSource {
public:
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME tStart) override;
    STDMETHODIMP GetState(DWORD milliseconds, FILTER_STATE* state) override;

protected:
    CLiveSourceFilter(LPCTSTR name, LPUNKNOWN outer, CLSID clsid) : CSource(name, outer, clsid) {}

    // Ends every wait of the streaming thread. Stop calls it before the pins
    // go inactive (they wait for that thread); a device's destructor calls it
    // too, so that no waiting thread outlives the pins.
    virtual void CancelWaits() = 0;
    // Under the filter lock, on the way to paused: from stopped (waits hold
    // again after a cancel) or from running.
    virtual void HoldWaits(bool fromStopped) = 0;
    // Under the filter lock, once running from `start` on `clock` (may be null).
    virtual void ReleaseWaits(REFERENCE_TIME start, IReferenceClock* clock) = 0;
};
