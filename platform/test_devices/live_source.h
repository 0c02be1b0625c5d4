// A source filter that behaves like a capture device: it produces data only
// while running, paced by the graph's clock, and tells the graph that it
// cannot cue data in pause (VFW_S_CANT_CUE), so the graph does not wait for
// a preroll that never comes.
#pragma once

#include "dshow_base/source.h"
#include "test_devices/live_pacer.h"

namespace test_devices {

class CLiveSource : public CSource {
public:
    CLiveSource(LPCTSTR name, LPUNKNOWN outer, CLSID clsid);
    ~CLiveSource() override;

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME tStart) override;
    STDMETHODIMP GetState(DWORD milliseconds, FILTER_STATE* state) override;

    // The streaming thread waits here for the time of its next buffer.
    LivePacer& Pacer() { return pacer_; }

private:
    LivePacer pacer_;
};

}  // namespace test_devices
