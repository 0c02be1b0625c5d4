#include "system_filters/inf_tee.h"
#include "system_filters/inf_tee_pins.h"

namespace system_filters {

CInfTeeInputPin::CInfTeeInputPin(CInfTee* tee, CCritSec* lock)
    : CBaseInputPin(L"Infinite Pin Tee input", tee, lock, L"Input"), tee_(tee) {}

HRESULT CInfTeeInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    // Any type will do until outputs are connected; then each of them must
    // take it too, since the tee passes data through unchanged.
    return tee_->QueryAcceptOutputs(mt);
}

HRESULT CInfTeeInputPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    const CMediaType* downstream = tee_->ConnectedOutputType();
    if (position > 0 || !downstream) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(*downstream);
}

STDMETHODIMP CInfTeeInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    CAutoLock lock(m_pLock);
    RETURN_IF_FAILED(CBaseInputPin::NotifyAllocator(allocator, readOnly));
    // The last step of an upstream connection: type and allocator are both
    // known now, so outputs made with earlier ones can catch up.
    return tee_->RenegotiateOutputs();
}

STDMETHODIMP CInfTeeInputPin::Receive(IMediaSample* sample) {
    CAutoLock lock(tee_->ReceiveLock());
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    if (m_SampleProps.dwSampleFlags & AM_SAMPLE_TYPECHANGED) {
        tee_->AdoptInputType(*static_cast<const CMediaType*>(m_SampleProps.pMediaType));
    }
    return tee_->DeliverSample(sample);
}

// Receive only queues; waiting happens on the outputs' own threads.
STDMETHODIMP CInfTeeInputPin::ReceiveCanBlock() { return S_FALSE; }

STDMETHODIMP CInfTeeInputPin::EndOfStream() {
    CAutoLock lock(tee_->ReceiveLock());
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return FAILED(hr) ? hr : S_OK;
    tee_->DeliverEndOfStream();
    return S_OK;
}

// Flushing takes only the filter lock: the streaming thread may sit in a
// downstream Receive holding the receive lock until the flush reaches there.
STDMETHODIMP CInfTeeInputPin::BeginFlush() {
    CAutoLock lock(m_pLock);
    RETURN_IF_FAILED(CBaseInputPin::BeginFlush());
    tee_->DeliverBeginFlush();
    return S_OK;
}

STDMETHODIMP CInfTeeInputPin::EndFlush() {
    CAutoLock lock(m_pLock);
    tee_->DeliverEndFlush();
    return CBaseInputPin::EndFlush();
}

STDMETHODIMP CInfTeeInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    CAutoLock lock(m_pLock);
    RETURN_IF_FAILED(CBasePin::NewSegment(start, stop, rate));
    tee_->DeliverNewSegment(start, stop, rate);
    return S_OK;
}

}  // namespace system_filters
