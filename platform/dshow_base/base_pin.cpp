#include "dshow_base/base_pin.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "dshow_base/enumerators.h"

namespace {
WCHAR* CopyName(LPCWSTR name) {
    if (!name) name = L"";
    const size_t length = std::wcslen(name) + 1;
    auto* copy = new (std::nothrow) WCHAR[length];
    if (copy) std::memcpy(copy, name, length * sizeof(WCHAR));
    return copy;
}

// A refusal that says nothing beyond "not this type" is not worth reporting
// over VFW_E_NO_ACCEPTABLE_TYPES.
bool IsPlainTypeRefusal(HRESULT hr) {
    return hr == E_FAIL || hr == E_INVALIDARG || hr == VFW_E_TYPE_NOT_ACCEPTED;
}
}  // namespace

CBasePin::CBasePin(LPCTSTR objName, CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName, PIN_DIRECTION dir)
    : CUnknown(objName, nullptr), m_pName(CopyName(pinName)), m_dir(dir), m_pLock(lock), m_pFilter(filter) {}

CBasePin::~CBasePin() { delete[] m_pName; }

STDMETHODIMP CBasePin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IPin) return GetInterface(static_cast<IPin*>(this), ppv);
    if (riid == IID_IQualityControl) return GetInterface(static_cast<IQualityControl*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) CBasePin::NonDelegatingAddRef() { return static_cast<IBaseFilter*>(m_pFilter)->AddRef(); }

STDMETHODIMP_(ULONG) CBasePin::NonDelegatingRelease() { return static_cast<IBaseFilter*>(m_pFilter)->Release(); }

STDMETHODIMP CBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) {
    if (!receivePin) return E_POINTER;
    CAutoLock lock(m_pLock);
    if (m_Connected) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped() && !CanReconnectWhenActive()) return VFW_E_NOT_STOPPED;
    // CMediaType adds only methods to AM_MEDIA_TYPE, so the caller's struct can be read as one.
    return AgreeMediaType(receivePin, static_cast<const CMediaType*>(mt));
}

HRESULT CBasePin::AgreeMediaType(IPin* receivePin, const CMediaType* mt) {
    if (mt && !mt->IsPartiallySpecified()) return AttemptConnection(receivePin, mt);

    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int round = 0; round < 2; ++round) {
        const bool mine = (round == 0) == m_bTryMyTypesFirst;
        ComPtr<IEnumMediaTypes> types;
        const HRESULT hr = mine ? EnumMediaTypes(types.Put()) : receivePin->EnumMediaTypes(types.Put());
        if (FAILED(hr)) continue;
        const HRESULT tried = TryMediaTypes(receivePin, mt, types.Get());
        if (SUCCEEDED(tried)) return S_OK;
        if (failure == VFW_E_NO_ACCEPTABLE_TYPES) failure = tried;
    }
    return failure;
}

HRESULT CBasePin::TryMediaTypes(IPin* receivePin, const CMediaType* mt, IEnumMediaTypes* types) {
    RETURN_IF_FAILED(types->Reset());
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (;;) {
        AM_MEDIA_TYPE* candidate = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &candidate, &fetched) != S_OK || fetched != 1 || !candidate) break;
        const auto* type = static_cast<const CMediaType*>(candidate);
        HRESULT hr = VFW_E_NO_ACCEPTABLE_TYPES;
        if (!mt || type->MatchesPartial(mt)) hr = AttemptConnection(receivePin, type);
        DeleteMediaType(candidate);
        if (SUCCEEDED(hr)) return S_OK;
        if (failure == VFW_E_NO_ACCEPTABLE_TYPES && !IsPlainTypeRefusal(hr)) failure = hr;
    }
    return failure;
}

HRESULT CBasePin::RefuseOrAcceptType(const CMediaType* mt) {
    const HRESULT hr = CheckMediaType(mt);
    if (hr == S_OK) return S_OK;
    return SUCCEEDED(hr) || IsPlainTypeRefusal(hr) ? VFW_E_TYPE_NOT_ACCEPTED : hr;
}

HRESULT CBasePin::AttemptConnection(IPin* receivePin, const CMediaType* mt) {
    HRESULT hr = CheckConnect(receivePin);
    if (SUCCEEDED(hr)) hr = RefuseOrAcceptType(mt);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    m_Connected = ComPtr<IPin>(receivePin);
    hr = SetMediaType(mt);
    if (SUCCEEDED(hr)) {
        hr = receivePin->ReceiveConnection(this, mt);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(receivePin);
            if (SUCCEEDED(hr)) return S_OK;
            // The peer thinks it is connected: undo its side too.
            receivePin->Disconnect();
        }
    }
    m_Connected.Reset();
    m_mt.InitMediaType();
    BreakConnect();
    return hr;
}

STDMETHODIMP CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
    if (!connector || !mt) return E_POINTER;
    CAutoLock lock(m_pLock);
    if (m_Connected) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped() && !CanReconnectWhenActive()) return VFW_E_NOT_STOPPED;
    const auto* type = static_cast<const CMediaType*>(mt);
    HRESULT hr = CheckConnect(connector);
    if (SUCCEEDED(hr)) hr = RefuseOrAcceptType(type);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    m_Connected = ComPtr<IPin>(connector);
    hr = SetMediaType(type);
    if (SUCCEEDED(hr)) hr = CompleteConnect(connector);
    if (SUCCEEDED(hr)) return S_OK;
    m_Connected.Reset();
    m_mt.InitMediaType();
    BreakConnect();
    return hr;
}

STDMETHODIMP CBasePin::Disconnect() {
    CAutoLock lock(m_pLock);
    if (!IsStopped() && !CanReconnectWhenActive()) return VFW_E_NOT_STOPPED;
    return DisconnectInternal();
}

HRESULT CBasePin::DisconnectInternal() {
    CAutoLock lock(m_pLock);
    if (!m_Connected) return S_FALSE;
    RETURN_IF_FAILED(BreakConnect());
    m_Connected.Reset();
    m_mt.InitMediaType();
    return S_OK;
}

STDMETHODIMP CBasePin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    // No filter lock: seeking pass-throughs ask from inside EndOfStream on the
    // streaming thread while Stop holds that lock and waits for streaming to
    // end. The connection only changes while the filter is stopped.
    *pin = nullptr;
    if (!m_Connected) return VFW_E_NOT_CONNECTED;
    return m_Connected.CopyTo(pin);
}

STDMETHODIMP CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    CAutoLock lock(m_pLock);
    if (!m_Connected) {
        std::memset(mt, 0, sizeof *mt);
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(mt, &m_mt);
}

STDMETHODIMP CBasePin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = m_pFilter;
    m_pFilter->AddRef();
    std::wcsncpy(info->achName, m_pName ? m_pName : L"", MAX_PIN_NAME - 1);
    info->achName[MAX_PIN_NAME - 1] = L'\0';
    info->dir = m_dir;
    return S_OK;
}

STDMETHODIMP CBasePin::QueryDirection(PIN_DIRECTION* dir) {
    if (!dir) return E_POINTER;
    *dir = m_dir;
    return S_OK;
}

STDMETHODIMP CBasePin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    const WCHAR* name = m_pName ? m_pName : L"";
    const size_t bytes = (std::wcslen(name) + 1) * sizeof(WCHAR);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, name, bytes);
    return S_OK;
}

STDMETHODIMP CBasePin::QueryAccept(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    // The documented answers are S_OK and S_FALSE only.
    return CheckMediaType(static_cast<const CMediaType*>(mt)) == S_OK ? S_OK : S_FALSE;
}

STDMETHODIMP CBasePin::EnumMediaTypes(IEnumMediaTypes** ppEnum) {
    if (!ppEnum) return E_POINTER;
    return CEnumMediaTypes::Create(this, ppEnum);
}

STDMETHODIMP CBasePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

STDMETHODIMP CBasePin::EndOfStream() { return S_OK; }

STDMETHODIMP CBasePin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double rate) {
    CAutoLock lock(m_pLock);
    m_tStart = tStart;
    m_tStop = tStop;
    m_dRate = rate;
    return S_OK;
}

STDMETHODIMP CBasePin::Notify(IBaseFilter*, Quality) { return E_NOTIMPL; }

STDMETHODIMP CBasePin::SetSink(IQualityControl* sink) {
    CAutoLock lock(m_pLock);
    m_pQSink = sink;
    return S_OK;
}

HRESULT CBasePin::SetMediaType(const CMediaType* mt) { return m_mt.Set(*mt); }

HRESULT CBasePin::GetMediaType(int, CMediaType*) { return VFW_S_NO_MORE_ITEMS; }

HRESULT CBasePin::CheckConnect(IPin* pin) {
    PIN_DIRECTION peer;
    RETURN_IF_FAILED(pin->QueryDirection(&peer));
    return peer == m_dir ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::CompleteConnect(IPin*) { return S_OK; }

HRESULT CBasePin::BreakConnect() { return S_OK; }

HRESULT CBasePin::Active() { return S_OK; }

HRESULT CBasePin::Inactive() {
    m_bRunTimeError = false;
    return S_OK;
}

HRESULT CBasePin::Run(REFERENCE_TIME) { return S_OK; }
