// CBaseOutputPin: allocator negotiation with the downstream IMemInputPin and
// the Deliver* calls that push samples and stream events downstream.
#pragma once

#include "dshow_base/base_pin.h"

class CBaseOutputPin : public CBasePin {
public:
    CBaseOutputPin(LPCTSTR objName, CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName);
    ~CBaseOutputPin() override;

    // Requires the peer's IMemInputPin.
    HRESULT CheckConnect(IPin* pin) override;
    // Negotiates the allocator; a failure there fails the connection.
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    // Commit and decommit the allocator.
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Tries the input pin's allocator, then our own; each must pass
    // DecideBufferSize and be accepted by NotifyAllocator.
    virtual HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator);
    virtual HRESULT InitAllocator(IMemAllocator** allocator);
    // Sets the allocator's properties from the input pin's requests (props,
    // cbAlign at least 1); must check what the allocator actually granted.
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) = 0;

    virtual HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                                      DWORD flags);
    virtual HRESULT Deliver(IMediaSample* sample);
    virtual HRESULT DeliverEndOfStream();
    virtual HRESULT DeliverBeginFlush();
    virtual HRESULT DeliverEndFlush();
    virtual HRESULT DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double rate);

    // Input-pin calls: wrong on an output pin.
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

protected:
    ComPtr<IMemAllocator> m_pAllocator;
    ComPtr<IMemInputPin> m_pInputPin;  // the peer's transport
};
