#include "system_filters/avi_mux.h"

#include <algorithm>
#include <new>

#include "system_filters/avi_mux_pins.h"
#include "system_filters/avi_stream_format.h"

namespace system_filters {

CAviMux::CAviMux(LPUNKNOWN outer)
    : CBaseFilter(L"AVI Mux", outer, &filterLock_, CLSID_AviDest),
      output_(new (std::nothrow) CAviMuxOutputPin(this, &filterLock_)) {
    AddInput();
}

CAviMux::~CAviMux() = default;

CUnknown* WINAPI CAviMux::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* mux = new (std::nothrow) CAviMux(outer);
    if (!mux || !mux->output_ || mux->inputs_.empty()) {
        delete mux;
        if (phr) *phr = E_OUTOFMEMORY;
        return nullptr;
    }
    return mux;
}

STDMETHODIMP CAviMux::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(&seeking_), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int CAviMux::GetPinCount() {
    CAutoLock lock(&filterLock_);
    return 1 + static_cast<int>(inputs_.size());
}

CBasePin* CAviMux::GetPin(int n) {
    CAutoLock lock(&filterLock_);
    if (n >= 0 && n < static_cast<int>(inputs_.size())) return inputs_[n].get();
    return n == static_cast<int>(inputs_.size()) ? output_.get() : nullptr;
}

bool CAviMux::AddInput() {
    // Reuse the lowest free number so that names stay "Input 01".."Input NN".
    int number = 1;
    auto at = inputs_.begin();
    while (at != inputs_.end() && (*at)->Number() == number) {
        ++at;
        ++number;
    }
    std::unique_ptr<CAviMuxInputPin> pin(new (std::nothrow) CAviMuxInputPin(this, &filterLock_, number));
    if (!pin || !pin->Name()) return false;
    inputs_.insert(at, std::move(pin));
    IncrementPinVersion();
    return true;
}

void CAviMux::OnInputConnected() {
    const bool freeLeft = std::any_of(inputs_.begin(), inputs_.end(), [](const auto& in) { return !in->IsConnected(); });
    if (!freeLeft) AddInput();
}

void CAviMux::OnInputDisconnected() {
    for (;;) {
        const auto freeCount =
            std::count_if(inputs_.begin(), inputs_.end(), [](const auto& in) { return !in->IsConnected(); });
        if (freeCount <= 1) return;
        auto last = std::find_if(inputs_.rbegin(), inputs_.rend(), [](const auto& in) { return !in->IsConnected(); });
        (*last)->Retire();
        retired_.push_back(std::move(*last));
        inputs_.erase(std::next(last).base());
        IncrementPinVersion();
    }
}

STDMETHODIMP CAviMux::Pause() {
    CAutoLock lock(&filterLock_);
    const FILTER_STATE before = m_State;
    if (before == State_Stopped && !output_->IsConnected()) return VFW_E_NOT_CONNECTED;
    RETURN_IF_FAILED(CBaseFilter::Pause());  // commits the output's allocator
    if (before == State_Stopped) {
        const HRESULT hr = StartRecording();
        if (FAILED(hr)) {
            CBaseFilter::Stop();
            return hr;
        }
    } else if (before == State_Running) {
        // The writer downstream is paused already and still writes: close the file off now.
        CAutoLock stream(&streamLock_);
        closedOff_ = true;
        CloseFile();
    }
    return S_OK;
}

STDMETHODIMP CAviMux::Run(REFERENCE_TIME start) {
    CAutoLock lock(&filterLock_);
    RETURN_IF_FAILED(CBaseFilter::Run(start));
    CAutoLock stream(&streamLock_);
    closedOff_ = false;
    return S_OK;
}

STDMETHODIMP CAviMux::Stop() {
    CAutoLock lock(&filterLock_);
    {
        CAutoLock stream(&streamLock_);
        closedOff_ = false;
        // Normally closed off when the graph paused; a caller that stops a
        // running filter directly still gets the best that can be written.
        if (recording_ && recording_->HasPendingData()) CloseFile();
        recording_.reset();
    }
    return CBaseFilter::Stop();
}

HRESULT CAviMux::StartRecording() {
    std::vector<avi::StreamInfo> streams;
    for (const auto& in : inputs_) {
        in->SetStreamIndex(-1);
        if (!in->IsConnected()) continue;
        in->SetStreamIndex(static_cast<int>(streams.size()));
        streams.push_back(AviStreamSpec(in->CurrentMediaType()));
    }
    if (streams.empty()) return VFW_E_NOT_CONNECTED;
    auto recording = std::make_unique<avi::AviRecording>(std::move(streams), output_->Sink());
    if (!recording->Start()) {
        const HRESULT hr = output_->SinkError();
        return FAILED(hr) ? hr : E_FAIL;
    }
    CAutoLock stream(&streamLock_);
    recording_ = std::move(recording);
    endDelivered_ = false;
    recorded_ = 0;
    return S_OK;
}

void CAviMux::CloseFile() {
    if (recording_ && !recording_->Flush()) {
        NotifyEvent(EC_ERRORABORT, output_->SinkError(), 0);
    }
}

HRESULT CAviMux::Report(avi::SampleResult result) {
    switch (result) {
    case avi::SampleResult::kAccepted:
        return S_OK;
    case avi::SampleResult::kStreamClosed:
        return S_FALSE;  // this stream sends nothing more
    case avi::SampleResult::kFileFull:
        // The 32-bit RIFF size is exhausted: the file is complete as it is.
        NotifyEvent(EC_STREAM_ERROR_STOPPED, HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), 0);
        if (!endDelivered_) {
            endDelivered_ = true;
            output_->DeliverEndOfStream();
        }
        return S_FALSE;
    case avi::SampleResult::kFailed:
        break;
    }
    const HRESULT hr = FAILED(output_->SinkError()) ? output_->SinkError() : E_FAIL;
    NotifyEvent(EC_ERRORABORT, hr, 0);
    return hr;
}

HRESULT CAviMux::ReceiveSample(CAviMuxInputPin* pin, const BYTE* data, long size, bool keyframe,
                               const avi::ChunkTime& time) {
    CAutoLock stream(&streamLock_);
    if (!recording_ || pin->StreamIndex() < 0) return VFW_E_WRONG_STATE;
    const HRESULT hr = Report(recording_->Add(pin->StreamIndex(), data, static_cast<size_t>(size), keyframe, time));
    recorded_ = recording_->RecordedTime();
    // Paused after running: the file must stay complete, this sample included.
    if (hr == S_OK && closedOff_) CloseFile();
    return hr;
}

HRESULT CAviMux::EndOfInput(CAviMuxInputPin* pin) {
    CAutoLock stream(&streamLock_);
    if (!recording_ || pin->StreamIndex() < 0) return S_OK;
    if (!recording_->EndStream(pin->StreamIndex())) return S_OK;
    if (recording_->Failed()) NotifyEvent(EC_ERRORABORT, output_->SinkError(), 0);
    if (endDelivered_) return S_OK;
    endDelivered_ = true;
    // The writer reports the graph's completion once it has this.
    return output_->DeliverEndOfStream();
}

REFERENCE_TIME CAviMux::RecordedTime() {
    CAutoLock stream(&streamLock_);
    return recorded_;
}

}  // namespace system_filters
