#include "test_devices/live_source.h"

namespace test_devices {

CLiveSource::CLiveSource(LPCTSTR name, LPUNKNOWN outer, CLSID clsid) : CLiveSourceFilter(name, outer, clsid) {}

CLiveSource::~CLiveSource() { CancelWaits(); }

void CLiveSource::HoldWaits(bool fromStopped) {
    if (fromStopped) {
        pacer_.Reset();
    } else {
        pacer_.Pause();
    }
}

}  // namespace test_devices
