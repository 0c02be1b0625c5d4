#include "system_filters/tee_position.h"

#include "system_filters/inf_tee.h"
#include "system_filters/inf_tee_pins.h"

namespace system_filters {

CTeePosition::CTeePosition(CInfTeeOutputPin* pin, CInfTee* tee)
    : CPosPassThru(L"Infinite Pin Tee seeking", static_cast<IPin*>(pin), tee->Input()),
      pin_(pin),
      tee_(tee) {}

bool CTeePosition::Primary() const { return tee_->IsPrimaryOutput(pin_); }

// The secondary outputs report success: the primary one carries the change.
STDMETHODIMP CTeePosition::SetTimeFormat(const GUID* format) {
    return Primary() ? CPosPassThru::SetTimeFormat(format) : S_OK;
}

STDMETHODIMP CTeePosition::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                        DWORD stopFlags) {
    if (Primary()) return CPosPassThru::SetPositions(current, currentFlags, stop, stopFlags);
    // Callers asking for the resulting times still get them.
    if (!((currentFlags | stopFlags) & AM_SEEKING_ReturnTime)) return S_OK;
    LONGLONG now = 0, end = 0;
    if (FAILED(CPosPassThru::GetPositions(&now, &end))) return S_OK;
    if (current && (currentFlags & AM_SEEKING_ReturnTime)) *current = now;
    if (stop && (stopFlags & AM_SEEKING_ReturnTime)) *stop = end;
    return S_OK;
}

STDMETHODIMP CTeePosition::SetRate(double rate) {
    return Primary() ? CPosPassThru::SetRate(rate) : S_OK;
}

STDMETHODIMP CTeePosition::put_CurrentPosition(REFTIME time) {
    return Primary() ? CPosPassThru::put_CurrentPosition(time) : S_OK;
}

STDMETHODIMP CTeePosition::put_StopTime(REFTIME time) {
    return Primary() ? CPosPassThru::put_StopTime(time) : S_OK;
}

STDMETHODIMP CTeePosition::put_PrerollTime(REFTIME time) {
    return Primary() ? CPosPassThru::put_PrerollTime(time) : S_OK;
}

STDMETHODIMP CTeePosition::put_Rate(double rate) {
    return Primary() ? CPosPassThru::put_Rate(rate) : S_OK;
}

}  // namespace system_filters
