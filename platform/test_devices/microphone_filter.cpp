#include "test_devices/microphone_filter.h"

#include <new>

#include "test_devices/test_device_ids.h"

namespace test_devices {

CTestMicrophone::CTestMicrophone(int index, LPUNKNOWN outer)
    : CLiveSource(L"Talvoro test microphone", outer, kMicrophoneClsids[index]) {}

CUnknown* WINAPI CTestMicrophone::CreateInstance(int index, LPUNKNOWN outer, HRESULT* phr) {
    auto* microphone = new (std::nothrow) CTestMicrophone(index, outer);
    // The pin registers itself with the filter, which owns it from then on.
    if (!microphone || !new (std::nothrow) CMicrophoneStream(microphone)) {
        delete microphone;
        *phr = E_OUTOFMEMORY;
        return nullptr;
    }
    return microphone;
}

}  // namespace test_devices
