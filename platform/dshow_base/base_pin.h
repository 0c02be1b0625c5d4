// CBasePin: IPin's connection protocol and IQualityControl for every pin.
//
// A pin has its own COM identity but no reference count of its own: AddRef
// and Release go to the filter, which owns and deletes its pins.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/com_ptr.h"
#include "dshow_base/filter.h"
#include "dshow_base/media_type.h"
#include "dshow_base/ref_time.h"
#include "dshow_base/sync.h"
#include "dshow_base/unknown.h"

class CBasePin : public CUnknown, public IPin, public IQualityControl {
public:
    // lock: the filter's state lock; pinName is copied.
    CBasePin(LPCTSTR objName, CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName, PIN_DIRECTION dir);
    ~CBasePin() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) NonDelegatingAddRef() override;
    STDMETHODIMP_(ULONG) NonDelegatingRelease() override;

    // IPin
    STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* dir) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
    STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override = 0;
    STDMETHODIMP EndFlush() override = 0;
    STDMETHODIMP NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double rate) override;

    // IQualityControl
    STDMETHODIMP Notify(IBaseFilter* sender, Quality q) override;
    STDMETHODIMP SetSink(IQualityControl* sink) override;

    // S_OK accepts; anything else refuses.
    virtual HRESULT CheckMediaType(const CMediaType* mt) = 0;
    virtual HRESULT SetMediaType(const CMediaType* mt);
    // The types this pin prefers, from position 0; VFW_S_NO_MORE_ITEMS past the end.
    virtual HRESULT GetMediaType(int position, CMediaType* mt);
    // Enumerators compare versions to notice a changed type list.
    virtual LONG GetMediaTypeVersion() { return m_TypeVersion; }
    void IncrementTypeVersion() { InterlockedIncrement(&m_TypeVersion); }

    // Connection hooks, in the order the protocol calls them.
    virtual HRESULT CheckConnect(IPin* pin);
    virtual HRESULT CompleteConnect(IPin* receivePin);
    virtual HRESULT BreakConnect();

    // State hooks: Active on Stop->Pause, Run on ->Run, Inactive on ->Stop.
    virtual HRESULT Active();
    virtual HRESULT Inactive();
    virtual HRESULT Run(REFERENCE_TIME tStart);

    virtual HRESULT AgreeMediaType(IPin* receivePin, const CMediaType* mt);
    virtual HRESULT TryMediaTypes(IPin* receivePin, const CMediaType* mt, IEnumMediaTypes* types);
    virtual HRESULT AttemptConnection(IPin* receivePin, const CMediaType* mt);
    virtual HRESULT DisconnectInternal();

    BOOL IsConnected() const { return m_Connected != nullptr; }
    // Not AddRef'd.
    IPin* GetConnected() const { return m_Connected.Get(); }
    BOOL IsStopped() const { return m_pFilter->m_State == State_Stopped; }
    CMediaType& CurrentMediaType() { return m_mt; }
    LPWSTR Name() const { return m_pName; }
    PIN_DIRECTION Direction() const { return m_dir; }

    // Whether Connect/Disconnect are allowed while the filter runs.
    virtual BOOL CanReconnectWhenActive() { return m_bCanReconnectWhenActive; }
    void SetReconnectWhenActive(bool allowed) { m_bCanReconnectWhenActive = allowed; }

    REFERENCE_TIME CurrentStartTime() const { return m_tStart; }
    REFERENCE_TIME CurrentStopTime() const { return m_tStop; }
    double CurrentRate() const { return m_dRate; }

protected:
    WCHAR* m_pName;
    ComPtr<IPin> m_Connected;
    PIN_DIRECTION m_dir;
    CCritSec* m_pLock;
    bool m_bRunTimeError = false;
    bool m_bCanReconnectWhenActive = false;
    bool m_bTryMyTypesFirst = false;
    CBaseFilter* m_pFilter;  // owns us
    // Not AddRef'd: the sink (normally the graph) outlives the pin, and a
    // reference back to it would form a cycle.
    IQualityControl* m_pQSink = nullptr;
    volatile LONG m_TypeVersion = 1;
    CMediaType m_mt;
    CRefTime m_tStart;
    CRefTime m_tStop = CRefTime(MAXLONGLONG);
    double m_dRate = 1.0;

private:
    HRESULT RefuseOrAcceptType(const CMediaType* mt);
};
