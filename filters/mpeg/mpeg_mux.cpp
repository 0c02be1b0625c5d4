#include "filters/mpeg/mpeg_mux.h"

#include <algorithm>
#include <new>

#include "filters/mpeg/mpeg_filters_api.h"
#include "filters/mpeg/mpeg_media_types.h"
#include "filters/mpeg/mpeg_mux_pins.h"
#include "filters/mpeg/no_throw.h"

namespace mpeg_filters {

CMpegMux::CMpegMux(LPUNKNOWN outer)
    : CBaseFilter(L"MPEG Multiplexer", outer, &filterLock_, CLSID_MpegMultiplexer),
      output_(new (std::nothrow) CMpegMuxOutputPin(this, &filterLock_)) {
    AddInput();
}

CMpegMux::~CMpegMux() = default;

CUnknown* WINAPI CMpegMux::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    CMpegMux* mux = nullptr;
    const HRESULT hr = CallNoThrow([&] {
        mux = new CMpegMux(outer);
        return mux->output_ && mux->output_->Name() && !mux->inputs_.empty() ? S_OK : E_OUTOFMEMORY;
    });
    if (FAILED(hr)) {
        delete mux;
        if (phr) *phr = hr;
        return nullptr;
    }
    return mux;
}

int CMpegMux::GetPinCount() {
    CAutoLock lock(&filterLock_);
    return 1 + static_cast<int>(inputs_.size());
}

CBasePin* CMpegMux::GetPin(int n) {
    CAutoLock lock(&filterLock_);
    if (n >= 0 && n < static_cast<int>(inputs_.size())) return inputs_[n].get();
    return n == static_cast<int>(inputs_.size()) ? output_.get() : nullptr;
}

bool CMpegMux::AddInput() {
    // The lowest free number, so the names stay "Input 01" and "Input 02".
    int number = 1;
    auto at = inputs_.begin();
    while (at != inputs_.end() && (*at)->Number() == number) {
        ++at;
        ++number;
    }
    std::unique_ptr<CMpegMuxInputPin> pin(new (std::nothrow) CMpegMuxInputPin(this, &filterLock_, number));
    if (!pin || !pin->Name()) return false;
    inputs_.insert(at, std::move(pin));
    IncrementPinVersion();
    return true;
}

void CMpegMux::OnInputConnected() {
    const bool freeLeft = std::any_of(inputs_.begin(), inputs_.end(), [](const auto& in) { return !in->IsConnected(); });
    if (!freeLeft && static_cast<int>(inputs_.size()) < kMaxInputs) AddInput();
}

void CMpegMux::OnInputDisconnected() {
    const auto isFree = [](const auto& in) { return !in->IsConnected(); };
    while (std::count_if(inputs_.begin(), inputs_.end(), isFree) > 1) {
        auto last = std::find_if(inputs_.rbegin(), inputs_.rend(), isFree);
        (*last)->Retire();
        retired_.push_back(std::move(*last));
        inputs_.erase(std::next(last).base());
        IncrementPinVersion();
    }
}

bool CMpegMux::KindTaken(const CMpegMuxInputPin* asking, mpeg::StreamKind kind) const {
    return std::any_of(inputs_.begin(), inputs_.end(), [&](const auto& in) {
        return in.get() != asking && in->IsConnected() && in->Kind() == kind;
    });
}

STDMETHODIMP CMpegMux::Pause() {
    CAutoLock lock(&filterLock_);
    const FILTER_STATE before = m_State;
    if (before == State_Stopped && !output_->IsConnected()) return VFW_E_NOT_CONNECTED;
    RETURN_IF_FAILED(CBaseFilter::Pause());  // commits the output's allocator
    if (before == State_Stopped) {
        const HRESULT hr = CallNoThrow([&] { return StartMux(); });
        if (FAILED(hr)) {
            CBaseFilter::Stop();
            return hr;
        }
    } else if (before == State_Running) {
        // The sink downstream is paused already and still takes bytes: end the stream now.
        CAutoLock stream(&streamLock_);
        if (!FinishMux()) WriteFailure();
    }
    return S_OK;
}

STDMETHODIMP CMpegMux::Stop() {
    CAutoLock lock(&filterLock_);
    {
        CAutoLock stream(&streamLock_);
        // Normally finished when the graph paused; a caller that stops a
        // running filter directly still gets what can be written.
        FinishMux();
        mux_.reset();
    }
    return CBaseFilter::Stop();
}

HRESULT CMpegMux::StartMux() {
    mpeg::SystemMuxConfig config;
    config.has_video = config.has_audio = false;
    for (const auto& in : inputs_) {
        in->SetEnded(false);
        if (!in->IsConnected()) continue;
        if (in->Kind() == mpeg::StreamKind::kVideo) {
            MpegVideoFormat video;
            RETURN_IF_FAILED(ParseMpegVideoType(in->CurrentMediaType(), &video));
            config.has_video = true;
            config.video_bit_rate = video.bit_rate;
            config.video_buffer_bits = video.buffer_bits;
        } else {
            MpegAudioFormat audio;
            RETURN_IF_FAILED(ParseMpegAudioType(in->CurrentMediaType(), &audio));
            config.has_audio = true;
            config.audio_bit_rate = audio.bit_rate;
        }
    }
    if (!config.has_video && !config.has_audio) return VFW_E_NOT_CONNECTED;
    auto mux = mpeg::SystemMux::Create(config, output_->StartStream());
    if (!mux) return E_OUTOFMEMORY;
    CAutoLock stream(&streamLock_);
    mux_ = std::move(mux);
    finished_ = false;
    failureReported_ = false;
    return S_OK;
}

bool CMpegMux::FinishMux() {
    if (!mux_ || finished_) return true;
    finished_ = true;
    const bool written = CallNoThrow([&] { return mux_->Finish() ? S_OK : E_FAIL; }) == S_OK;
    return output_->FlushStream() && written;
}

HRESULT CMpegMux::WriteFailure() {
    const HRESULT error = output_->StreamError();
    const HRESULT hr = FAILED(error) ? error : E_FAIL;
    if (!failureReported_) {
        failureReported_ = true;
        NotifyEvent(EC_ERRORABORT, hr, 0);
    }
    return hr;
}

HRESULT CMpegMux::ReceiveData(CMpegMuxInputPin* pin, const BYTE* data, long size, const REFERENCE_TIME* time) {
    CAutoLock stream(&streamLock_);
    if (!mux_) return VFW_E_WRONG_STATE;
    if (finished_) return S_FALSE;  // the stream has its end code already
    if (size <= 0) return S_OK;
    const int64_t at = time ? *time : mpeg::SystemMux::kNoTime;
    bool written = false;
    RETURN_IF_FAILED(CallNoThrow([&] {
        written = mux_->Write(pin->Kind(), data, static_cast<size_t>(size), at);
        return S_OK;
    }));
    return written ? S_OK : WriteFailure();
}

HRESULT CMpegMux::EndOfInput(CMpegMuxInputPin* pin) {
    CAutoLock stream(&streamLock_);
    if (!mux_ || finished_ || pin->Ended()) return S_OK;
    pin->SetEnded(true);
    RETURN_IF_FAILED(CallNoThrow([&] {
        mux_->EndStream(pin->Kind());
        return S_OK;
    }));
    const bool allEnded = std::all_of(inputs_.begin(), inputs_.end(),
                                      [](const auto& in) { return !in->IsConnected() || in->Ended(); });
    if (!allEnded) return S_OK;
    if (!FinishMux()) return WriteFailure();
    // The sink reports the graph's completion once it has this.
    return output_->DeliverEndOfStream();
}

}  // namespace mpeg_filters
