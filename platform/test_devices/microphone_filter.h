// The test microphone: a live source with one "Capture" pin.
#pragma once

#include "test_devices/live_source.h"
#include "test_devices/microphone_stream.h"

namespace test_devices {

class CTestMicrophone : public CLiveSource {
public:
    static CUnknown* WINAPI CreateInstance(int index, LPUNKNOWN outer, HRESULT* phr);

private:
    CTestMicrophone(int index, LPUNKNOWN outer);
};

}  // namespace test_devices
