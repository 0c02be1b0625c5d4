// The MPEG audio encoder filter (CLSID_MpegAudioEncoder): 16-bit PCM in
// (mono or stereo, 32, 44.1 or 48 kHz), MPEG-1 Layer II frames out, one per
// sample, each stamped with the time of its first input sample. End of
// stream sends the held-back remainder, padded to whole frames.
#pragma once

#include <memory>

#include "media/mpeg1/audio/audio_encoder.h"
#include "dshow_base/streams.h"
#include "filters/mpeg/mpeg_media_types.h"
#include "filters/mpeg/sample_clock.h"

namespace mpeg_filters {

class CMpegAudioEncoder : public CTransformFilter {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    ~CMpegAudioEncoder() override;

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
    explicit CMpegAudioEncoder(LPUNKNOWN outer);

    // Frames go out from inside the encoder's callback; the first failure
    // is kept and stops further deliveries.
    void DeliverFrame(const mpeg::EncodedAudioFrame& frame);

    // Under m_csFilter (set while stopped).
    PcmFormat input_{};

    // Under m_csReceive.
    std::unique_ptr<mpeg::AudioEncoder> encoder_;
    SampleClock clock_{1};
    uint64_t bytesIn_ = 0;  // since the stream started
    HRESULT deliveryResult_ = S_OK;
    bool discontinuity_ = false;
};

}  // namespace mpeg_filters
