#include "test_devices/live_source.h"

#include <vfwmsgs.h>

namespace test_devices {

CLiveSource::CLiveSource(LPCTSTR name, LPUNKNOWN outer, CLSID clsid) : CSource(name, outer, clsid) {}

CLiveSource::~CLiveSource() {
    // A streaming thread still waiting must not outlive the pins.
    pacer_.Cancel();
}

STDMETHODIMP CLiveSource::Stop() {
    // Before the pins go inactive: they wait for the streaming thread, which
    // may be waiting for a time that will not come.
    pacer_.Cancel();
    return CSource::Stop();
}

STDMETHODIMP CLiveSource::Pause() {
    CAutoLock lock(m_pLock);
    if (m_State == State_Stopped) {
        pacer_.Reset();
    } else {
        pacer_.Pause();
    }
    return CSource::Pause();
}

STDMETHODIMP CLiveSource::Run(REFERENCE_TIME tStart) {
    CAutoLock lock(m_pLock);
    RETURN_IF_FAILED(CSource::Run(tStart));
    ComPtr<IReferenceClock> clock;
    GetSyncSource(clock.Put());
    pacer_.Run(tStart, clock.Get());
    return S_OK;
}

STDMETHODIMP CLiveSource::GetState(DWORD milliseconds, FILTER_STATE* state) {
    RETURN_IF_FAILED(CSource::GetState(milliseconds, state));
    return *state == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

}  // namespace test_devices
