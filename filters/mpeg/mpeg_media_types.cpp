#include "filters/mpeg/mpeg_media_types.h"

#include <mmreg.h>

#include <cstring>

namespace mpeg_filters {
namespace {

constexpr uint8_t kSequenceHeaderCode[4] = {0x00, 0x00, 0x01, 0xB3};
constexpr size_t kSequenceHeaderBytes = 12;

bool IsSupportedRate(DWORD rate) { return rate == 32000 || rate == 44100 || rate == 48000; }

// A WAVEFORMATEX of at least `size` bytes, or null.
const WAVEFORMATEX* WaveFormat(const AM_MEDIA_TYPE& mt, size_t size) {
    if (mt.formattype != FORMAT_WaveFormatEx || !mt.pbFormat || mt.cbFormat < size) return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
}

// bit_rate and vbv_buffer_size of a sequence header (ISO/IEC 11172-2, 2.4.2.3).
void ReadSequenceHeader(const uint8_t* s, MpegVideoFormat* out) {
    const int rate_units = s[8] << 10 | s[9] << 2 | s[10] >> 6;
    const int vbv_units = (s[10] & 0x1F) << 5 | s[11] >> 3;
    if (rate_units != 0x3FFFF) out->bit_rate = rate_units * 400;
    out->buffer_bits = vbv_units * 16 * 1024;
}

}  // namespace

HRESULT ParsePcmType(const AM_MEDIA_TYPE& mt, PcmFormat* out) {
    if (mt.majortype != MEDIATYPE_Audio) return VFW_E_TYPE_NOT_ACCEPTED;
    const WAVEFORMATEX* wf = WaveFormat(mt, sizeof(WAVEFORMATEX) - sizeof(WORD));
    if (!wf) return VFW_E_TYPE_NOT_ACCEPTED;
    bool pcm = wf->wFormatTag == WAVE_FORMAT_PCM;
    if (wf->wFormatTag == WAVE_FORMAT_EXTENSIBLE && mt.cbFormat >= sizeof(WAVEFORMATEXTENSIBLE)) {
        const auto* ext = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(wf);
        pcm = ext->SubFormat == MEDIASUBTYPE_PCM && ext->Samples.wValidBitsPerSample == 16;
    }
    if (!pcm || wf->wBitsPerSample != 16 || wf->nChannels < 1 || wf->nChannels > 2 ||
        !IsSupportedRate(wf->nSamplesPerSec) || wf->nBlockAlign != wf->nChannels * 2) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    out->sample_rate = static_cast<int>(wf->nSamplesPerSec);
    out->channels = wf->nChannels;
    out->block_align = wf->nBlockAlign;
    return S_OK;
}

HRESULT BuildMpegVideoType(const MpegVideoFormat& format, const std::vector<uint8_t>& sequence_header,
                           CMediaType* out) {
    const ULONG length = static_cast<ULONG>(FIELD_OFFSET(MPEG1VIDEOINFO, bSequenceHeader) + sequence_header.size());
    out->InitMediaType();
    out->SetType(&MEDIATYPE_Video);
    out->SetSubtype(&MEDIASUBTYPE_MPEG1Payload);
    out->SetFormatType(&FORMAT_MPEGVideo);
    out->SetVariableSize();
    out->SetTemporalCompression(TRUE);
    auto* info = reinterpret_cast<MPEG1VIDEOINFO*>(out->AllocFormatBuffer(length));
    if (!info) return E_OUTOFMEMORY;
    std::memset(info, 0, length);
    VIDEOINFOHEADER& vih = info->hdr;
    vih.rcSource = {0, 0, format.width, format.height};
    vih.rcTarget = vih.rcSource;
    vih.dwBitRate = static_cast<DWORD>(format.bit_rate);
    vih.AvgTimePerFrame = format.frame_duration;
    vih.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih.bmiHeader.biWidth = format.width;
    vih.bmiHeader.biHeight = format.height;
    vih.bmiHeader.biPlanes = 1;
    info->cbSequenceHeader = static_cast<DWORD>(sequence_header.size());
    if (!sequence_header.empty()) std::memcpy(info->bSequenceHeader, sequence_header.data(), sequence_header.size());
    return S_OK;
}

HRESULT ParseMpegVideoType(const AM_MEDIA_TYPE& mt, MpegVideoFormat* out) {
    if (mt.majortype != MEDIATYPE_Video || mt.subtype != MEDIASUBTYPE_MPEG1Payload ||
        mt.formattype != FORMAT_MPEGVideo || !mt.pbFormat ||
        mt.cbFormat < FIELD_OFFSET(MPEG1VIDEOINFO, bSequenceHeader)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    const auto* info = reinterpret_cast<const MPEG1VIDEOINFO*>(mt.pbFormat);
    if (info->cbSequenceHeader > mt.cbFormat - FIELD_OFFSET(MPEG1VIDEOINFO, bSequenceHeader)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    MpegVideoFormat f;
    f.width = info->hdr.bmiHeader.biWidth;
    f.height = info->hdr.bmiHeader.biHeight < 0 ? -info->hdr.bmiHeader.biHeight : info->hdr.bmiHeader.biHeight;
    f.frame_duration = info->hdr.AvgTimePerFrame;
    f.bit_rate = static_cast<int>(info->hdr.dwBitRate);
    if (info->cbSequenceHeader >= kSequenceHeaderBytes &&
        std::memcmp(info->bSequenceHeader, kSequenceHeaderCode, sizeof kSequenceHeaderCode) == 0) {
        ReadSequenceHeader(info->bSequenceHeader, &f);
    }
    *out = f;
    return S_OK;
}

HRESULT BuildMpegAudioType(const MpegAudioFormat& format, CMediaType* out) {
    out->InitMediaType();
    out->SetType(&MEDIATYPE_Audio);
    out->SetSubtype(&MEDIASUBTYPE_MPEG1AudioPayload);
    out->SetFormatType(&FORMAT_WaveFormatEx);
    out->SetVariableSize();
    auto* wf = reinterpret_cast<MPEG1WAVEFORMAT*>(out->AllocFormatBuffer(sizeof(MPEG1WAVEFORMAT)));
    if (!wf) return E_OUTOFMEMORY;
    std::memset(wf, 0, sizeof *wf);
    wf->wfx.wFormatTag = WAVE_FORMAT_MPEG;
    wf->wfx.nChannels = static_cast<WORD>(format.channels);
    wf->wfx.nSamplesPerSec = static_cast<DWORD>(format.sample_rate);
    wf->wfx.nAvgBytesPerSec = static_cast<DWORD>(format.bit_rate / 8);
    wf->wfx.nBlockAlign = 1;  // frames at 44.1 kHz differ in length by the padding byte
    wf->wfx.cbSize = sizeof(MPEG1WAVEFORMAT) - sizeof(WAVEFORMATEX);
    wf->fwHeadLayer = ACM_MPEG_LAYER2;
    wf->dwHeadBitrate = static_cast<DWORD>(format.bit_rate);
    wf->fwHeadMode = format.channels == 1 ? ACM_MPEG_SINGLECHANNEL : ACM_MPEG_STEREO;
    wf->wHeadEmphasis = 1;  // none
    wf->fwHeadFlags = ACM_MPEG_ID_MPEG1;
    return S_OK;
}

HRESULT ParseMpegAudioType(const AM_MEDIA_TYPE& mt, MpegAudioFormat* out) {
    if (mt.majortype != MEDIATYPE_Audio ||
        (mt.subtype != MEDIASUBTYPE_MPEG1AudioPayload && mt.subtype != MEDIASUBTYPE_MPEG1Payload)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    const auto* wf = reinterpret_cast<const MPEG1WAVEFORMAT*>(WaveFormat(mt, sizeof(MPEG1WAVEFORMAT)));
    if (!wf || wf->wfx.wFormatTag != WAVE_FORMAT_MPEG || !(wf->fwHeadLayer & (ACM_MPEG_LAYER1 | ACM_MPEG_LAYER2)) ||
        wf->wfx.nChannels < 1 || wf->wfx.nChannels > 2) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    out->sample_rate = static_cast<int>(wf->wfx.nSamplesPerSec);
    out->channels = wf->wfx.nChannels;
    out->bit_rate = static_cast<int>(wf->dwHeadBitrate ? wf->dwHeadBitrate : wf->wfx.nAvgBytesPerSec * 8);
    out->layer = (wf->fwHeadLayer & ACM_MPEG_LAYER2) ? 2 : 1;
    return S_OK;
}

void BuildSystemStreamType(CMediaType* out) {
    out->InitMediaType();
    out->SetType(&MEDIATYPE_Stream);
    out->SetSubtype(&MEDIASUBTYPE_MPEG1System);
    out->SetVariableSize();
}

}  // namespace mpeg_filters
