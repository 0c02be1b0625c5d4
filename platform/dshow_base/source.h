// CSource and CSourceStream: a push source whose output pins each run a
// worker thread that fills buffers and delivers them while the filter is active.
#pragma once

#include <vector>

#include "dshow_base/filter.h"
#include "dshow_base/pin.h"
#include "dshow_base/sync.h"

class CSourceStream;

class CSource : public CBaseFilter {
public:
    CSource(LPCTSTR name, LPUNKNOWN outer, CLSID clsid);
    // Deletes the pins that are left.
    ~CSource() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** ppPin) override;

    // Called by the CSourceStream constructor and destructor.
    HRESULT AddPin(CSourceStream* pin);
    HRESULT RemovePin(CSourceStream* pin);
    // Index of the pin, or -1.
    int FindPinNumber(IPin* pin);

    CCritSec* pStateLock() { return &m_cStateLock; }

protected:
    CCritSec m_cStateLock;
    std::vector<CSourceStream*> m_paStreams;  // owned
};

// What a live source's pin asks its allocator for: buffers of at least
// `bytes`, at least `count` of them, aligned to at least `align` (more of
// each where downstream asked for more). E_FAIL when the allocator grants
// buffers smaller than `bytes`.
HRESULT SetLeastBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request, long bytes, long count,
                        long align = 1);

class CSourceStream : public CAMThread, public CBaseOutputPin {
public:
    // Adds itself to the parent's pins.
    CSourceStream(LPCTSTR objName, CSource* parent, LPCWSTR pinName);
    ~CSourceStream() override;

    // ---- What a derived source provides.
    // Fill the sample (data, length, times). S_FALSE ends the stream.
    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;
    // Either the list of types by position, or the one type.
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    virtual HRESULT GetMediaType(CMediaType* mt);
    // Accepts any type GetMediaType offers.
    HRESULT CheckMediaType(const CMediaType* mt) override;

    // ---- Optional hooks, all on the worker thread. Active and Inactive wait
    // for the worker while holding pStateLock(), so neither these hooks nor
    // FillBuffer may take that lock (StreamTime does not take it).
    virtual HRESULT OnThreadCreate() { return S_OK; }
    virtual HRESULT OnThreadDestroy() { return S_OK; }
    // Before the first buffer of every Pause/Run.
    virtual HRESULT OnThreadStartPlay() { return S_OK; }

    // Stop->Pause starts the worker; ->Stop decommits the allocator (which
    // frees a worker blocked in GetDeliveryBuffer) and then ends it.
    HRESULT Active() override;
    HRESULT Inactive() override;

    STDMETHODIMP QueryId(LPWSTR* id) override;

protected:
    enum Command { CMD_INIT, CMD_PAUSE, CMD_RUN, CMD_STOP, CMD_EXIT };

    HRESULT Init() { return static_cast<HRESULT>(CallWorker(CMD_INIT)); }
    HRESULT Exit() { return static_cast<HRESULT>(CallWorker(CMD_EXIT)); }
    HRESULT Run() { return static_cast<HRESULT>(CallWorker(CMD_RUN)); }
    using CBaseOutputPin::Run;
    HRESULT Pause() { return static_cast<HRESULT>(CallWorker(CMD_PAUSE)); }
    HRESULT Stop() { return static_cast<HRESULT>(CallWorker(CMD_STOP)); }

    Command GetRequest() { return static_cast<Command>(CAMThread::GetRequest()); }
    BOOL CheckRequest(Command* command);

    DWORD ThreadProc() override;
    // Delivers filled buffers until a request arrives, the stream ends or
    // downstream refuses a sample; S_FALSE when a Stop request ended it.
    virtual HRESULT DoBufferProcessingLoop();

    CSource* m_pFilter;

private:
    bool RunCommandLoop();
};
