#include "filters/mpeg/audio_encoder_filter.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "filters/mpeg/mpeg_filters_api.h"
#include "filters/mpeg/no_throw.h"

namespace mpeg_filters {
namespace {

// The largest Layer II frame: 1152 samples at 384 kbit/s and 32 kHz, plus padding.
constexpr long kOutputBufferBytes = 2048;
// Room for the frames of a few capture buffers while the multiplexer waits on the disk.
constexpr long kOutputBuffers = 16;

mpeg::AudioEncoderConfig EncoderConfig(const PcmFormat& pcm) {
    mpeg::AudioEncoderConfig config;
    config.sample_rate = pcm.sample_rate;
    config.channels = pcm.channels;
    config.bit_rate = 0;  // the encoder's default for the channel count
    return config;
}

}  // namespace

CMpegAudioEncoder::CMpegAudioEncoder(LPUNKNOWN outer)
    : CTransformFilter(L"MPEG Audio Encoder", outer, CLSID_MpegAudioEncoder) {}

CMpegAudioEncoder::~CMpegAudioEncoder() = default;

CUnknown* WINAPI CMpegAudioEncoder::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) CMpegAudioEncoder(outer);
    if (!filter && phr) *phr = E_OUTOFMEMORY;
    return filter;
}

HRESULT CMpegAudioEncoder::CheckInputType(const CMediaType* in) {
    if (!in) return E_POINTER;
    PcmFormat pcm;
    RETURN_IF_FAILED(ParsePcmType(*in, &pcm));
    // The encoder's frame layout is fixed once streaming: no change of format then.
    if (!IsStopped() && (pcm.sample_rate != input_.sample_rate || pcm.channels != input_.channels)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

HRESULT CMpegAudioEncoder::SetMediaType(PIN_DIRECTION dir, const CMediaType* mt) {
    if (dir != PINDIR_INPUT) return S_OK;
    return ParsePcmType(*mt, &input_);
}

HRESULT CMpegAudioEncoder::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (!m_pInput || !m_pInput->IsConnected()) return E_UNEXPECTED;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return CallNoThrow([&] {
        const auto probe = mpeg::AudioEncoder::Create(EncoderConfig(input_));
        if (!probe) return E_UNEXPECTED;
        MpegAudioFormat format;
        format.sample_rate = probe->sample_rate();
        format.channels = probe->channels();
        format.bit_rate = probe->bit_rate();
        return BuildMpegAudioType(format, mt);
    });
}

HRESULT CMpegAudioEncoder::CheckTransform(const CMediaType* in, const CMediaType* out) {
    if (!in || !out) return E_POINTER;
    PcmFormat pcm;
    MpegAudioFormat mpeg;
    RETURN_IF_FAILED(ParsePcmType(*in, &pcm));
    RETURN_IF_FAILED(ParseMpegAudioType(*out, &mpeg));
    const bool same = mpeg.sample_rate == pcm.sample_rate && mpeg.channels == pcm.channels && mpeg.layer == 2;
    return same ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CMpegAudioEncoder::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    props->cbBuffer = std::max(props->cbBuffer, kOutputBufferBytes);
    props->cBuffers = std::max(props->cBuffers, kOutputBuffers);
    props->cbAlign = std::max(props->cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual{};
    RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
    return actual.cbBuffer >= kOutputBufferBytes && actual.cBuffers >= 1 ? S_OK : E_FAIL;
}

HRESULT CMpegAudioEncoder::StartStreaming() {
    return CallNoThrow([&] {
        encoder_ = mpeg::AudioEncoder::Create(EncoderConfig(input_));
        if (!encoder_) return E_UNEXPECTED;  // the type was checked at connection
        clock_ = SampleClock(input_.sample_rate);
        bytesIn_ = 0;
        deliveryResult_ = S_OK;
        discontinuity_ = false;
        return S_OK;
    });
}

HRESULT CMpegAudioEncoder::StopStreaming() {
    encoder_.reset();
    return S_OK;
}

HRESULT CMpegAudioEncoder::Receive(IMediaSample*) {
    const AM_SAMPLE2_PROPERTIES& props = *m_pInput->SampleProps();
    if (props.dwStreamId != AM_STREAM_MEDIA) return S_OK;
    if (!encoder_) return VFW_E_WRONG_STATE;
    if (FAILED(deliveryResult_)) return deliveryResult_;
    if (props.lActual <= 0) return S_OK;
    if (props.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) discontinuity_ = true;
    // A buffer that starts inside a sample frame is timed from the next whole one.
    const uint64_t align = static_cast<uint64_t>(input_.block_align);
    const uint64_t firstWhole = (bytesIn_ + align - 1) / align;
    if (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) {
        const int64_t skipped = static_cast<int64_t>(firstWhole * align - bytesIn_);
        clock_.Anchor(firstWhole, props.tStart + skipped * 10000000 / (align * input_.sample_rate));
    }
    bytesIn_ += static_cast<uint64_t>(props.lActual);
    return CallNoThrow([&] {
        encoder_->EncodeBytes(props.pbBuffer, static_cast<size_t>(props.lActual),
                              [this](const mpeg::EncodedAudioFrame& f) { DeliverFrame(f); });
        return deliveryResult_;
    });
}

void CMpegAudioEncoder::DeliverFrame(const mpeg::EncodedAudioFrame& frame) {
    if (FAILED(deliveryResult_)) return;
    ComPtr<IMediaSample> out;
    HRESULT hr = m_pOutput->GetDeliveryBuffer(out.Put(), nullptr, nullptr, 0);
    BYTE* buffer = nullptr;
    if (SUCCEEDED(hr)) hr = out->GetPointer(&buffer);
    if (SUCCEEDED(hr) && out->GetSize() < static_cast<long>(frame.size)) hr = E_OUTOFMEMORY;
    if (FAILED(hr)) {
        deliveryResult_ = hr;
        return;
    }
    std::memcpy(buffer, frame.data, frame.size);
    out->SetActualDataLength(static_cast<long>(frame.size));
    REFERENCE_TIME start = 0, stop = 0;
    if (clock_.TimeOf(frame.first_sample, &start)) {
        stop = start + static_cast<REFERENCE_TIME>(mpeg::AudioEncoder::kSamplesPerFrame) * 10000000 / input_.sample_rate;
        out->SetTime(&start, &stop);
    }
    out->SetSyncPoint(TRUE);
    out->SetDiscontinuity(discontinuity_ ? TRUE : FALSE);
    discontinuity_ = false;
    hr = m_pOutput->Deliver(out.Get());
    if (FAILED(hr)) deliveryResult_ = hr;
}

HRESULT CMpegAudioEncoder::EndOfStream() {
    if (encoder_ && m_pOutput->IsConnected() && SUCCEEDED(deliveryResult_)) {
        const HRESULT hr = CallNoThrow([&] {
            encoder_->Flush([this](const mpeg::EncodedAudioFrame& f) { DeliverFrame(f); });
            return deliveryResult_;
        });
        clock_.Reset();
        bytesIn_ = 0;
        if (FAILED(hr)) return hr;
    }
    return CTransformFilter::EndOfStream();
}

}  // namespace mpeg_filters
