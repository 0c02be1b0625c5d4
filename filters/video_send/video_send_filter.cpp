#include "filters/video_send/video_send_filter.h"

#include <cwchar>
#include <new>

#include "filters/video_send/video_send_api.h"

namespace video_send {

using frame_channel::ChannelClockUs;

CVideoSendInputPin::CVideoSendInputPin(CVideoSendFilter* filter, CCritSec* lock)
    : CBaseInputPin(TEXT("Video Send Input"), filter, lock, L"Input"), filter_(filter) {}

HRESULT CVideoSendInputPin::CheckMediaType(const CMediaType* mt) {
    video_media::VideoFrameType parsed;
    RETURN_IF_FAILED(video_media::ParseVideoType(*mt, true, &parsed));
    if (frame_channel::ToChannelFormat(parsed.frame.format) == frame_channel::kFormatNone ||
        parsed.layout.size > frame_channel::kMaxFrameBytes) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

HRESULT CVideoSendInputPin::SetMediaType(const CMediaType* mt) {
    RETURN_IF_FAILED(CBaseInputPin::SetMediaType(mt));
    CAutoLock lock(&receiveLock_);
    return video_media::ParseVideoType(*mt, true, &type_);
}

HRESULT CVideoSendInputPin::Active() {
    filter_->OpenChannel();
    return CBaseInputPin::Active();
}

STDMETHODIMP CVideoSendInputPin::Receive(IMediaSample* sample) {
    const uint64_t received_us = ChannelClockUs();
    CAutoLock lock(&receiveLock_);
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    const AM_SAMPLE2_PROPERTIES& props = *SampleProps();
    if (props.dwSampleFlags & AM_SAMPLE_TYPECHANGED) {
        RETURN_IF_FAILED(video_media::ParseVideoType(*props.pMediaType, true, &type_));
    }
    if (props.lActual < 0 || static_cast<size_t>(props.lActual) < type_.layout.size) return S_OK;
    const int64_t start = (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) ? props.tStart : 0;
    // A frame that cannot be published is dropped: the graph goes on.
    filter_->Channel().Write(props.pbBuffer, static_cast<size_t>(props.lActual), type_.frame, start,
                             type_.avgTimePerFrame, received_us);
    return S_OK;
}

STDMETHODIMP CVideoSendInputPin::EndOfStream() {
    const HRESULT hr = CheckStreaming();
    if (hr == S_OK) filter_->NotifyEvent(EC_COMPLETE, S_OK, 0);
    return hr;
}

CVideoSendFilter::CVideoSendFilter(LPUNKNOWN outer)
    : CBaseFilter(TEXT("Video Send Filter"), outer, &lock_, CLSID_VideoSendFilter), pin_(this, &lock_) {}

CVideoSendFilter::~CVideoSendFilter() = default;

CUnknown* WINAPI CVideoSendFilter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) CVideoSendFilter(outer);
    if (filter == nullptr) *phr = E_OUTOFMEMORY;
    return filter;
}

void CVideoSendFilter::OpenChannel() {
    if (channel_.IsOpen()) return;
    const HRESULT hr = channel_.Open();
    if (FAILED(hr)) {
        wchar_t line[96];
        swprintf(line, 96, L"Video Send Filter: opening the frame channel failed, hr=0x%08lX\n",
                 static_cast<unsigned long>(hr));
        OutputDebugStringW(line);
    }
}

}  // namespace video_send
