// The video send filter: a sink with one input pin that publishes every
// frame it receives into the shared frame channel, where the virtual webcam
// device of any process picks it up. Publishing is a copy into memory, so
// the graph's streaming thread never waits, whoever reads or fails to read.
#pragma once

#include "dshow_base/streams.h"
#include "media/frame_channel/shared_channel.h"
#include "dshow_base/video_media_type.h"

namespace video_send {

class CVideoSendFilter;

class CVideoSendInputPin : public CBaseInputPin {
public:
    CVideoSendInputPin(CVideoSendFilter* filter, CCritSec* lock);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT Active() override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP ReceiveCanBlock() override { return S_FALSE; }
    STDMETHODIMP EndOfStream() override;

private:
    CVideoSendFilter* filter_;  // owns us
    CCritSec receiveLock_;      // the streaming thread's; the frame type changes under it
    video_media::VideoFrameType type_;
};

class CVideoSendFilter : public CBaseFilter {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    ~CVideoSendFilter() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &pin_ : nullptr; }

    // The channel is opened the first time the filter goes active and kept
    // for its life, so a stop and run does not make readers lose it.
    void OpenChannel();
    frame_channel::SharedChannelWriter& Channel() { return channel_; }

private:
    explicit CVideoSendFilter(LPUNKNOWN outer);

    CCritSec lock_;
    CVideoSendInputPin pin_;
    frame_channel::SharedChannelWriter channel_;  // touched under the pin's receive lock or stopped
};

}  // namespace video_send
