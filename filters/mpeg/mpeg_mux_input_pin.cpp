#include <cwchar>
#include <string>

#include "filters/mpeg/mpeg_media_types.h"
#include "filters/mpeg/mpeg_mux.h"
#include "filters/mpeg/mpeg_mux_pins.h"

namespace mpeg_filters {
namespace {

std::wstring InputName(int number) {
    wchar_t name[16];
    std::swprintf(name, 16, L"Input %02d", number);
    return name;
}

// The kind of stream a type carries; false for anything the multiplexer does not take.
bool KindOf(const CMediaType& mt, mpeg::StreamKind* kind) {
    MpegVideoFormat video;
    MpegAudioFormat audio;
    if (ParseMpegVideoType(mt, &video) == S_OK) {
        *kind = mpeg::StreamKind::kVideo;
        return true;
    }
    if (ParseMpegAudioType(mt, &audio) == S_OK) {
        *kind = mpeg::StreamKind::kAudio;
        return true;
    }
    return false;
}

}  // namespace

CMpegMuxInputPin::CMpegMuxInputPin(CMpegMux* mux, CCritSec* lock, int number)
    : CBaseInputPin(L"MPEG Mux input", mux, lock, InputName(number).c_str()), mux_(mux), number_(number) {}

HRESULT CMpegMuxInputPin::CheckConnect(IPin* pin) {
    if (retired_) return VFW_E_NOT_CONNECTED;
    return CBaseInputPin::CheckConnect(pin);
}

HRESULT CMpegMuxInputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    mpeg::StreamKind kind;
    if (!KindOf(*mt, &kind) || mux_->KindTaken(this, kind)) return VFW_E_TYPE_NOT_ACCEPTED;
    // The system header lists the streams when the stream starts: no other format after that.
    if (IsConnected() && !IsStopped() && *mt != CurrentMediaType()) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CMpegMuxInputPin::SetMediaType(const CMediaType* mt) {
    RETURN_IF_FAILED(CBaseInputPin::SetMediaType(mt));
    KindOf(*mt, &kind_);
    return S_OK;
}

HRESULT CMpegMuxInputPin::CompleteConnect(IPin* receivePin) {
    RETURN_IF_FAILED(CBaseInputPin::CompleteConnect(receivePin));
    mux_->OnInputConnected();
    return S_OK;
}

STDMETHODIMP CMpegMuxInputPin::Disconnect() {
    CAutoLock lock(m_pLock);
    const HRESULT hr = CBaseInputPin::Disconnect();
    if (hr == S_OK) mux_->OnInputDisconnected();
    return hr;
}

STDMETHODIMP CMpegMuxInputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    const AM_SAMPLE2_PROPERTIES& p = m_SampleProps;
    const bool timed = (p.dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
    return mux_->ReceiveData(this, p.pbBuffer, p.lActual, timed ? &p.tStart : nullptr);
}

STDMETHODIMP CMpegMuxInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return FAILED(hr) ? hr : S_OK;
    return mux_->EndOfInput(this);
}

}  // namespace mpeg_filters
