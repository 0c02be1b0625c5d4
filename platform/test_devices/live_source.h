// The test devices' live source: its streaming thread waits on the graph's
// clock for the time of its next buffer.
#pragma once

#include "dshow_base/live_source.h"
#include "test_devices/live_pacer.h"

namespace test_devices {

class CLiveSource : public CLiveSourceFilter {
public:
    CLiveSource(LPCTSTR name, LPUNKNOWN outer, CLSID clsid);
    ~CLiveSource() override;

    // The streaming thread waits here for the time of its next buffer.
    LivePacer& Pacer() { return pacer_; }

protected:
    void CancelWaits() override { pacer_.Cancel(); }
    void HoldWaits(bool fromStopped) override;
    void ReleaseWaits(REFERENCE_TIME start, IReferenceClock* clock) override { pacer_.Run(start, clock); }

private:
    LivePacer pacer_;
};

}  // namespace test_devices
