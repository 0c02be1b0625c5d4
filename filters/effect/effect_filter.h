// CEffectFilter: video in (RGB24 of any size, YUY2, I420), the same picture
// size out as bottom-up RGB24, decorated by the current effect or frame file.
//
// Threads: IEffectControl is called on the host's thread while frames stream.
// A call reads and decodes its file first, with no lock held, then swaps the
// finished decoration into m_decoration (a pointer swap under a lock of its
// own); Transform takes the pointer once per frame. So the stream never waits
// for file work, and a frame is rendered by one decoration from start to end.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/streams.h"
#include "filters/effect/decoration.h"
#include "filters/effect/effect_filter_api.h"
#include "filters/effect/video_input.h"
#include "dshow_base/video_media_type.h"

namespace effect_filter {

class CEffectFilter : public CTransformFilter, public IEffectControl {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IEffectControl
    STDMETHODIMP SetEffectType(int code) override;
    STDMETHODIMP GetEffectType(int* code) override;
    STDMETHODIMP GetFirstFrame(const wchar_t* file, int width, int height, BYTE* buffer, int red, int green,
                               int blue) override;
    STDMETHODIMP SetStaticFrame(const wchar_t* file, int speed, int plays) override;
    STDMETHODIMP SetGifFrame(const wchar_t* file, int speed, int plays) override;
    STDMETHODIMP SetFlashFrame(const wchar_t* file, int speed, int plays) override;

    // CTransformFilter
    HRESULT CheckInputType(const CMediaType* in) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) override;
    HRESULT StartStreaming() override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

private:
    explicit CEffectFilter(LPUNKNOWN outer);

    HRESULT SetFrameFile(const wchar_t* file, int speed, int plays, const char* call);
    effects::SampleTime FrameTime(IMediaSample* in);

    DecorationSlot m_decoration;

    // Connection-time types, read by Transform under m_csReceive.
    video_media::VideoFrameType m_in{};
    video_media::VideoFrameType m_out{};
    VideoInput m_input;  // the stream's conversion buffer
    effects::SampleTime m_lastTime = 0;
};

}  // namespace effect_filter
