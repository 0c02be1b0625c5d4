// Stand-in for the system Color Space Converter (CLSID_Colour): converts
// uncompressed video between YUY2, UYVY, I420, RGB24, RGB32 and RGB565 at the
// same picture size, honouring the stride a downstream renderer asks for.
#pragma once

#include "dshow_base/streams.h"
#include "dshow_base/video_media_type.h"

namespace system_filters {

class CColourConverter : public CTransformFilter {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);

    HRESULT CheckInputType(const CMediaType* in) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* mt) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;
    HRESULT InitializeOutputSample(IMediaSample* in, IMediaSample** out) override;

private:
    explicit CColourConverter(LPUNKNOWN outer);

    // Takes on a media type upstream attached to a sample (a format change
    // mid-stream); the picture size must stay. Changes downstream asks for
    // arrive through InitializeOutputSample and SetMediaType.
    HRESULT AdoptInputTypeChange();

    // Parsed forms of the pins' media types; written at connection and by
    // AdoptSampleTypes, both under the receive lock or while stopped.
    video_media::VideoFrameType input_{};
    video_media::VideoFrameType output_{};
};

}  // namespace system_filters
