#include "dshow_base/filter.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "dshow_base/enumerators.h"
#include "dshow_base/pin.h"

CBaseFilter::CBaseFilter(LPCTSTR name, LPUNKNOWN outer, CCritSec* lock, REFCLSID clsid)
    : CUnknown(name, outer), m_clsid(clsid), m_pLock(lock) {}

CBaseFilter::~CBaseFilter() { delete[] m_pName; }

STDMETHODIMP CBaseFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist) {
        return GetInterface(static_cast<IBaseFilter*>(this), ppv);
    }
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CBaseFilter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = m_clsid;
    return S_OK;
}

STDMETHODIMP CBaseFilter::Stop() {
    CAutoLock lock(m_pLock);
    HRESULT result = S_OK;
    if (m_State != State_Stopped) {
        // Every pin gets stopped even when one fails; the first failure is reported.
        for (int i = 0, n = GetPinCount(); i < n; ++i) {
            CBasePin* pin = GetPin(i);
            if (!pin || !pin->IsConnected()) continue;
            const HRESULT hr = pin->Inactive();
            if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        }
    }
    m_State = State_Stopped;
    return result;
}

STDMETHODIMP CBaseFilter::Pause() {
    CAutoLock lock(m_pLock);
    if (m_State == State_Stopped) {
        for (int i = 0, n = GetPinCount(); i < n; ++i) {
            CBasePin* pin = GetPin(i);
            if (pin && pin->IsConnected()) RETURN_IF_FAILED(pin->Active());
        }
    }
    m_State = State_Paused;
    return S_OK;
}

STDMETHODIMP CBaseFilter::Run(REFERENCE_TIME tStart) {
    CAutoLock lock(m_pLock);
    {
        CAutoLock clockLock(&m_csClock);
        m_tStart = tStart;
    }
    if (m_State == State_Stopped) RETURN_IF_FAILED(Pause());
    if (m_State != State_Running) {
        for (int i = 0, n = GetPinCount(); i < n; ++i) {
            CBasePin* pin = GetPin(i);
            if (pin && pin->IsConnected()) RETURN_IF_FAILED(pin->Run(tStart));
        }
    }
    m_State = State_Running;
    return S_OK;
}

STDMETHODIMP CBaseFilter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = m_State;
    return S_OK;
}

STDMETHODIMP CBaseFilter::SetSyncSource(IReferenceClock* clock) {
    CAutoLock lock(m_pLock);
    CAutoLock clockLock(&m_csClock);
    m_pClock = ComPtr<IReferenceClock>(clock);
    return S_OK;
}

STDMETHODIMP CBaseFilter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    CAutoLock clockLock(&m_csClock);
    return m_pClock.CopyTo(clock);
}

STDMETHODIMP CBaseFilter::EnumPins(IEnumPins** ppEnum) {
    if (!ppEnum) return E_POINTER;
    return CEnumPins::Create(this, ppEnum);
}

STDMETHODIMP CBaseFilter::FindPin(LPCWSTR id, IPin** ppPin) {
    if (!ppPin) return E_POINTER;
    *ppPin = nullptr;
    if (!id) return E_POINTER;
    CAutoLock lock(m_pLock);
    for (int i = 0, n = GetPinCount(); i < n; ++i) {
        CBasePin* pin = GetPin(i);
        if (pin && std::wcscmp(pin->Name(), id) == 0) {
            *ppPin = pin;
            pin->AddRef();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP CBaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    CAutoLock lock(m_pLock);
    info->achName[0] = L'\0';
    if (m_pName) {
        std::wcsncpy(info->achName, m_pName, MAX_FILTER_NAME - 1);
        info->achName[MAX_FILTER_NAME - 1] = L'\0';
    }
    info->pGraph = m_pGraph;
    if (m_pGraph) m_pGraph->AddRef();
    return S_OK;
}

STDMETHODIMP CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    CAutoLock lock(m_pLock);
    m_pGraph = graph;
    m_pSink = nullptr;
    if (graph) {
        // Kept without a reference, like m_pGraph: the sink is the graph itself.
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&m_pSink)))) {
            m_pSink->Release();
        } else {
            m_pSink = nullptr;
        }
    }
    delete[] m_pName;
    m_pName = nullptr;
    if (name) {
        const size_t length = std::wcslen(name) + 1;
        m_pName = new (std::nothrow) WCHAR[length];
        if (!m_pName) return E_OUTOFMEMORY;
        std::memcpy(m_pName, name, length * sizeof(WCHAR));
    }
    return S_OK;
}

STDMETHODIMP CBaseFilter::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

HRESULT CBaseFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = m_pSink;
    if (!sink) return E_NOTIMPL;
    if (code == EC_COMPLETE) param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(code, param1, param2);
}

HRESULT CBaseFilter::ReconnectPin(IPin* pin, const AM_MEDIA_TYPE* mt) {
    IFilterGraph* graph = m_pGraph;
    if (!graph) return E_NOINTERFACE;
    ComPtr<IFilterGraph2> graph2;
    if (SUCCEEDED(graph->QueryInterface(IID_IFilterGraph2, graph2.PutVoid()))) {
        return graph2->ReconnectEx(pin, mt);
    }
    return graph->Reconnect(pin);
}

HRESULT CBaseFilter::StreamTime(CRefTime& streamTime) {
    CAutoLock clockLock(&m_csClock);
    if (!m_pClock) return VFW_E_NO_CLOCK;
    REFERENCE_TIME now = 0;
    RETURN_IF_FAILED(m_pClock->GetTime(&now));
    streamTime = now - m_tStart.m_time;
    return S_OK;
}

BOOL CBaseFilter::IsActive() {
    CAutoLock lock(m_pLock);
    return m_State != State_Stopped;
}

BOOL CBaseFilter::IsStopped() { return m_State == State_Stopped; }
