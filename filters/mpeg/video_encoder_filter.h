// The MPEG video encoder filter (CLSID_MpegVideoEncoder): uncompressed video
// in (whatever video_media::ParseVideoType reads: RGB24, RGB32, RGB565,
// YUY2, UYVY, I420), an MPEG-1 video elementary stream out, one coded
// picture per frame, with the frame's times.
//
// Settings (IEncoderSettings, IEncoderParams) may change at any time and take
// effect when streaming next starts. Where the input's time stamps show lost
// frames, the previous picture is repeated (a few bytes each) so that the
// stream keeps its picture rate; kEncoderParamFillDropped switches that off.
//
// Locking: settings and the input format under the filter lock (m_csFilter);
// the encoder itself under the receive lock (m_csReceive).
#pragma once

#include <memory>

#include "media/mpeg1/video/video_encoder.h"
#include "dshow_base/streams.h"
#include "filters/mpeg/encoder_settings.h"
#include "filters/mpeg/mpeg_filters_api.h"
#include "filters/mpeg/picture_pacer.h"
#include "dshow_base/video_media_type.h"

namespace mpeg_filters {

class CMpegVideoEncoder : public CTransformFilter, public IEncoderSettings, public IEncoderParams {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    ~CMpegVideoEncoder() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IEncoderSettings (video_encoder_controls.cpp)
    STDMETHODIMP GetSettingsSize(DWORD* bytes) override;
    STDMETHODIMP GetQuality(int* quality) override;
    STDMETHODIMP SetQuality(int quality) override;
    STDMETHODIMP GetGopLength(int* pictures) override;
    STDMETHODIMP SetGopLength(int pictures) override;
    STDMETHODIMP SetGroupStructure(int closedGroups, int anchorDistance, int bPictures) override;
    STDMETHODIMP GetGroupStructure(int* closedGroups, int* anchorDistance, int* bPictures) override;
    STDMETHODIMP GetPictureSize(int* width, int* height) override;
    STDMETHODIMP GetBitRate(int* bitsPerSecond) override;
    STDMETHODIMP GetSettings(BYTE* block) override;
    STDMETHODIMP SetSettings(const BYTE* block) override;

    // IEncoderParams (video_encoder_controls.cpp)
    STDMETHODIMP GetParam(int param, int* value) override;
    STDMETHODIMP SetParam(int param, int value) override;

    // CTransformFilter
    HRESULT CheckInputType(const CMediaType* in) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;

private:
    explicit CMpegVideoEncoder(LPUNKNOWN outer);

    // The frame duration the stream is coded at (the input's, or 1/30 s).
    REFERENCE_TIME FrameDuration() const;
    HRESULT Encode(const AM_SAMPLE2_PROPERTIES& props);
    HRESULT RepeatUntil(REFERENCE_TIME start);
    // Sends a picture in as many samples as it needs; only the first carries
    // times, the sync-point flag and the discontinuity flag.
    HRESULT DeliverPicture(const mpeg::EncodedPicture& picture, const REFERENCE_TIME* start,
                           const REFERENCE_TIME* stop);
    HRESULT DeliverBytes(const uint8_t* data, size_t size, const REFERENCE_TIME* start, const REFERENCE_TIME* stop,
                         bool syncPoint);

    // Under m_csFilter.
    EncoderSettings settings_;
    SettingsBlock block_{};
    video_media::VideoFrameType input_{};
    bool inputParsed_ = false;

    // Under m_csReceive.
    std::unique_ptr<mpeg::VideoEncoder> encoder_;
    PicturePacer pacer_{0};
    uint32_t pictures_ = 0;
    bool discontinuity_ = false;
};

}  // namespace mpeg_filters
