// The snapshot filter's pins: the pass-through parts of allocator and type
// negotiation that CTransformFilter's pins do not do.
#pragma once

#include "dshow_base/streams.h"

namespace snapshot {

class CSnapshotFilter;

class CSnapshotInputPin : public CTransformInputPin {
public:
    explicit CSnapshotInputPin(CSnapshotFilter* filter);

    // A type change while the output is connected is ours to take only when
    // downstream takes it too, since both ends carry the same type.
    HRESULT CheckMediaType(const CMediaType* mt) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;

    IMemAllocator* Allocator() const { return m_pAllocator.Get(); }

private:
    CSnapshotFilter* filter_;  // owns us
};

class CSnapshotOutputPin : public CTransformOutputPin {
public:
    explicit CSnapshotOutputPin(CSnapshotFilter* filter);

    // Offers upstream's allocator first, then falls back to one of our own.
    HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Whether samples from upstream go downstream as they are.
    bool SharesInputAllocator() const;

private:
    HRESULT ShareInputAllocator(IMemInputPin* pin, IMemAllocator** allocator);

    CSnapshotFilter* filter_;  // owns us
};

}  // namespace snapshot
