// Media types between the MPEG recording filters: 16-bit PCM into the audio
// encoder, the two elementary streams into the multiplexer, the system
// stream out of it.
//
//  video  MEDIATYPE_Video / MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo
//         (MPEG1VIDEOINFO with the 12-byte sequence header); one picture per
//         sample, or a picture's continuation in samples without a time
//  audio  MEDIATYPE_Audio / MEDIASUBTYPE_MPEG1AudioPayload, FORMAT_WaveFormatEx
//         (MPEG1WAVEFORMAT, Layer II); one frame per sample
//  system MEDIATYPE_Stream / MEDIASUBTYPE_MPEG1System; sample times are byte
//         positions in the file, as file writers take them
#pragma once

#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <vector>

#include "dshow_base/media_type.h"

namespace mpeg_filters {

struct PcmFormat {
    int sample_rate = 0;
    int channels = 0;
    int block_align = 0;  // bytes per sample frame
};

// VFW_E_TYPE_NOT_ACCEPTED unless 16-bit PCM, mono or stereo, 32, 44.1 or 48 kHz.
HRESULT ParsePcmType(const AM_MEDIA_TYPE& mt, PcmFormat* out);

struct MpegVideoFormat {
    int width = 0;
    int height = 0;
    REFERENCE_TIME frame_duration = 0;
    int bit_rate = 0;     // bits/s
    int buffer_bits = 0;  // vbv_buffer_size in bits; 0 when the type carries no sequence header
};

// `sequence_header`: the stream's sequence header (start code included).
HRESULT BuildMpegVideoType(const MpegVideoFormat& format, const std::vector<uint8_t>& sequence_header,
                           CMediaType* out);
// VFW_E_TYPE_NOT_ACCEPTED for anything but the video type above.
HRESULT ParseMpegVideoType(const AM_MEDIA_TYPE& mt, MpegVideoFormat* out);

struct MpegAudioFormat {
    int sample_rate = 0;
    int channels = 0;
    int bit_rate = 0;  // bits/s
    int layer = 2;     // 1 or 2; what the type says (BuildMpegAudioType always writes Layer II)
};

HRESULT BuildMpegAudioType(const MpegAudioFormat& format, CMediaType* out);
// VFW_E_TYPE_NOT_ACCEPTED for anything but MPEG-1 Layer I or II audio.
HRESULT ParseMpegAudioType(const AM_MEDIA_TYPE& mt, MpegAudioFormat* out);

void BuildSystemStreamType(CMediaType* out);

}  // namespace mpeg_filters
