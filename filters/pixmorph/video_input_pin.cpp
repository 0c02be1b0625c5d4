#include "filters/pixmorph/video_input_pin.h"

#include "filters/pixmorph/PixmorphFilter.h"
#include "narrow_text/debug_text.h"

namespace {

void TraceInterfaceRequest(REFIID riid) {
    WCHAR wide[40] = {};
    char narrow[40] = {};
    if (StringFromGUID2(riid, wide, 40) > 0) {
        // Registry form is plain ASCII: hex digits, dashes and braces.
        for (int i = 0; i < 39 && wide[i]; ++i) narrow[i] = static_cast<char>(wide[i]);
    }
    SendDebugText("CVideoInputPin::NonDelegatingQueryInterface, %s", narrow);
}

}  // namespace

CVideoInputPin::CVideoInputPin(LPCTSTR objName, CPixmorph* filter, LPCWSTR pinName)
    : CTransformInputPin(objName, filter, pinName), m_pPixmorph(filter) {}

CVideoInputPin::~CVideoInputPin() = default;

STDMETHODIMP CVideoInputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    TraceInterfaceRequest(riid);
    if (!ppv) return E_POINTER;
    if (riid == IID_IPinConnection) return GetInterface(static_cast<IPinConnection*>(this), ppv);
    return CTransformInputPin::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CVideoInputPin::DynamicQueryAccept(const AM_MEDIA_TYPE* mt) {
    SendDebugText("DynamicQueryAccept");
    if (!mt) return E_POINTER;
    return m_pPixmorph->AcceptDynamicInputType(static_cast<const CMediaType*>(mt));
}

STDMETHODIMP CVideoInputPin::NotifyEndOfStream(HANDLE) {
    SendDebugText("NotifyEndOfStream");
    return S_OK;
}

STDMETHODIMP CVideoInputPin::IsEndPin() {
    SendDebugText("IsEndPin");
    return S_FALSE;
}

STDMETHODIMP CVideoInputPin::DynamicDisconnect() {
    SendDebugText("DynamicDisconnect");
    return S_OK;
}
