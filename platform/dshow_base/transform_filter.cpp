#include "dshow_base/transform.h"

#include <cwchar>
#include <new>

CTransformFilter::CTransformFilter(LPCTSTR name, LPUNKNOWN outer, REFCLSID clsid)
    : CBaseFilter(name, outer, &m_csFilter, clsid) {}

CTransformFilter::~CTransformFilter() {
    delete m_pInput;
    delete m_pOutput;
}

CTransformInputPin* CTransformFilter::CreateInputPin() {
    return new (std::nothrow) CTransformInputPin(L"Transform input pin", this, L"XForm In");
}

CTransformOutputPin* CTransformFilter::CreateOutputPin() {
    return new (std::nothrow) CTransformOutputPin(L"Transform output pin", this, L"XForm Out");
}

CBasePin* CTransformFilter::GetPin(int n) {
    if (!m_pInput) {
        m_pInput = CreateInputPin();
        m_pOutput = m_pInput ? CreateOutputPin() : nullptr;
        if (!m_pOutput) {
            delete m_pInput;
            m_pInput = nullptr;
        }
    }
    if (n == 0) return m_pInput;
    if (n == 1) return m_pOutput;
    return nullptr;
}

STDMETHODIMP CTransformFilter::FindPin(LPCWSTR id, IPin** ppPin) {
    if (!ppPin) return E_POINTER;
    *ppPin = nullptr;
    if (!id) return E_POINTER;
    CBasePin* pin = nullptr;
    if (std::wcscmp(id, L"In") == 0) pin = GetPin(0);
    if (std::wcscmp(id, L"Out") == 0) pin = GetPin(1);
    if (!pin) return CBaseFilter::FindPin(id, ppPin);
    *ppPin = pin;
    pin->AddRef();
    return S_OK;
}

bool CTransformFilter::PinsConnected() {
    return m_pInput && m_pOutput && m_pInput->IsConnected() && m_pOutput->IsConnected();
}

STDMETHODIMP CTransformFilter::Stop() {
    CAutoLock lock(&m_csFilter);
    if (m_State == State_Stopped) return S_OK;
    if (!PinsConnected()) {
        m_State = State_Stopped;
        m_bEOSDelivered = FALSE;
        return S_OK;
    }
    // Decommit before waiting for the streaming thread: a Receive blocked in
    // GetBuffer on either allocator then fails instead of holding m_csReceive forever.
    m_pInput->Inactive();
    m_pOutput->Inactive();
    CAutoLock receive(&m_csReceive);
    const HRESULT hr = StopStreaming();
    if (SUCCEEDED(hr)) {
        m_State = State_Stopped;
        m_bEOSDelivered = FALSE;
    }
    return hr;
}

STDMETHODIMP CTransformFilter::Pause() {
    CAutoLock lock(&m_csFilter);
    GetPin(0);
    HRESULT hr = S_OK;
    if (!m_pInput || !m_pInput->IsConnected()) {
        // Nothing will ever arrive: let downstream finish instead of waiting.
        if (m_pOutput && m_pOutput->IsConnected() && !m_bEOSDelivered) {
            m_pOutput->DeliverEndOfStream();
            m_bEOSDelivered = TRUE;
        }
        m_State = State_Paused;
    } else if (!m_pOutput->IsConnected()) {
        m_State = State_Paused;
    } else {
        if (m_State == State_Stopped) {
            CAutoLock receive(&m_csReceive);
            hr = StartStreaming();
        }
        if (SUCCEEDED(hr)) hr = CBaseFilter::Pause();
    }
    m_bSampleSkipped = FALSE;
    m_bQualityChanged = FALSE;
    return hr;
}

HRESULT CTransformFilter::Transform(IMediaSample*, IMediaSample*) { return E_UNEXPECTED; }

HRESULT CTransformFilter::StartStreaming() { return S_OK; }

HRESULT CTransformFilter::StopStreaming() { return S_OK; }

HRESULT CTransformFilter::AlterQuality(Quality) { return S_FALSE; }

HRESULT CTransformFilter::SetMediaType(PIN_DIRECTION, const CMediaType*) { return S_OK; }

HRESULT CTransformFilter::CheckConnect(PIN_DIRECTION, IPin*) { return S_OK; }

HRESULT CTransformFilter::BreakConnect(PIN_DIRECTION) { return S_OK; }

HRESULT CTransformFilter::CompleteConnect(PIN_DIRECTION dir, IPin*) {
    if (dir != PINDIR_INPUT || !m_pOutput->IsConnected()) return S_OK;
    const CMediaType* in = &m_pInput->CurrentMediaType();
    const CMediaType& out = m_pOutput->CurrentMediaType();
    if (CheckTransform(in, &out) == S_OK) {
        // Same output type, but its buffer size may follow the input: renegotiate where a graph can.
        if (m_pGraph) ReconnectPin(m_pOutput, &out);
        return S_OK;
    }
    // The graph reconnects asynchronously, so only propose what downstream says it takes.
    CMediaType proposed;
    for (int i = 0; GetMediaType(i, &proposed) == S_OK; ++i) {
        if (CheckTransform(in, &proposed) == S_OK && m_pOutput->GetConnected()->QueryAccept(&proposed) == S_OK) {
            return ReconnectPin(m_pOutput, &proposed);
        }
    }
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CTransformFilter::Receive(IMediaSample* sample) {
    const AM_SAMPLE2_PROPERTIES* props = m_pInput->SampleProps();
    // Stream control data is not ours to transform.
    if (props->dwStreamId != AM_STREAM_MEDIA) return m_pOutput->Deliver(sample);

    ComPtr<IMediaSample> out;
    RETURN_IF_FAILED(InitializeOutputSample(sample, out.Put()));
    const HRESULT hr = Transform(sample, out.Get());
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE) {
        // Dropped for quality; the next delivered sample says so with a discontinuity.
        m_bSampleSkipped = TRUE;
        if (!m_bQualityChanged) {
            NotifyEvent(EC_QUALITY_CHANGE, 0, 0);
            m_bQualityChanged = TRUE;
        }
        return S_OK;
    }
    m_bSampleSkipped = FALSE;
    return m_pOutput->Deliver(out.Get());
}

HRESULT CTransformFilter::InitializeOutputSample(IMediaSample* sample, IMediaSample** outSample) {
    if (!outSample) return E_POINTER;
    *outSample = nullptr;
    const AM_SAMPLE2_PROPERTIES* props = m_pInput->SampleProps();
    const bool timed = (props->dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
    const bool stopped = (props->dwSampleFlags & AM_SAMPLE_STOPVALID) != 0;
    REFERENCE_TIME start = props->tStart, stop = props->tStop;
    DWORD bufferFlags = m_bSampleSkipped ? AM_GBF_PREVFRAMESKIPPED : 0;
    if (!(props->dwSampleFlags & AM_SAMPLE_SPLICEPOINT)) bufferFlags |= AM_GBF_NOTASYNCPOINT;

    ComPtr<IMediaSample> out;
    RETURN_IF_FAILED(m_pOutput->GetDeliveryBuffer(out.Put(), timed ? &start : nullptr,
                                                  timed && stopped ? &stop : nullptr, bufferFlags));
    // A type attached by downstream's allocator asks us to switch the output format.
    AM_MEDIA_TYPE* requested = nullptr;
    if (out->GetMediaType(&requested) == S_OK && requested) {
        const auto* type = static_cast<const CMediaType*>(requested);
        HRESULT hr = CheckTransform(&m_pInput->CurrentMediaType(), type);
        if (hr == S_OK) hr = m_pOutput->SetMediaType(type);
        DeleteMediaType(requested);
        if (hr != S_OK) return FAILED(hr) ? hr : VFW_E_INVALIDMEDIATYPE;
    }

    out->SetTime(timed ? &start : nullptr, timed && stopped ? &stop : nullptr);
    LONGLONG mediaStart = 0, mediaStop = 0;
    if (sample->GetMediaTime(&mediaStart, &mediaStop) == S_OK) {
        out->SetMediaTime(&mediaStart, &mediaStop);
    } else {
        out->SetMediaTime(nullptr, nullptr);
    }
    out->SetSyncPoint((props->dwSampleFlags & AM_SAMPLE_SPLICEPOINT) ? TRUE : FALSE);
    out->SetPreroll((props->dwSampleFlags & AM_SAMPLE_PREROLL) ? TRUE : FALSE);
    out->SetDiscontinuity((props->dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) || m_bSampleSkipped ? TRUE : FALSE);
    // Right for filters whose output format follows the input's; others override.
    if (props->dwSampleFlags & AM_SAMPLE_TYPECHANGED) out->SetMediaType(props->pMediaType);
    *outSample = out.Detach();
    return S_OK;
}

HRESULT CTransformFilter::EndOfStream() {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK;
    return m_pOutput->DeliverEndOfStream();
}

HRESULT CTransformFilter::BeginFlush() {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK;
    return m_pOutput->DeliverBeginFlush();
}

HRESULT CTransformFilter::EndFlush() {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK;
    return m_pOutput->DeliverEndFlush();
}

HRESULT CTransformFilter::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double rate) {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK;
    return m_pOutput->DeliverNewSegment(tStart, tStop, rate);
}
