#include "filters/mpeg/video_encoder_filter.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "media/mpeg1/common/bit_writer.h"
#include "media/mpeg1/video/rate_control.h"
#include "media/mpeg1/video/stream_headers.h"
#include "media/mpeg1/video/video_tables.h"
#include "filters/mpeg/mpeg_media_types.h"
#include "filters/mpeg/no_throw.h"

namespace mpeg_filters {
namespace {

constexpr REFERENCE_TIME kDefaultFrameDuration = 333333;
// Most pictures fit one buffer; a larger one is split across samples.
constexpr long kOutputBufferBytes = 256 * 1024;
constexpr long kOutputBuffers = 4;

// The type announces the highest quality's ceiling: the quality may still
// change after connection, and the multiplexer sizes its rate from this.
MpegVideoFormat CeilingFormat(int width, int height, REFERENCE_TIME duration, std::vector<uint8_t>* header) {
    mpeg::video::SequenceParameters seq;
    seq.width = width;
    seq.height = height;
    seq.picture_rate_code = mpeg::video::NearestPictureRateCode(duration);
    mpeg::video::RateControl rate;
    rate.Configure(kMaxQuality, width, height, mpeg::video::kPictureRates[seq.picture_rate_code]);
    seq.bit_rate = rate.bit_rate();
    seq.vbv_buffer_bits = rate.buffer_bits();
    mpeg::BitWriter bits(header);
    mpeg::video::WriteSequenceHeader(bits, seq);
    MpegVideoFormat format;
    format.width = width;
    format.height = height;
    format.frame_duration = duration;
    format.bit_rate = seq.bit_rate;
    format.buffer_bits = seq.vbv_buffer_bits;
    return format;
}

bool SameFrame(const pixel_formats::FrameFormat& a, const pixel_formats::FrameFormat& b) {
    return a.format == b.format && a.width == b.width && a.height == b.height && a.stride == b.stride;
}

}  // namespace

CMpegVideoEncoder::CMpegVideoEncoder(LPUNKNOWN outer)
    : CTransformFilter(L"MPEG Video Encoder", outer, CLSID_MpegVideoEncoder) {
    StoreSettings(settings_, &block_);
}

CMpegVideoEncoder::~CMpegVideoEncoder() = default;

CUnknown* WINAPI CMpegVideoEncoder::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) CMpegVideoEncoder(outer);
    if (!filter && phr) *phr = E_OUTOFMEMORY;
    return filter;
}

STDMETHODIMP CMpegVideoEncoder::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IEncoderSettings) return GetInterface(static_cast<IEncoderSettings*>(this), ppv);
    if (riid == IID_IEncoderParams) return GetInterface(static_cast<IEncoderParams*>(this), ppv);
    return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CMpegVideoEncoder::CheckInputType(const CMediaType* in) {
    if (!in) return E_POINTER;
    video_media::VideoFrameType parsed;
    RETURN_IF_FAILED(video_media::ParseVideoType(*in, true, &parsed));
    const int height = std::abs(parsed.frame.height);
    if (parsed.frame.width < mpeg::kMinVideoDimension || height < mpeg::kMinVideoDimension ||
        parsed.frame.width > mpeg::kMaxVideoDimension || height > mpeg::kMaxVideoDimension ||
        parsed.frame.width * height > mpeg::kMaxVideoPixels) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    // The sequence is under way: a new format could only start another one.
    if (!IsStopped() && inputParsed_ && !SameFrame(parsed.frame, input_.frame)) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CMpegVideoEncoder::SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) {
    if (dir != PINDIR_INPUT) return S_OK;
    RETURN_IF_FAILED(video_media::ParseVideoType(*mt, true, &input_));
    inputParsed_ = true;
    return S_OK;
}

REFERENCE_TIME CMpegVideoEncoder::FrameDuration() const {
    return input_.avgTimePerFrame > 0 ? input_.avgTimePerFrame : kDefaultFrameDuration;
}

HRESULT CMpegVideoEncoder::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (!m_pInput || !m_pInput->IsConnected() || !inputParsed_) return E_UNEXPECTED;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return CallNoThrow([&] {
        std::vector<uint8_t> header;
        const MpegVideoFormat format =
            CeilingFormat(input_.frame.width, std::abs(input_.frame.height), FrameDuration(), &header);
        return BuildMpegVideoType(format, header, mt);
    });
}

HRESULT CMpegVideoEncoder::CheckTransform(const CMediaType* in, const CMediaType* out) {
    if (!in || !out) return E_POINTER;
    video_media::VideoFrameType input;
    MpegVideoFormat output;
    RETURN_IF_FAILED(video_media::ParseVideoType(*in, true, &input));
    RETURN_IF_FAILED(ParseMpegVideoType(*out, &output));
    const bool sameSize = output.width == input.frame.width && output.height == std::abs(input.frame.height);
    return sameSize ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CMpegVideoEncoder::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    props->cbBuffer = std::max(props->cbBuffer, kOutputBufferBytes);
    props->cBuffers = std::max(props->cBuffers, kOutputBuffers);
    props->cbAlign = std::max(props->cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual{};
    RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
    return actual.cbBuffer >= 1024 && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

HRESULT CMpegVideoEncoder::StartStreaming() {
    mpeg::VideoEncoderConfig config;
    config.input = input_.frame;
    config.frame_duration = FrameDuration();
    config.quality = settings_.quality;
    config.gop_length = settings_.gop_length;
    return CallNoThrow([&] {
        encoder_ = mpeg::VideoEncoder::Create(config);
        if (!encoder_) return E_OUTOFMEMORY;  // the type and settings were checked already
        pacer_ = PicturePacer(settings_.fill_dropped ? config.frame_duration : 0);
        pictures_ = 0;
        discontinuity_ = false;
        return S_OK;
    });
}

HRESULT CMpegVideoEncoder::StopStreaming() {
    encoder_.reset();
    return S_OK;
}

HRESULT CMpegVideoEncoder::Receive(IMediaSample*) {
    const AM_SAMPLE2_PROPERTIES& props = *m_pInput->SampleProps();
    if (props.dwStreamId != AM_STREAM_MEDIA) return S_OK;  // no pictures in stream control data
    if (!encoder_) return VFW_E_WRONG_STATE;
    if (props.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) discontinuity_ = true;
    return CallNoThrow([&] { return Encode(props); });
}

HRESULT CMpegVideoEncoder::Encode(const AM_SAMPLE2_PROPERTIES& props) {
    const bool timed = (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
    if (timed) RETURN_IF_FAILED(RepeatUntil(props.tStart));
    mpeg::EncodedPicture picture;
    if (props.lActual < 0 || !encoder_->Encode(props.pbBuffer, static_cast<size_t>(props.lActual), &picture)) {
        return E_INVALIDARG;  // shorter than the connected format's frame
    }
    const REFERENCE_TIME stop =
        (props.dwSampleFlags & AM_SAMPLE_STOPVALID) ? props.tStop : props.tStart + FrameDuration();
    RETURN_IF_FAILED(DeliverPicture(picture, timed ? &props.tStart : nullptr, timed ? &stop : nullptr));
    if (timed) pacer_.Coded(props.tStart);
    return S_OK;
}

HRESULT CMpegVideoEncoder::RepeatUntil(REFERENCE_TIME start) {
    const int missing = pacer_.MissingBefore(start);
    const REFERENCE_TIME duration = pacer_.frame_duration();
    for (int i = 0; i < missing; ++i) {
        mpeg::EncodedPicture picture;
        if (!encoder_->EncodeRepeat(&picture)) return S_OK;  // nothing to repeat yet
        const REFERENCE_TIME at = pacer_.last_time() + duration;
        const REFERENCE_TIME until = at + duration;
        RETURN_IF_FAILED(DeliverPicture(picture, &at, &until));
        pacer_.Coded(at);
    }
    return S_OK;
}

HRESULT CMpegVideoEncoder::DeliverPicture(const mpeg::EncodedPicture& picture, const REFERENCE_TIME* start,
                                          const REFERENCE_TIME* stop) {
    ++pictures_;
    const bool intra = picture.type == mpeg::PictureType::kIntra;
    size_t sent = 0;
    do {
        const size_t part = std::min(picture.size - sent, static_cast<size_t>(kOutputBufferBytes));
        const bool first = sent == 0;
        RETURN_IF_FAILED(DeliverBytes(picture.data + sent, part, first ? start : nullptr, first ? stop : nullptr,
                                      first && intra));
        sent += part;
    } while (sent < picture.size);
    return S_OK;
}

HRESULT CMpegVideoEncoder::DeliverBytes(const uint8_t* data, size_t size, const REFERENCE_TIME* start,
                                        const REFERENCE_TIME* stop, bool syncPoint) {
    ComPtr<IMediaSample> out;
    RETURN_IF_FAILED(m_pOutput->GetDeliveryBuffer(out.Put(), nullptr, nullptr, 0));
    BYTE* buffer = nullptr;
    RETURN_IF_FAILED(out->GetPointer(&buffer));
    // The allocator may have granted less than we asked: send what fits, then the rest.
    const size_t room = static_cast<size_t>(std::max(out->GetSize(), 0L));
    const size_t now = std::min(size, room);
    if (now == 0) return E_OUTOFMEMORY;
    std::memcpy(buffer, data, now);
    RETURN_IF_FAILED(out->SetActualDataLength(static_cast<long>(now)));
    RETURN_IF_FAILED(out->SetTime(const_cast<REFERENCE_TIME*>(start), const_cast<REFERENCE_TIME*>(stop)));
    out->SetSyncPoint(syncPoint ? TRUE : FALSE);
    out->SetDiscontinuity(discontinuity_ ? TRUE : FALSE);
    discontinuity_ = false;
    const HRESULT hr = m_pOutput->Deliver(out.Get());
    if (hr != S_OK) return hr;
    return now < size ? DeliverBytes(data + now, size - now, nullptr, nullptr, false) : S_OK;
}

HRESULT CMpegVideoEncoder::EndOfStream() {
    if (encoder_ && pictures_ > 0 && m_pOutput->IsConnected()) {
        const HRESULT hr = CallNoThrow([&] {
            const std::vector<uint8_t> end = encoder_->Finish();
            return DeliverBytes(end.data(), end.size(), nullptr, nullptr, false);
        });
        pictures_ = 0;
        if (FAILED(hr)) return hr;
    }
    return CTransformFilter::EndOfStream();
}

}  // namespace mpeg_filters
