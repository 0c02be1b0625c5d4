#include "system_filters/avi_mux_seeking.h"

#include "system_filters/avi_mux.h"

namespace system_filters {
namespace {
const DWORD kCaps = AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;

bool IsMediaTime(const GUID* format) { return format && *format == TIME_FORMAT_MEDIA_TIME; }
}  // namespace

STDMETHODIMP CAviMuxSeeking::QueryInterface(REFIID riid, void** ppv) { return mux_->QueryInterface(riid, ppv); }
STDMETHODIMP_(ULONG) CAviMuxSeeking::AddRef() { return mux_->AddRef(); }
STDMETHODIMP_(ULONG) CAviMuxSeeking::Release() { return mux_->Release(); }

STDMETHODIMP CAviMuxSeeking::GetCapabilities(DWORD* caps) {
    if (!caps) return E_POINTER;
    *caps = kCaps;
    return S_OK;
}

STDMETHODIMP CAviMuxSeeking::CheckCapabilities(DWORD* caps) {
    if (!caps) return E_POINTER;
    const DWORD asked = *caps;
    *caps &= kCaps;
    if (*caps == asked) return S_OK;
    return *caps ? S_FALSE : E_FAIL;
}

STDMETHODIMP CAviMuxSeeking::IsFormatSupported(const GUID* format) {
    if (!format) return E_POINTER;
    return IsMediaTime(format) ? S_OK : S_FALSE;
}

STDMETHODIMP CAviMuxSeeking::QueryPreferredFormat(GUID* format) { return GetTimeFormat(format); }

STDMETHODIMP CAviMuxSeeking::GetTimeFormat(GUID* format) {
    if (!format) return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

STDMETHODIMP CAviMuxSeeking::IsUsingTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return IsMediaTime(format) ? S_OK : S_FALSE;
}

STDMETHODIMP CAviMuxSeeking::SetTimeFormat(const GUID* format) {
    if (!format) return E_POINTER;
    return IsMediaTime(format) ? S_OK : E_INVALIDARG;
}

STDMETHODIMP CAviMuxSeeking::GetDuration(LONGLONG* duration) { return GetCurrentPosition(duration); }

STDMETHODIMP CAviMuxSeeking::GetStopPosition(LONGLONG* stop) { return GetCurrentPosition(stop); }

STDMETHODIMP CAviMuxSeeking::GetCurrentPosition(LONGLONG* current) {
    if (!current) return E_POINTER;
    *current = mux_->RecordedTime();
    return S_OK;
}

STDMETHODIMP CAviMuxSeeking::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                               const GUID* sourceFormat) {
    if (!target) return E_POINTER;
    // A null format means the current one, which is always media time.
    if ((targetFormat && !IsMediaTime(targetFormat)) || (sourceFormat && !IsMediaTime(sourceFormat))) {
        return E_INVALIDARG;
    }
    *target = source;
    return S_OK;
}

STDMETHODIMP CAviMuxSeeking::SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) { return E_NOTIMPL; }

STDMETHODIMP CAviMuxSeeking::GetPositions(LONGLONG* current, LONGLONG* stop) {
    const LONGLONG recorded = mux_->RecordedTime();
    if (current) *current = recorded;
    if (stop) *stop = recorded;
    return S_OK;
}

STDMETHODIMP CAviMuxSeeking::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    if (earliest) *earliest = 0;
    if (latest) *latest = mux_->RecordedTime();
    return S_OK;
}

STDMETHODIMP CAviMuxSeeking::SetRate(double rate) { return rate == 1.0 ? S_OK : E_NOTIMPL; }

STDMETHODIMP CAviMuxSeeking::GetRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = 1.0;
    return S_OK;
}

STDMETHODIMP CAviMuxSeeking::GetPreroll(LONGLONG* preroll) {
    if (!preroll) return E_POINTER;
    *preroll = 0;
    return S_OK;
}

}  // namespace system_filters
