// CBaseFilter: IBaseFilter with the Stop/Pause/Run state machine over the
// pins a derived class provides through GetPinCount/GetPin.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/com_ptr.h"
#include "dshow_base/ref_time.h"
#include "dshow_base/sync.h"
#include "dshow_base/unknown.h"

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter {
public:
    // lock: the filter's state lock, owned by the derived class and shared with its pins.
    CBaseFilter(LPCTSTR name, LPUNKNOWN outer, CCritSec* lock, REFCLSID clsid);
    ~CBaseFilter() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IPersist
    STDMETHODIMP GetClassID(CLSID* clsid) override;

    // IMediaFilter
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME tStart) override;
    STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;

    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** ppEnum) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** ppPin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* vendorInfo) override;

    virtual int GetPinCount() = 0;
    // Not AddRef'd; null when n is out of range.
    virtual CBasePin* GetPin(int n) = 0;

    // Sends an event to the graph; EC_COMPLETE carries this filter as its second parameter.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);
    // Asks the graph to reconnect one of our pins (with this type when given).
    HRESULT ReconnectPin(IPin* pin, const AM_MEDIA_TYPE* mt);
    // Current clock time minus the run start. Never takes the state lock, so a
    // streaming thread may ask while Stop waits for that thread.
    virtual HRESULT StreamTime(CRefTime& streamTime);

    BOOL IsActive();
    BOOL IsStopped();
    IFilterGraph* GetFilterGraph() { return m_pGraph; }

    // Enumerators compare versions to notice a changed pin list.
    void IncrementPinVersion() { InterlockedIncrement(&m_PinVersion); }
    LONG GetPinVersion() const { return m_PinVersion; }

protected:
    FILTER_STATE m_State = State_Stopped;
    ComPtr<IReferenceClock> m_pClock;
    CRefTime m_tStart;
    CLSID m_clsid;
    CCritSec* m_pLock;
    WCHAR* m_pName = nullptr;  // name given by the graph; owned
    // Not AddRef'd: the graph holds us, a reference back would keep both alive.
    IFilterGraph* m_pGraph = nullptr;
    IMediaEventSink* m_pSink = nullptr;
    volatile LONG m_PinVersion = 1;

    // Guards m_pClock and m_tStart for StreamTime (see there).
    CCritSec m_csClock;

    friend class CBasePin;
};
