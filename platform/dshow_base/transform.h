// CTransformFilter: one input, one output, one output sample per input sample.
// A derived filter supplies the type checks, the buffer size and Transform;
// the base runs connection, streaming, flushing and quality around them.
#pragma once

#include "dshow_base/filter.h"
#include "dshow_base/pin.h"
#include "dshow_base/seeking.h"

class CTransformFilter;

class CTransformInputPin : public CBaseInputPin {
public:
    CTransformInputPin(LPCTSTR objName, CTransformFilter* filter, LPCWSTR pinName);

    STDMETHODIMP QueryId(LPWSTR* id) override;  // "In"
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double rate) override;

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;

protected:
    CTransformFilter* m_pTransformFilter;
};

class CTransformOutputPin : public CBaseOutputPin {
public:
    CTransformOutputPin(LPCTSTR objName, CTransformFilter* filter, LPCWSTR pinName);
    ~CTransformOutputPin() override;

    // Adds IMediaSeeking and IMediaPosition, passed through to upstream.
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;  // "Out"
    // Quality messages from downstream: the filter's AlterQuality, else upstream.
    STDMETHODIMP Notify(IBaseFilter* sender, Quality q) override;

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;

protected:
    CTransformFilter* m_pTransformFilter;
    // The inner IUnknown of the aggregated CPosPassThru; made on first request.
    // Kept as its real type: calling it through an IUnknown* cast lets GCC
    // devirtualise to the delegating methods with the wrong `this`.
    INonDelegatingUnknown* m_pPosition = nullptr;
    // Guards only the lazy creation of m_pPosition. Not the filter lock: a
    // renderer asks for seeking from inside our EndOfStream delivery (receive
    // lock held) while Stop holds the filter lock and waits for that one.
    CCritSec m_csPosition;

    friend class CTransformFilter;
};

class CTransformFilter : public CBaseFilter {
public:
    CTransformFilter(LPCTSTR name, LPUNKNOWN outer, REFCLSID clsid);
    ~CTransformFilter() override;

    int GetPinCount() override { return 2; }
    // Makes both pins on first use (so that derived classes may replace them);
    // null when they could not be made.
    CBasePin* GetPin(int n) override;
    // Answers "In" and "Out" as well as the pins' names.
    STDMETHODIMP FindPin(LPCWSTR id, IPin** ppPin) override;

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;

    // ---- What a derived filter provides.
    // S_OK: fill `out` from `in`. S_FALSE: drop this sample (quality).
    virtual HRESULT Transform(IMediaSample* in, IMediaSample* out);
    virtual HRESULT CheckInputType(const CMediaType* in) = 0;
    virtual HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) = 0;
    virtual HRESULT GetMediaType(int position, CMediaType* mt) = 0;

    // ---- Optional hooks.
    // Around streaming: Stop->Pause and ->Stop, with m_csReceive held.
    virtual HRESULT StartStreaming();
    virtual HRESULT StopStreaming();
    // A quality message from downstream; S_FALSE passes it upstream.
    virtual HRESULT AlterQuality(Quality q);
    virtual HRESULT SetMediaType(PIN_DIRECTION dir, const CMediaType* mt);
    virtual HRESULT CheckConnect(PIN_DIRECTION dir, IPin* pin);
    virtual HRESULT BreakConnect(PIN_DIRECTION dir);
    // Default: after the input connects anew while the output is connected,
    // asks the graph to reconnect the output so it renegotiates with the new input.
    virtual HRESULT CompleteConnect(PIN_DIRECTION dir, IPin* receivePin);

    // ---- Streaming, called by the input pin with m_csReceive held.
    virtual HRESULT Receive(IMediaSample* sample);
    // Gets an output buffer and copies times, media times, sync point,
    // preroll, discontinuity and an attached media type from the input sample.
    virtual HRESULT InitializeOutputSample(IMediaSample* sample, IMediaSample** outSample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double rate);

    // The pins' classes; override to use derived pins.
    virtual CTransformInputPin* CreateInputPin();
    virtual CTransformOutputPin* CreateOutputPin();

protected:
    bool PinsConnected();

    BOOL m_bEOSDelivered = FALSE;   // EOS sent for an unconnected input, once per run
    BOOL m_bSampleSkipped = FALSE;  // a Transform skipped: the next sample is a discontinuity
    BOOL m_bQualityChanged = FALSE;
    CCritSec m_csFilter;   // state and connections
    CCritSec m_csReceive;  // the streaming path; taken inside m_csFilter, never around it
    CTransformInputPin* m_pInput = nullptr;
    CTransformOutputPin* m_pOutput = nullptr;

    friend class CTransformInputPin;
    friend class CTransformOutputPin;
};
