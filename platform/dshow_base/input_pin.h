// CBaseInputPin: IMemInputPin on top of CBasePin, with the flushing and
// streaming-state checks every Receive starts with.
#pragma once

#include "dshow_base/base_pin.h"

class CBaseInputPin : public CBasePin, public IMemInputPin {
public:
    CBaseInputPin(LPCTSTR objName, CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName);
    ~CBaseInputPin() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IMemInputPin
    // Offers a CLSID_MemoryAllocator until the output pin picks one.
    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    // Checks the streaming state and records the sample's properties in
    // m_SampleProps; derived classes call this first and process on S_OK.
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    STDMETHODIMP ReceiveCanBlock() override;
    // E_NOTIMPL: no requirements unless a derived class has some.
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;

    // IPin
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP EndOfStream() override;

    // IQualityControl: forwards to the sink set with SetSink, else upstream.
    HRESULT PassNotify(Quality& q);

    // S_OK while samples may flow; S_FALSE while flushing; an error when
    // stopped, unconnected or after a run-time error.
    virtual HRESULT CheckStreaming();

    HRESULT BreakConnect() override;
    HRESULT Inactive() override;

    BOOL IsReadOnly() const { return m_bReadOnly; }
    BOOL IsFlushing() const { return m_bFlushing; }
    AM_SAMPLE2_PROPERTIES* SampleProps() { return &m_SampleProps; }

protected:
    ComPtr<IMemAllocator> m_pAllocator;
    BOOL m_bReadOnly = FALSE;
    volatile BOOL m_bFlushing = FALSE;
    // The sample being received; pMediaType valid only with AM_SAMPLE_TYPECHANGED.
    AM_SAMPLE2_PROPERTIES m_SampleProps = {};

private:
    HRESULT ReadSampleProperties(IMediaSample* sample);
    HRESULT RefuseTypeChange();

    CMediaType m_receivedType;  // owns what pMediaType points to when read by hand
};
