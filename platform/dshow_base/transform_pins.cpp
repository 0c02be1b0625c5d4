#include "dshow_base/transform.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace {
HRESULT CopyId(LPCWSTR name, LPWSTR* id) {
    if (!id) return E_POINTER;
    const size_t bytes = (std::wcslen(name) + 1) * sizeof(WCHAR);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, name, bytes);
    return S_OK;
}
}  // namespace

// ---- CTransformInputPin

CTransformInputPin::CTransformInputPin(LPCTSTR objName, CTransformFilter* filter, LPCWSTR pinName)
    : CBaseInputPin(objName, filter, &filter->m_csFilter, pinName), m_pTransformFilter(filter) {}

STDMETHODIMP CTransformInputPin::QueryId(LPWSTR* id) { return CopyId(L"In", id); }

HRESULT CTransformInputPin::CheckConnect(IPin* pin) {
    RETURN_IF_FAILED(m_pTransformFilter->CheckConnect(PINDIR_INPUT, pin));
    return CBaseInputPin::CheckConnect(pin);
}

HRESULT CTransformInputPin::BreakConnect() {
    m_pTransformFilter->BreakConnect(PINDIR_INPUT);
    return CBaseInputPin::BreakConnect();
}

HRESULT CTransformInputPin::CompleteConnect(IPin* receivePin) {
    RETURN_IF_FAILED(m_pTransformFilter->CompleteConnect(PINDIR_INPUT, receivePin));
    return CBaseInputPin::CompleteConnect(receivePin);
}

HRESULT CTransformInputPin::CheckMediaType(const CMediaType* mt) {
    HRESULT hr = m_pTransformFilter->CheckInputType(mt);
    if (hr != S_OK) return hr;
    CTransformOutputPin* output = m_pTransformFilter->m_pOutput;
    if (!output || !output->IsConnected()) return S_OK;
    hr = m_pTransformFilter->CheckTransform(mt, &output->CurrentMediaType());
    // While stopped, a new input connection may take the output to another
    // type (CompleteConnect reconnects it); a type change on a live connection may not.
    if (hr != S_OK && IsStopped() && !IsConnected()) return S_OK;
    return hr;
}

HRESULT CTransformInputPin::SetMediaType(const CMediaType* mt) {
    RETURN_IF_FAILED(CBaseInputPin::SetMediaType(mt));
    return m_pTransformFilter->SetMediaType(PINDIR_INPUT, mt);
}

STDMETHODIMP CTransformInputPin::Receive(IMediaSample* sample) {
    CAutoLock receive(&m_pTransformFilter->m_csReceive);
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    if (m_SampleProps.dwSampleFlags & AM_SAMPLE_TYPECHANGED) {
        // Upstream switched format mid-stream, after our QueryAccept said yes.
        hr = SetMediaType(static_cast<const CMediaType*>(m_SampleProps.pMediaType));
        if (FAILED(hr)) return hr;
    }
    return m_pTransformFilter->Receive(sample);
}

STDMETHODIMP CTransformInputPin::EndOfStream() {
    CAutoLock receive(&m_pTransformFilter->m_csReceive);
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return FAILED(hr) ? hr : S_OK;
    return m_pTransformFilter->EndOfStream();
}

STDMETHODIMP CTransformInputPin::BeginFlush() {
    CAutoLock lock(m_pLock);
    if (!IsConnected()) return VFW_E_NOT_CONNECTED;
    RETURN_IF_FAILED(CBaseInputPin::BeginFlush());
    return m_pTransformFilter->BeginFlush();
}

STDMETHODIMP CTransformInputPin::EndFlush() {
    CAutoLock lock(m_pLock);
    if (!IsConnected()) return VFW_E_NOT_CONNECTED;
    {
        // Downstream is flushing, so a Receive still in progress returns soon;
        // wait for it so that nothing stale follows the EndFlush.
        CAutoLock receive(&m_pTransformFilter->m_csReceive);
    }
    RETURN_IF_FAILED(m_pTransformFilter->EndFlush());
    return CBaseInputPin::EndFlush();
}

STDMETHODIMP CTransformInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double rate) {
    CBaseInputPin::NewSegment(tStart, tStop, rate);
    return m_pTransformFilter->NewSegment(tStart, tStop, rate);
}

// ---- CTransformOutputPin

CTransformOutputPin::CTransformOutputPin(LPCTSTR objName, CTransformFilter* filter, LPCWSTR pinName)
    : CBaseOutputPin(objName, filter, &filter->m_csFilter, pinName), m_pTransformFilter(filter) {}

CTransformOutputPin::~CTransformOutputPin() {
    if (m_pPosition) m_pPosition->NonDelegatingRelease();
}

STDMETHODIMP CTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IMediaSeeking || riid == IID_IMediaPosition) {
        CAutoLock lock(&m_csPosition);
        if (!m_pPosition) {
            auto* passThru = new (std::nothrow)
                CPosPassThru(L"Transform seeking", static_cast<IPin*>(this), m_pTransformFilter->m_pInput);
            if (!passThru) {
                *ppv = nullptr;
                return E_OUTOFMEMORY;
            }
            m_pPosition = passThru;
            m_pPosition->NonDelegatingAddRef();
        }
        return m_pPosition->NonDelegatingQueryInterface(riid, ppv);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CTransformOutputPin::QueryId(LPWSTR* id) { return CopyId(L"Out", id); }

STDMETHODIMP CTransformOutputPin::Notify(IBaseFilter*, Quality q) {
    const HRESULT hr = m_pTransformFilter->AlterQuality(q);
    if (hr != S_FALSE) return hr;
    return m_pTransformFilter->m_pInput->PassNotify(q);
}

HRESULT CTransformOutputPin::CheckConnect(IPin* pin) {
    // The output type is derived from the input's.
    if (!m_pTransformFilter->m_pInput->IsConnected()) return E_UNEXPECTED;
    RETURN_IF_FAILED(m_pTransformFilter->CheckConnect(PINDIR_OUTPUT, pin));
    return CBaseOutputPin::CheckConnect(pin);
}

HRESULT CTransformOutputPin::BreakConnect() {
    m_pTransformFilter->BreakConnect(PINDIR_OUTPUT);
    return CBaseOutputPin::BreakConnect();
}

HRESULT CTransformOutputPin::CompleteConnect(IPin* receivePin) {
    RETURN_IF_FAILED(m_pTransformFilter->CompleteConnect(PINDIR_OUTPUT, receivePin));
    return CBaseOutputPin::CompleteConnect(receivePin);
}

HRESULT CTransformOutputPin::CheckMediaType(const CMediaType* mt) {
    CTransformInputPin* input = m_pTransformFilter->m_pInput;
    if (!input->IsConnected()) return E_INVALIDARG;
    return m_pTransformFilter->CheckTransform(&input->CurrentMediaType(), mt);
}

HRESULT CTransformOutputPin::SetMediaType(const CMediaType* mt) {
    RETURN_IF_FAILED(CBaseOutputPin::SetMediaType(mt));
    return m_pTransformFilter->SetMediaType(PINDIR_OUTPUT, mt);
}

HRESULT CTransformOutputPin::GetMediaType(int position, CMediaType* mt) {
    if (!m_pTransformFilter->m_pInput->IsConnected()) return E_UNEXPECTED;
    return m_pTransformFilter->GetMediaType(position, mt);
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    return m_pTransformFilter->DecideBufferSize(allocator, props);
}
