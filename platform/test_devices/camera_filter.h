// The test camera: a live source with one "Capture" pin and a property page.
#pragma once

#include <ocidl.h>

#include "test_devices/camera_stream.h"
#include "test_devices/device_config.h"
#include "test_devices/live_source.h"
#include "test_devices/test_device_ids.h"

namespace test_devices {

class CTestCamera : public CLiveSource, public ISpecifyPropertyPages {
public:
    // Camera `index` of the configured device set (the default settings when the
    // set has fewer cameras).
    static CUnknown* WINAPI CreateInstance(int index, LPUNKNOWN outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    ~CTestCamera() override;

    // An exclusive camera is held from Stop -> Pause until Stop.
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME tStart) override;
    STDMETHODIMP Stop() override;

private:
    CTestCamera(int index, LPUNKNOWN outer, bool exclusive);
    // Takes the camera for this graph; ERROR_BUSY while another holds it.
    HRESULT Hold();

    const int index_;
    const bool exclusive_;
    // A named object that exists while some graph holds the camera; its
    // existence, not ownership, is the hold, so any thread may let it go.
    HANDLE hold_ = nullptr;
};

}  // namespace test_devices
