#include "dshow_base/live_source.h"

#include <vfwmsgs.h>

#include "dshow_base/com_ptr.h"

STDMETHODIMP CLiveSourceFilter::Stop() {
    CancelWaits();
    return CSource::Stop();
}

STDMETHODIMP CLiveSourceFilter::Pause() {
    CAutoLock lock(m_pLock);
    HoldWaits(m_State == State_Stopped);
    return CSource::Pause();
}

STDMETHODIMP CLiveSourceFilter::Run(REFERENCE_TIME tStart) {
    CAutoLock lock(m_pLock);
    RETURN_IF_FAILED(CSource::Run(tStart));
    ComPtr<IReferenceClock> clock;
    GetSyncSource(clock.Put());
    ReleaseWaits(tStart, clock.Get());
    return S_OK;
}

STDMETHODIMP CLiveSourceFilter::GetState(DWORD milliseconds, FILTER_STATE* state) {
    RETURN_IF_FAILED(CSource::GetState(milliseconds, state));
    return *state == State_Paused ? VFW_S_CANT_CUE : S_OK;
}
