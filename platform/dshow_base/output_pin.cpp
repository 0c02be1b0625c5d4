#include "dshow_base/output_pin.h"

CBaseOutputPin::CBaseOutputPin(LPCTSTR objName, CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName)
    : CBasePin(objName, filter, lock, pinName, PINDIR_OUTPUT) {}

CBaseOutputPin::~CBaseOutputPin() = default;

HRESULT CBaseOutputPin::CheckConnect(IPin* pin) {
    RETURN_IF_FAILED(CBasePin::CheckConnect(pin));
    return pin->QueryInterface(IID_IMemInputPin, m_pInputPin.PutVoid());
}

HRESULT CBaseOutputPin::CompleteConnect(IPin*) {
    return DecideAllocator(m_pInputPin.Get(), m_pAllocator.Put());
}

HRESULT CBaseOutputPin::BreakConnect() {
    if (m_pAllocator) {
        m_pAllocator->Decommit();
        m_pAllocator.Reset();
    }
    m_pInputPin.Reset();
    return S_OK;
}

HRESULT CBaseOutputPin::Active() {
    if (!m_pAllocator) return VFW_E_NO_ALLOCATOR;
    return m_pAllocator->Commit();
}

HRESULT CBaseOutputPin::Inactive() {
    m_bRunTimeError = false;
    if (!m_pAllocator) return VFW_E_NO_ALLOCATOR;
    return m_pAllocator->Decommit();
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    if (!pin || !allocator) return E_POINTER;
    *allocator = nullptr;
    ALLOCATOR_PROPERTIES requested = {};
    pin->GetAllocatorRequirements(&requested);  // E_NOTIMPL: no requirements
    if (requested.cbAlign == 0) requested.cbAlign = 1;

    ComPtr<IMemAllocator> candidate;
    HRESULT hr = pin->GetAllocator(candidate.Put());
    if (SUCCEEDED(hr)) {
        ALLOCATOR_PROPERTIES props = requested;
        hr = DecideBufferSize(candidate.Get(), &props);
        if (SUCCEEDED(hr)) hr = pin->NotifyAllocator(candidate.Get(), FALSE);
        if (SUCCEEDED(hr)) {
            *allocator = candidate.Detach();
            return S_OK;
        }
    }
    hr = InitAllocator(candidate.Put());
    if (FAILED(hr)) return hr;
    ALLOCATOR_PROPERTIES props = requested;
    RETURN_IF_FAILED(DecideBufferSize(candidate.Get(), &props));
    RETURN_IF_FAILED(pin->NotifyAllocator(candidate.Get(), FALSE));
    *allocator = candidate.Detach();
    return S_OK;
}

HRESULT CBaseOutputPin::InitAllocator(IMemAllocator** allocator) {
    return CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                            reinterpret_cast<void**>(allocator));
}

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                                          DWORD flags) {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    if (!m_pAllocator) return E_NOINTERFACE;
    return m_pAllocator->GetBuffer(sample, start, stop, flags);
}

// The Deliver calls run on the streaming thread without the state lock:
// the connection cannot change while the filter is active.
HRESULT CBaseOutputPin::Deliver(IMediaSample* sample) {
    if (!m_pInputPin) return VFW_E_NOT_CONNECTED;
    return m_pInputPin->Receive(sample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream() {
    if (!m_Connected) return VFW_E_NOT_CONNECTED;
    return m_Connected->EndOfStream();
}

HRESULT CBaseOutputPin::DeliverBeginFlush() {
    if (!m_Connected) return VFW_E_NOT_CONNECTED;
    return m_Connected->BeginFlush();
}

HRESULT CBaseOutputPin::DeliverEndFlush() {
    if (!m_Connected) return VFW_E_NOT_CONNECTED;
    return m_Connected->EndFlush();
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double rate) {
    if (!m_Connected) return VFW_E_NOT_CONNECTED;
    return m_Connected->NewSegment(tStart, tStop, rate);
}

STDMETHODIMP CBaseOutputPin::EndOfStream() { return E_UNEXPECTED; }

STDMETHODIMP CBaseOutputPin::BeginFlush() { return E_UNEXPECTED; }

STDMETHODIMP CBaseOutputPin::EndFlush() { return E_UNEXPECTED; }
