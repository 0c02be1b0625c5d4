#include "dshow_base/input_pin.h"

CBaseInputPin::CBaseInputPin(LPCTSTR objName, CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName)
    : CBasePin(objName, filter, lock, pinName, PINDIR_INPUT) {}

CBaseInputPin::~CBaseInputPin() = default;

STDMETHODIMP CBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IMemInputPin) return GetInterface(static_cast<IMemInputPin*>(this), ppv);
    return CBasePin::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CBaseInputPin::GetAllocator(IMemAllocator** allocator) {
    if (!allocator) return E_POINTER;
    *allocator = nullptr;
    CAutoLock lock(m_pLock);
    if (!m_pAllocator) {
        RETURN_IF_FAILED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                          m_pAllocator.PutVoid()));
    }
    return m_pAllocator.CopyTo(allocator);
}

STDMETHODIMP CBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    if (!allocator) return E_POINTER;
    CAutoLock lock(m_pLock);
    m_pAllocator = ComPtr<IMemAllocator>(allocator);
    m_bReadOnly = readOnly;
    return S_OK;
}

HRESULT CBaseInputPin::BreakConnect() {
    if (m_pAllocator) {
        m_pAllocator->Decommit();
        m_pAllocator.Reset();
    }
    m_bReadOnly = FALSE;
    return S_OK;
}

HRESULT CBaseInputPin::Inactive() {
    m_bRunTimeError = false;
    m_bFlushing = FALSE;
    // The output pin commits; decommitting here too wakes an upstream thread
    // blocked in GetBuffer even when its own pin is stopped later.
    return m_pAllocator ? m_pAllocator->Decommit() : S_OK;
}

HRESULT CBaseInputPin::CheckStreaming() {
    if (!IsConnected()) return VFW_E_NOT_CONNECTED;
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (m_bFlushing) return S_FALSE;
    if (m_bRunTimeError) return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    RETURN_IF_FAILED(ReadSampleProperties(sample));
    if (!(m_SampleProps.dwSampleFlags & AM_SAMPLE_TYPECHANGED)) return S_OK;
    // A type change must still be one we accept.
    hr = CheckMediaType(static_cast<const CMediaType*>(m_SampleProps.pMediaType));
    return hr == S_OK ? S_OK : RefuseTypeChange();
}

HRESULT CBaseInputPin::RefuseTypeChange() {
    EndOfStream();  // before the error flag, which would make it refuse
    m_bRunTimeError = true;
    m_pFilter->NotifyEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
    return VFW_E_INVALIDMEDIATYPE;
}

HRESULT CBaseInputPin::ReadSampleProperties(IMediaSample* sample) {
    m_receivedType.InitMediaType();
    ComPtr<IMediaSample2> sample2;
    if (SUCCEEDED(sample->QueryInterface(IID_IMediaSample2, sample2.PutVoid()))) {
        return sample2->GetProperties(sizeof m_SampleProps, reinterpret_cast<BYTE*>(&m_SampleProps));
    }
    // Samples of other allocators may offer IMediaSample only.
    AM_SAMPLE2_PROPERTIES& p = m_SampleProps;
    p = AM_SAMPLE2_PROPERTIES{};
    p.cbData = sizeof p;
    p.dwTypeSpecificFlags = 0;
    p.dwStreamId = AM_STREAM_MEDIA;
    HRESULT hr = sample->GetTime(&p.tStart, &p.tStop);
    if (SUCCEEDED(hr)) {
        p.dwSampleFlags |= AM_SAMPLE_TIMEVALID;
        if (hr == S_OK) p.dwSampleFlags |= AM_SAMPLE_STOPVALID;
    }
    if (sample->IsSyncPoint() == S_OK) p.dwSampleFlags |= AM_SAMPLE_SPLICEPOINT;
    if (sample->IsPreroll() == S_OK) p.dwSampleFlags |= AM_SAMPLE_PREROLL;
    if (sample->IsDiscontinuity() == S_OK) p.dwSampleFlags |= AM_SAMPLE_DATADISCONTINUITY;
    AM_MEDIA_TYPE* type = nullptr;
    if (sample->GetMediaType(&type) == S_OK && type) {
        m_receivedType.Set(*type);
        DeleteMediaType(type);
        p.pMediaType = &m_receivedType;
        p.dwSampleFlags |= AM_SAMPLE_TYPECHANGED;
    }
    RETURN_IF_FAILED(sample->GetPointer(&p.pbBuffer));
    p.lActual = sample->GetActualDataLength();
    p.cbBuffer = sample->GetSize();
    return S_OK;
}

STDMETHODIMP CBaseInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
    if (!samples || !processed) return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK) break;
        ++*processed;
    }
    return hr;
}

STDMETHODIMP CBaseInputPin::ReceiveCanBlock() {
    // We block exactly when some pin downstream of us does; a filter without
    // connected outputs is a renderer, which may block.
    int outputs = 0;
    for (int i = 0, n = m_pFilter->GetPinCount(); i < n; ++i) {
        CBasePin* pin = m_pFilter->GetPin(i);
        if (!pin || pin->Direction() != PINDIR_OUTPUT || !pin->IsConnected()) continue;
        ++outputs;
        ComPtr<IMemInputPin> downstream;
        if (FAILED(pin->GetConnected()->QueryInterface(IID_IMemInputPin, downstream.PutVoid()))) return S_OK;
        if (downstream->ReceiveCanBlock() != S_FALSE) return S_OK;
    }
    return outputs == 0 ? S_OK : S_FALSE;
}

STDMETHODIMP CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

STDMETHODIMP CBaseInputPin::BeginFlush() {
    CAutoLock lock(m_pLock);
    m_bFlushing = TRUE;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::EndFlush() {
    CAutoLock lock(m_pLock);
    m_bFlushing = FALSE;
    m_bRunTimeError = false;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    return FAILED(hr) ? hr : S_OK;
}

HRESULT CBaseInputPin::PassNotify(Quality& q) {
    if (m_pQSink) return m_pQSink->Notify(m_pFilter, q);
    ComPtr<IQualityControl> upstream;
    IPin* peer = GetConnected();
    if (!peer || FAILED(peer->QueryInterface(IID_IQualityControl, upstream.PutVoid()))) return VFW_E_NOT_FOUND;
    return upstream->Notify(m_pFilter, q);
}
