#include "filters/snapshot/snapshot_pins.h"

#include <algorithm>

#include "filters/snapshot/snapshot_filter.h"

namespace snapshot {

namespace {

// Whether an allocator upstream already set up also meets what the
// downstream pin asks for; its buffer count and size are upstream's business.
bool MeetsRequirements(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& need) {
    ALLOCATOR_PROPERTIES have{};
    if (FAILED(allocator->GetProperties(&have)) || have.cbBuffer <= 0) return false;
    const long align = std::max(have.cbAlign, 1L);
    return (need.cbAlign <= 1 || align % need.cbAlign == 0) && have.cbPrefix >= need.cbPrefix;
}

}  // namespace

// ---- CSnapshotInputPin

CSnapshotInputPin::CSnapshotInputPin(CSnapshotFilter* filter)
    : CTransformInputPin(L"Snapshot input pin", filter, L"Input"), filter_(filter) {}

HRESULT CSnapshotInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    HRESULT hr = filter_->CheckInputType(mt);
    if (hr != S_OK) return hr;
    CTransformOutputPin* output = filter_->Output();
    if (!output || !output->IsConnected() || *mt == output->CurrentMediaType()) return S_OK;
    // A new connection while stopped: CompleteConnect moves the output along.
    if (IsStopped() && !IsConnected()) return S_OK;
    hr = output->GetConnected()->QueryAccept(mt);
    return hr == S_OK ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

STDMETHODIMP CSnapshotInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    CAutoLock lock(m_pLock);
    RETURN_IF_FAILED(CTransformInputPin::NotifyAllocator(allocator, readOnly));
    return filter_->OnInputAllocator();
}

// ---- CSnapshotOutputPin

CSnapshotOutputPin::CSnapshotOutputPin(CSnapshotFilter* filter)
    : CTransformOutputPin(L"Snapshot output pin", filter, L"Output"), filter_(filter) {}

HRESULT CSnapshotOutputPin::ShareInputAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    CSnapshotInputPin* input = filter_->Input();
    IMemAllocator* upstream = input->Allocator();
    if (!upstream) return VFW_E_NO_ALLOCATOR;
    ALLOCATOR_PROPERTIES need{};
    pin->GetAllocatorRequirements(&need);  // E_NOTIMPL: no requirements
    if (!MeetsRequirements(upstream, need)) return VFW_E_BADALIGN;
    // We never write into samples, so downstream may do what upstream allows.
    RETURN_IF_FAILED(pin->NotifyAllocator(upstream, input->IsReadOnly()));
    *allocator = upstream;
    upstream->AddRef();
    return S_OK;
}

HRESULT CSnapshotOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    if (!pin || !allocator) return E_POINTER;
    *allocator = nullptr;
    if (SUCCEEDED(ShareInputAllocator(pin, allocator))) return S_OK;
    return CTransformOutputPin::DecideAllocator(pin, allocator);
}

HRESULT CSnapshotOutputPin::BreakConnect() {
    // Dropped before the base decommits it: a shared allocator is upstream's.
    if (SharesInputAllocator()) m_pAllocator.Reset();
    return CTransformOutputPin::BreakConnect();
}

// A shared allocator is upstream's to commit and decommit.
HRESULT CSnapshotOutputPin::Active() {
    if (SharesInputAllocator()) return S_OK;
    return CTransformOutputPin::Active();
}

HRESULT CSnapshotOutputPin::Inactive() {
    if (SharesInputAllocator()) {
        m_bRunTimeError = false;
        return S_OK;
    }
    return CTransformOutputPin::Inactive();
}

bool CSnapshotOutputPin::SharesInputAllocator() const {
    return m_pAllocator && m_pAllocator.Get() == filter_->Input()->Allocator();
}

}  // namespace snapshot
