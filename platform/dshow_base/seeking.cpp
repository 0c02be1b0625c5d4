#include "dshow_base/seeking.h"

CPosPassThru::CPosPassThru(LPCTSTR name, LPUNKNOWN outer, IPin* pin) : CUnknown(name, outer), pin_(pin) {}

STDMETHODIMP CPosPassThru::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    if (riid == IID_IMediaPosition || riid == IID_IDispatch) {
        return GetInterface(static_cast<IMediaPosition*>(this), ppv);
    }
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CPosPassThru::GetPeerSeeking(ComPtr<IMediaSeeking>* seeking) {
    ComPtr<IPin> peer;
    if (!pin_ || FAILED(pin_->ConnectedTo(peer.Put()))) return E_NOTIMPL;
    if (FAILED(peer->QueryInterface(IID_IMediaSeeking, seeking->PutVoid()))) return E_NOTIMPL;
    return S_OK;
}

HRESULT CPosPassThru::GetPeerPosition(ComPtr<IMediaPosition>* position) {
    ComPtr<IPin> peer;
    if (!pin_ || FAILED(pin_->ConnectedTo(peer.Put()))) return E_NOTIMPL;
    // MinGW declares no __uuidof for control.h interfaces: name the IID.
    if (FAILED(peer->QueryInterface(IID_IMediaPosition, position->PutVoid()))) return E_NOTIMPL;
    return S_OK;
}

// Each call forwards verbatim; the macros keep the forwarding to one line each.
#define FORWARD_SEEKING(call)               \
    ComPtr<IMediaSeeking> peer;             \
    RETURN_IF_FAILED(GetPeerSeeking(&peer)); \
    return peer->call
#define FORWARD_POSITION(call)               \
    ComPtr<IMediaPosition> peer;             \
    RETURN_IF_FAILED(GetPeerPosition(&peer)); \
    return peer->call

STDMETHODIMP CPosPassThru::GetCapabilities(DWORD* caps) { FORWARD_SEEKING(GetCapabilities(caps)); }
STDMETHODIMP CPosPassThru::CheckCapabilities(DWORD* caps) { FORWARD_SEEKING(CheckCapabilities(caps)); }
STDMETHODIMP CPosPassThru::IsFormatSupported(const GUID* format) { FORWARD_SEEKING(IsFormatSupported(format)); }
STDMETHODIMP CPosPassThru::QueryPreferredFormat(GUID* format) { FORWARD_SEEKING(QueryPreferredFormat(format)); }
STDMETHODIMP CPosPassThru::GetTimeFormat(GUID* format) { FORWARD_SEEKING(GetTimeFormat(format)); }
STDMETHODIMP CPosPassThru::IsUsingTimeFormat(const GUID* format) { FORWARD_SEEKING(IsUsingTimeFormat(format)); }
STDMETHODIMP CPosPassThru::SetTimeFormat(const GUID* format) { FORWARD_SEEKING(SetTimeFormat(format)); }
STDMETHODIMP CPosPassThru::GetDuration(LONGLONG* duration) { FORWARD_SEEKING(GetDuration(duration)); }
STDMETHODIMP CPosPassThru::GetStopPosition(LONGLONG* stop) { FORWARD_SEEKING(GetStopPosition(stop)); }
STDMETHODIMP CPosPassThru::GetCurrentPosition(LONGLONG* current) { FORWARD_SEEKING(GetCurrentPosition(current)); }
STDMETHODIMP CPosPassThru::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                             const GUID* sourceFormat) {
    FORWARD_SEEKING(ConvertTimeFormat(target, targetFormat, source, sourceFormat));
}
STDMETHODIMP CPosPassThru::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) {
    FORWARD_SEEKING(SetPositions(current, currentFlags, stop, stopFlags));
}
STDMETHODIMP CPosPassThru::GetPositions(LONGLONG* current, LONGLONG* stop) {
    FORWARD_SEEKING(GetPositions(current, stop));
}
STDMETHODIMP CPosPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    FORWARD_SEEKING(GetAvailable(earliest, latest));
}
STDMETHODIMP CPosPassThru::SetRate(double rate) { FORWARD_SEEKING(SetRate(rate)); }
STDMETHODIMP CPosPassThru::GetRate(double* rate) { FORWARD_SEEKING(GetRate(rate)); }
STDMETHODIMP CPosPassThru::GetPreroll(LONGLONG* preroll) { FORWARD_SEEKING(GetPreroll(preroll)); }

STDMETHODIMP CPosPassThru::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
STDMETHODIMP CPosPassThru::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP CPosPassThru::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
STDMETHODIMP CPosPassThru::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

STDMETHODIMP CPosPassThru::get_Duration(REFTIME* length) { FORWARD_POSITION(get_Duration(length)); }
STDMETHODIMP CPosPassThru::put_CurrentPosition(REFTIME time) { FORWARD_POSITION(put_CurrentPosition(time)); }
STDMETHODIMP CPosPassThru::get_CurrentPosition(REFTIME* time) { FORWARD_POSITION(get_CurrentPosition(time)); }
STDMETHODIMP CPosPassThru::get_StopTime(REFTIME* time) { FORWARD_POSITION(get_StopTime(time)); }
STDMETHODIMP CPosPassThru::put_StopTime(REFTIME time) { FORWARD_POSITION(put_StopTime(time)); }
STDMETHODIMP CPosPassThru::get_PrerollTime(REFTIME* time) { FORWARD_POSITION(get_PrerollTime(time)); }
STDMETHODIMP CPosPassThru::put_PrerollTime(REFTIME time) { FORWARD_POSITION(put_PrerollTime(time)); }
STDMETHODIMP CPosPassThru::put_Rate(double rate) { FORWARD_POSITION(put_Rate(rate)); }
STDMETHODIMP CPosPassThru::get_Rate(double* rate) { FORWARD_POSITION(get_Rate(rate)); }
STDMETHODIMP CPosPassThru::CanSeekForward(LONG* can) { FORWARD_POSITION(CanSeekForward(can)); }
STDMETHODIMP CPosPassThru::CanSeekBackward(LONG* can) { FORWARD_POSITION(CanSeekBackward(can)); }
