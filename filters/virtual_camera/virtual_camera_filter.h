// The virtual webcam device "Talvoro Pelloquin": a live source with one
// capture pin that shows what the video send filter of any process of the
// session publishes, or a placeholder card while nobody does.
#pragma once

#include "dshow_base/streams.h"
#include "filters/virtual_camera/camera_stream.h"
#include "filters/virtual_camera/run_gate.h"

namespace virtual_camera {

class CVirtualCamera : public CLiveSourceFilter {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    ~CVirtualCamera() override;

    RunGate& Gate() { return gate_; }

protected:
    void CancelWaits() override { gate_.Cancel(); }
    void HoldWaits(bool fromStopped) override;
    void ReleaseWaits(REFERENCE_TIME, IReferenceClock*) override { gate_.Run(); }

private:
    explicit CVirtualCamera(LPUNKNOWN outer);

    RunGate gate_;
};

}  // namespace virtual_camera
