#include <algorithm>
#include <new>
#include <string>

#include "system_filters/inf_tee.h"
#include "system_filters/inf_tee_pins.h"
#include "system_filters/sample_copy.h"
#include "system_filters/tee_position.h"

namespace system_filters {

namespace {

std::wstring OutputName(int number) { return L"Output" + std::to_wstring(number); }

// Whether an allocator already set up by upstream also satisfies what the
// downstream pin asks for; its buffer count is upstream's business.
bool MeetsRequirements(IMemAllocator* allocator, const ALLOCATOR_PROPERTIES& need) {
    ALLOCATOR_PROPERTIES have{};
    if (FAILED(allocator->GetProperties(&have)) || have.cbBuffer <= 0) return false;
    const long align = std::max(have.cbAlign, 1L);
    return (need.cbAlign <= 1 || align % need.cbAlign == 0) && have.cbPrefix >= need.cbPrefix;
}

}  // namespace

CInfTeeOutputPin::CInfTeeOutputPin(CInfTee* tee, CCritSec* lock, int number)
    : CBaseOutputPin(L"Infinite Pin Tee output", tee, lock, OutputName(number).c_str()),
      tee_(tee),
      number_(number) {}

CInfTeeOutputPin::~CInfTeeOutputPin() = default;

STDMETHODIMP CInfTeeOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid != IID_IMediaSeeking && riid != IID_IMediaPosition) {
        return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
    }
    CAutoLock lock(m_pLock);
    if (!position_) {
        position_.reset(new (std::nothrow) CTeePosition(this, tee_));
        if (!position_) {
            *ppv = nullptr;
            return E_OUTOFMEMORY;
        }
    }
    // Called on the typed object: references it hands out go to this pin.
    return position_->NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CInfTeeOutputPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) {
    CAutoLock lock(m_pLock);
    const HRESULT hr = CBaseOutputPin::Connect(receivePin, mt);
    if (SUCCEEDED(hr)) tee_->OnOutputConnected();
    return hr;
}

STDMETHODIMP CInfTeeOutputPin::Disconnect() {
    CAutoLock lock(m_pLock);
    const HRESULT hr = CBaseOutputPin::Disconnect();
    if (hr == S_OK) tee_->OnOutputDisconnected();
    return hr;
}

STDMETHODIMP CInfTeeOutputPin::Notify(IBaseFilter*, Quality q) {
    // Several downstream branches may disagree about speed; the first one
    // speaks for all, the others are heard but not passed on.
    if (!tee_->IsPrimaryOutput(this)) return S_OK;
    return tee_->Input()->PassNotify(q);
}

HRESULT CInfTeeOutputPin::CheckConnect(IPin* pin) {
    if (retired_) return E_UNEXPECTED;
    if (!tee_->InputConnected()) return VFW_E_NOT_CONNECTED;
    return CBaseOutputPin::CheckConnect(pin);
}

HRESULT CInfTeeOutputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (!tee_->InputConnected()) return VFW_E_NOT_CONNECTED;
    return *mt == tee_->Input()->CurrentMediaType() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CInfTeeOutputPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (!tee_->InputConnected()) return VFW_E_NOT_CONNECTED;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(tee_->Input()->CurrentMediaType());
}

HRESULT CInfTeeOutputPin::BreakConnect() {
    negotiatedShared_ = false;
    // Dropped before the base decommits it: a shared allocator is upstream's.
    if (SharesInputAllocator()) m_pAllocator.Reset();
    return CBaseOutputPin::BreakConnect();
}

HRESULT CInfTeeOutputPin::ShareInputAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    IMemAllocator* upstream = tee_->InputAllocator();
    if (!upstream) return VFW_E_NO_ALLOCATOR;
    ALLOCATOR_PROPERTIES need{};
    pin->GetAllocatorRequirements(&need);
    if (!MeetsRequirements(upstream, need)) return VFW_E_BADALIGN;
    // Read-only always: the same buffer goes to every other output as well.
    RETURN_IF_FAILED(pin->NotifyAllocator(upstream, TRUE));
    *allocator = upstream;
    upstream->AddRef();
    return S_OK;
}

HRESULT CInfTeeOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    if (!pin || !allocator) return E_POINTER;
    *allocator = nullptr;
    negotiatedShared_ = SUCCEEDED(ShareInputAllocator(pin, allocator));
    if (negotiatedShared_) return S_OK;
    return CBaseOutputPin::DecideAllocator(pin, allocator);
}

HRESULT CInfTeeOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    // Copies must hold whatever an upstream buffer can.
    long size = static_cast<long>(tee_->Input()->CurrentMediaType().GetSampleSize());
    ALLOCATOR_PROPERTIES upstream{};
    if (IMemAllocator* input = tee_->InputAllocator()) {
        if (SUCCEEDED(input->GetProperties(&upstream))) size = std::max(size, upstream.cbBuffer);
    }
    props->cbBuffer = std::max({props->cbBuffer, size, 1L});
    props->cBuffers = std::max(props->cBuffers, 1L);
    props->cbAlign = std::max(props->cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual{};
    RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
    return actual.cbBuffer >= props->cbBuffer ? S_OK : E_FAIL;
}

bool CInfTeeOutputPin::SharesInputAllocator() const {
    return m_pAllocator && m_pAllocator.Get() == tee_->InputAllocator();
}

bool CInfTeeOutputPin::NeedsRenegotiation() {
    if (!IsConnected()) return false;
    if (m_mt != tee_->Input()->CurrentMediaType()) return true;
    return negotiatedShared_ && !SharesInputAllocator();
}

// A shared allocator is upstream's to commit and decommit.
HRESULT CInfTeeOutputPin::Active() {
    if (!SharesInputAllocator()) RETURN_IF_FAILED(CBaseOutputPin::Active());
    return queue_.Start();
}

HRESULT CInfTeeOutputPin::Inactive() {
    // Decommitting first frees a queue thread waiting for one of our buffers.
    HRESULT hr = S_OK;
    if (SharesInputAllocator()) {
        m_bRunTimeError = false;
    } else {
        hr = CBaseOutputPin::Inactive();
    }
    queue_.Stop();
    return hr;
}

HRESULT CInfTeeOutputPin::QueueSample(IMediaSample* sample) { return queue_.Receive(sample); }

void CInfTeeOutputPin::QueueEndOfStream() {
    if (FAILED(queue_.EndOfStream())) DeliverEndOfStream();
}

void CInfTeeOutputPin::QueueNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    // Stopped (a seek before Run), there is no queue to keep order with.
    if (queue_.NewSegment(start, stop, rate) == VFW_E_WRONG_STATE) DeliverNewSegment(start, stop, rate);
}

void CInfTeeOutputPin::BeginFlushDownstream() {
    queue_.BeginFlush();
    DeliverBeginFlush();
}

void CInfTeeOutputPin::EndFlushDownstream() {
    queue_.EndFlush();
    DeliverEndFlush();
}

HRESULT CInfTeeOutputPin::DeliverSampleNow(IMediaSample* sample) {
    if (!m_pInputPin) return VFW_E_NOT_CONNECTED;
    if (SharesInputAllocator()) return m_pInputPin->Receive(sample);
    ComPtr<IMediaSample> copy;
    RETURN_IF_FAILED(GetDeliveryBuffer(copy.Put(), nullptr, nullptr, 0));
    RETURN_IF_FAILED(CopySample(sample, copy.Get()));
    return m_pInputPin->Receive(copy.Get());
}

HRESULT CInfTeeOutputPin::DeliverEndOfStreamNow() { return DeliverEndOfStream(); }

HRESULT CInfTeeOutputPin::DeliverNewSegmentNow(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    return DeliverNewSegment(start, stop, rate);
}

}  // namespace system_filters
