#include "dshow_base/source.h"

#include <algorithm>
#include <cwchar>

CSource::CSource(LPCTSTR name, LPUNKNOWN outer, CLSID clsid) : CBaseFilter(name, outer, &m_cStateLock, clsid) {}

CSource::~CSource() {
    // Each pin's destructor removes it from the list.
    while (!m_paStreams.empty()) delete m_paStreams.back();
}

int CSource::GetPinCount() {
    CAutoLock lock(&m_cStateLock);
    return static_cast<int>(m_paStreams.size());
}

CBasePin* CSource::GetPin(int n) {
    CAutoLock lock(&m_cStateLock);
    if (n < 0 || n >= static_cast<int>(m_paStreams.size())) return nullptr;
    return m_paStreams[n];
}

STDMETHODIMP CSource::FindPin(LPCWSTR id, IPin** ppPin) {
    if (!ppPin) return E_POINTER;
    *ppPin = nullptr;
    if (!id) return E_POINTER;
    CAutoLock lock(&m_cStateLock);
    for (CSourceStream* pin : m_paStreams) {
        LPWSTR pinId = nullptr;
        if (FAILED(pin->QueryId(&pinId))) continue;
        const bool match = std::wcscmp(pinId, id) == 0;
        CoTaskMemFree(pinId);
        if (match) {
            *ppPin = pin;
            pin->AddRef();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT CSource::AddPin(CSourceStream* pin) {
    CAutoLock lock(&m_cStateLock);
    m_paStreams.push_back(pin);
    IncrementPinVersion();
    return S_OK;
}

HRESULT CSource::RemovePin(CSourceStream* pin) {
    CAutoLock lock(&m_cStateLock);
    const auto it = std::find(m_paStreams.begin(), m_paStreams.end(), pin);
    if (it == m_paStreams.end()) return S_FALSE;
    m_paStreams.erase(it);
    IncrementPinVersion();
    return S_OK;
}

int CSource::FindPinNumber(IPin* pin) {
    CAutoLock lock(&m_cStateLock);
    for (size_t i = 0; i < m_paStreams.size(); ++i) {
        if (static_cast<IPin*>(m_paStreams[i]) == pin) return static_cast<int>(i);
    }
    return -1;
}

// ---- CSourceStream

CSourceStream::CSourceStream(LPCTSTR objName, CSource* parent, LPCWSTR pinName)
    : CBaseOutputPin(objName, parent, parent->pStateLock(), pinName), m_pFilter(parent) {
    parent->AddPin(this);
}

CSourceStream::~CSourceStream() { m_pFilter->RemovePin(this); }

STDMETHODIMP CSourceStream::QueryId(LPWSTR* id) { return CBaseOutputPin::QueryId(id); }

HRESULT CSourceStream::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return GetMediaType(mt);
}

HRESULT CSourceStream::GetMediaType(CMediaType*) { return E_UNEXPECTED; }

HRESULT CSourceStream::CheckMediaType(const CMediaType* mt) {
    CAutoLock lock(m_pFilter->pStateLock());
    CMediaType offered;
    for (int i = 0; GetMediaType(i, &offered) == S_OK; ++i) {
        if (offered == *mt) return S_OK;
    }
    return E_FAIL;
}

HRESULT CSourceStream::Active() {
    CAutoLock lock(m_pFilter->pStateLock());
    if (!IsConnected()) return S_OK;
    RETURN_IF_FAILED(CBaseOutputPin::Active());
    if (ThreadExists()) return S_FALSE;
    if (!Create()) return E_FAIL;
    HRESULT hr = Init();
    if (SUCCEEDED(hr)) hr = Pause();
    if (FAILED(hr)) {
        // The worker ends itself when OnThreadCreate fails; otherwise tell it to.
        Exit();
        Close();
    }
    return hr;
}

HRESULT CSourceStream::Inactive() {
    CAutoLock lock(m_pFilter->pStateLock());
    if (!IsConnected()) return S_OK;
    // Decommit first: a worker waiting for a free buffer must wake up to see Stop.
    const HRESULT hr = CBaseOutputPin::Inactive();
    if (ThreadExists()) {
        Stop();
        Exit();
        Close();
    }
    return hr;
}

BOOL CSourceStream::CheckRequest(Command* command) {
    DWORD request = 0;
    if (!CAMThread::CheckRequest(&request)) return FALSE;
    if (command) *command = static_cast<Command>(request);
    return TRUE;
}

DWORD CSourceStream::ThreadProc() {
    Command command;
    while ((command = GetRequest()) != CMD_INIT) {
        Reply(command == CMD_EXIT ? S_OK : static_cast<DWORD>(E_UNEXPECTED));
        if (command == CMD_EXIT) return 1;
    }
    const HRESULT hr = OnThreadCreate();
    if (FAILED(hr)) {
        OnThreadDestroy();
        Reply(static_cast<DWORD>(hr));
        return 1;
    }
    Reply(S_OK);
    while (RunCommandLoop()) {
    }
    OnThreadDestroy();
    return 0;
}

// One command; false once told to exit.
bool CSourceStream::RunCommandLoop() {
    const Command command = GetRequest();
    switch (command) {
    case CMD_EXIT:
        Reply(S_OK);
        return false;
    case CMD_PAUSE:
    case CMD_RUN:
        Reply(S_OK);
        DoBufferProcessingLoop();
        return true;
    case CMD_STOP:
        Reply(S_OK);
        return true;
    default:
        Reply(static_cast<DWORD>(E_NOTIMPL));
        return true;
    }
}

HRESULT CSourceStream::DoBufferProcessingLoop() {
    OnThreadStartPlay();
    for (;;) {
        Command command;
        while (!CheckRequest(&command)) {
            ComPtr<IMediaSample> sample;
            HRESULT hr = GetDeliveryBuffer(sample.Put(), nullptr, nullptr, 0);
            if (FAILED(hr)) {
                // Decommitted: a Stop request is on its way.
                Sleep(1);
                continue;
            }
            hr = FillBuffer(sample.Get());
            if (hr == S_OK) {
                hr = Deliver(sample.Get());
                // Downstream flushing, stopped or failing: wait for the next command.
                if (hr != S_OK) return S_OK;
                continue;
            }
            sample.Reset();
            // The error goes first, so the application sees the cause before the completion.
            if (FAILED(hr)) m_pFilter->NotifyEvent(EC_ERRORABORT, hr, 0);
            DeliverEndOfStream();
            return hr == S_FALSE ? S_OK : hr;
        }
        // Stop is answered by the command loop once we have returned.
        if (command == CMD_STOP) return S_FALSE;
        Reply(command == CMD_RUN || command == CMD_PAUSE ? S_OK : static_cast<DWORD>(E_UNEXPECTED));
    }
}

HRESULT SetLeastBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request, long bytes, long count,
                        long align) {
    request->cbBuffer = std::max(request->cbBuffer, bytes);
    request->cBuffers = std::max(request->cBuffers, count);
    request->cbAlign = std::max(request->cbAlign, align);
    ALLOCATOR_PROPERTIES actual{};
    RETURN_IF_FAILED(allocator->SetProperties(request, &actual));
    return actual.cbBuffer < bytes ? E_FAIL : S_OK;
}
