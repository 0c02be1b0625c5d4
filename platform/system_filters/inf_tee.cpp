#include "system_filters/inf_tee.h"

#include <algorithm>
#include <new>

#include "system_filters/inf_tee_pins.h"

namespace system_filters {

CInfTee::CInfTee(LPUNKNOWN outer)
    : CBaseFilter(L"Infinite Pin Tee Filter", outer, &filterLock_, CLSID_InfTee),
      input_(new (std::nothrow) CInfTeeInputPin(this, &filterLock_)) {
    AddOutput();
}

CInfTee::~CInfTee() = default;

CUnknown* WINAPI CInfTee::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* tee = new (std::nothrow) CInfTee(outer);
    if (!tee || !tee->input_ || tee->outputs_.empty()) {
        delete tee;
        if (phr) *phr = E_OUTOFMEMORY;
        return nullptr;
    }
    return tee;
}

int CInfTee::GetPinCount() {
    CAutoLock lock(&filterLock_);
    return 1 + static_cast<int>(outputs_.size());
}

CBasePin* CInfTee::GetPin(int n) {
    CAutoLock lock(&filterLock_);
    if (n == 0) return input_.get();
    if (n < 1 || n > static_cast<int>(outputs_.size())) return nullptr;
    return outputs_[n - 1].get();
}

IMemAllocator* CInfTee::InputAllocator() const { return input_->Allocator(); }

BOOL CInfTee::InputConnected() const { return input_->IsConnected(); }

bool CInfTee::IsPrimaryOutput(const CInfTeeOutputPin* pin) {
    // Not the filter lock: renderers send quality messages from inside
    // Receive, on a queue thread that Stop waits for under that lock.
    CAutoLock lock(&receiveLock_);
    for (const auto& out : outputs_) {
        if (out->IsConnected()) return out.get() == pin;
    }
    return false;
}

std::vector<CInfTeeOutputPin*> CInfTee::ConnectedOutputs() {
    std::vector<CInfTeeOutputPin*> connected;
    for (const auto& out : outputs_) {
        if (out->IsConnected()) connected.push_back(out.get());
    }
    return connected;
}

bool CInfTee::AddOutput() {
    // Reuse the lowest free number so that names stay Output1..N.
    int number = 1;
    auto at = outputs_.begin();
    while (at != outputs_.end() && (*at)->Number() == number) {
        ++at;
        ++number;
    }
    std::unique_ptr<CInfTeeOutputPin> pin(new (std::nothrow) CInfTeeOutputPin(this, &filterLock_, number));
    if (!pin || !pin->Name()) return false;
    CAutoLock receive(&receiveLock_);
    outputs_.insert(at, std::move(pin));
    IncrementPinVersion();
    return true;
}

void CInfTee::OnOutputConnected() {
    const bool freeLeft = std::any_of(outputs_.begin(), outputs_.end(),
                                      [](const auto& out) { return !out->IsConnected(); });
    if (!freeLeft) AddOutput();
}

void CInfTee::OnOutputDisconnected() {
    CAutoLock receive(&receiveLock_);
    for (;;) {
        const auto freeCount = std::count_if(outputs_.begin(), outputs_.end(),
                                             [](const auto& out) { return !out->IsConnected(); });
        if (freeCount <= 1) return;
        auto last = std::find_if(outputs_.rbegin(), outputs_.rend(),
                                 [](const auto& out) { return !out->IsConnected(); });
        (*last)->Retire();
        retired_.push_back(std::move(*last));
        outputs_.erase(std::next(last).base());
        IncrementPinVersion();
    }
}

HRESULT CInfTee::QueryAcceptOutputs(const CMediaType* mt) {
    for (CInfTeeOutputPin* out : ConnectedOutputs()) {
        if (out->CurrentMediaType() == *mt) continue;
        if (out->GetConnected()->QueryAccept(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

const CMediaType* CInfTee::ConnectedOutputType() {
    for (const auto& out : outputs_) {
        if (out->IsConnected()) return &out->CurrentMediaType();
    }
    return nullptr;
}

HRESULT CInfTee::RenegotiateOutputs() {
    // Collected first: a graph that reconnects at once changes the pin list.
    std::vector<CInfTeeOutputPin*> stale;
    for (CInfTeeOutputPin* out : ConnectedOutputs()) {
        if (out->NeedsRenegotiation()) stale.push_back(out);
    }
    const CMediaType type = input_->CurrentMediaType();
    for (CInfTeeOutputPin* out : stale) {
        const HRESULT hr = ReconnectPin(out, &type);
        // A graph that cannot reconnect leaves the output copying samples,
        // which is only wrong when the type itself changed.
        if (FAILED(hr) && out->IsConnected() && out->CurrentMediaType() != type) return hr;
    }
    return S_OK;
}

HRESULT CInfTee::DeliverSample(IMediaSample* sample) {
    bool anyOutput = false;
    bool delivered = false;
    HRESULT failure = S_OK;
    for (const auto& out : outputs_) {
        if (!out->IsConnected()) continue;
        anyOutput = true;
        const HRESULT hr = out->QueueSample(sample);
        if (hr == S_OK) {
            delivered = true;
        } else if (failure == S_OK) {
            failure = hr;
        }
    }
    // One output refusing must not stop upstream from feeding the others.
    return !anyOutput || delivered ? S_OK : failure;
}

void CInfTee::DeliverEndOfStream() {
    for (CInfTeeOutputPin* out : ConnectedOutputs()) out->QueueEndOfStream();
}

void CInfTee::AdoptInputType(const CMediaType& mt) {
    input_->SetMediaType(&mt);
    for (CInfTeeOutputPin* out : ConnectedOutputs()) out->SetMediaType(&mt);
}

void CInfTee::DeliverBeginFlush() {
    for (CInfTeeOutputPin* out : ConnectedOutputs()) out->BeginFlushDownstream();
}

void CInfTee::DeliverEndFlush() {
    for (CInfTeeOutputPin* out : ConnectedOutputs()) out->EndFlushDownstream();
}

void CInfTee::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    for (CInfTeeOutputPin* out : ConnectedOutputs()) out->QueueNewSegment(start, stop, rate);
}

}  // namespace system_filters
