// Stand-in for the system Infinite Pin Tee (CLSID_InfTee): one input, any
// number of outputs, every sample delivered to every connected output.
//
// There is always exactly one free output pin: connecting it adds the next
// one, and a disconnect that leaves two free removes the higher-numbered.
// Outputs carry the input's media type and, where the downstream pin agrees,
// the very samples of the upstream allocator (read-only); a downstream that
// insists on its own allocator gets copies.
//
// Every output delivers on a thread of its own (DeliveryQueue), so a
// downstream filter that blocks holds back only its own branch.
//
// Locking: the filter lock guards state and connections. The receive lock is
// held while a sample, end-of-stream or pin-list change is in progress, so
// the streaming thread never sees the output list change under it. Pin-list
// changes happen only while stopped.
#pragma once

#include <memory>
#include <vector>

#include "dshow_base/streams.h"

namespace system_filters {

class CInfTeeInputPin;
class CInfTeeOutputPin;

class CInfTee : public CBaseFilter {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    ~CInfTee() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    // ---- For the pins.
    CInfTeeInputPin* Input() const { return input_.get(); }
    CCritSec* ReceiveLock() { return &receiveLock_; }
    // Null until upstream has picked an allocator; not AddRef'd.
    IMemAllocator* InputAllocator() const;
    BOOL InputConnected() const;
    // The lowest-numbered connected output, which speaks for the tee upstream
    // (seeking and quality messages).
    bool IsPrimaryOutput(const CInfTeeOutputPin* pin);

    // Under the filter lock.
    HRESULT QueryAcceptOutputs(const CMediaType* mt);
    const CMediaType* ConnectedOutputType();
    void OnOutputConnected();
    void OnOutputDisconnected();
    // After upstream changed the input's type or allocator: outputs that
    // still carry the old ones are reconnected through the graph.
    HRESULT RenegotiateOutputs();

    // On the streaming thread, under the receive lock.
    HRESULT DeliverSample(IMediaSample* sample);
    void DeliverEndOfStream();
    void AdoptInputType(const CMediaType& mt);
    // Under the filter lock.
    void DeliverBeginFlush();
    void DeliverEndFlush();
    void DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

private:
    explicit CInfTee(LPUNKNOWN outer);
    bool AddOutput();
    std::vector<CInfTeeOutputPin*> ConnectedOutputs();

    CCritSec filterLock_;
    CCritSec receiveLock_;
    std::unique_ptr<CInfTeeInputPin> input_;
    std::vector<std::unique_ptr<CInfTeeOutputPin>> outputs_;  // in pin-number order
    // Removed pins stay alive until the filter goes: their COM references
    // belong to the filter, so a caller may still hold one.
    std::vector<std::unique_ptr<CInfTeeOutputPin>> retired_;
};

}  // namespace system_filters
