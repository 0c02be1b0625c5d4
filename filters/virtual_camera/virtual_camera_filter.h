// The virtual webcam device "Talvoro Pelloquin": a live source with one
// capture pin that shows what the video send filter of any process of the
// session publishes, or a placeholder card while nobody does.
#pragma once

#include "dshow_base/streams.h"
#include "filters/virtual_camera/camera_stream.h"
#include "filters/virtual_camera/run_gate.h"

namespace virtual_camera {

class CVirtualCamera : public CSource {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    ~CVirtualCamera() override;

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME tStart) override;
    // Paused, a live source has nothing to cue.
    STDMETHODIMP GetState(DWORD milliseconds, FILTER_STATE* state) override;

    RunGate& Gate() { return gate_; }

private:
    explicit CVirtualCamera(LPUNKNOWN outer);

    RunGate gate_;
};

}  // namespace virtual_camera
