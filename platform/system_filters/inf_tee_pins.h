// The Infinite Pin Tee's pins (see inf_tee.h for the behaviour they share).
#pragma once

#include <memory>

#include "dshow_base/streams.h"
#include "system_filters/delivery_queue.h"
#include "system_filters/tee_position.h"

namespace system_filters {

class CInfTee;

class CInfTeeInputPin : public CBaseInputPin {
public:
    CInfTeeInputPin(CInfTee* tee, CCritSec* lock);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;

    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP ReceiveCanBlock() override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    IMemAllocator* Allocator() const { return m_pAllocator.Get(); }

private:
    CInfTee* tee_;  // owns us
};

// Each output delivers through its own DeliveryQueue while the filter is active.
class CInfTeeOutputPin : public CBaseOutputPin, private DeliveryTarget {
public:
    CInfTeeOutputPin(CInfTee* tee, CCritSec* lock, int number);
    ~CInfTeeOutputPin() override;

    int Number() const { return number_; }
    // A removed pin refuses new connections.
    void Retire() { retired_ = true; }

    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP Notify(IBaseFilter* sender, Quality q) override;

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT BreakConnect() override;
    HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Whether samples of the upstream allocator go downstream as they are.
    bool SharesInputAllocator() const;
    // Whether this output still needs the connection it was made with
    // renegotiated after the input changed.
    bool NeedsRenegotiation();

    // The stream, in order, through the queue while active.
    HRESULT QueueSample(IMediaSample* sample);
    void QueueEndOfStream();
    void QueueNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    void BeginFlushDownstream();
    void EndFlushDownstream();

private:
    HRESULT ShareInputAllocator(IMemInputPin* pin, IMemAllocator** allocator);

    // DeliveryTarget, on the queue's thread.
    HRESULT DeliverSampleNow(IMediaSample* sample) override;
    HRESULT DeliverEndOfStreamNow() override;
    HRESULT DeliverNewSegmentNow(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    CInfTee* tee_;  // owns us
    const int number_;
    bool retired_ = false;
    // The connection was negotiated to pass upstream samples through.
    bool negotiatedShared_ = false;
    // Seeking pass-through aggregated into this pin, made on first request.
    // Owned here: every reference it hands out counts on the pin's owner.
    std::unique_ptr<CTeePosition> position_;
    DeliveryQueue queue_{this};
};

}  // namespace system_filters
