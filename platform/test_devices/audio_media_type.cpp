#include "test_devices/audio_media_type.h"

#include <mmreg.h>
#include <dshow.h>

namespace test_devices {

HRESULT MakeAudioType(const AudioMode& mode, CMediaType* type) {
    type->InitMediaType();
    auto* wfx = reinterpret_cast<WAVEFORMATEX*>(type->AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    if (!wfx) return E_OUTOFMEMORY;
    wfx->wFormatTag = WAVE_FORMAT_PCM;
    wfx->nChannels = WORD(mode.channels);
    wfx->nSamplesPerSec = kSampleRate;
    wfx->nAvgBytesPerSec = DWORD(BytesPerSecond(mode));
    wfx->nBlockAlign = WORD(BlockAlign(mode));
    wfx->wBitsPerSample = kBitsPerSample;
    wfx->cbSize = 0;
    type->SetType(&MEDIATYPE_Audio);
    type->SetSubtype(&MEDIASUBTYPE_PCM);
    type->SetFormatType(&FORMAT_WaveFormatEx);
    type->SetTemporalCompression(FALSE);
    type->SetSampleSize(ULONG(BlockAlign(mode)));
    return S_OK;
}

bool FindAudioMode(const AM_MEDIA_TYPE& type, AudioMode* mode) {
    // A PCMWAVEFORMAT (no cbSize) is a valid PCM format block too.
    if (!IsEqualGUID(type.majortype, MEDIATYPE_Audio) ||
        !IsEqualGUID(type.subtype, MEDIASUBTYPE_PCM) ||
        !IsEqualGUID(type.formattype, FORMAT_WaveFormatEx) || !type.pbFormat ||
        type.cbFormat < sizeof(PCMWAVEFORMAT)) {
        return false;
    }
    const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
    for (int channels : kChannelChoices) {
        const AudioMode m{channels};
        if (wfx->wFormatTag == WAVE_FORMAT_PCM && wfx->nChannels == channels &&
            wfx->nSamplesPerSec == kSampleRate && wfx->wBitsPerSample == kBitsPerSample &&
            wfx->nBlockAlign == BlockAlign(m) && wfx->nAvgBytesPerSec == DWORD(BytesPerSecond(m))) {
            *mode = m;
            return true;
        }
    }
    return false;
}

AUDIO_STREAM_CONFIG_CAPS AudioCaps(const AudioMode& mode) {
    AUDIO_STREAM_CONFIG_CAPS caps;
    ZeroMemory(&caps, sizeof(caps));
    caps.guid = MEDIATYPE_Audio;
    caps.MinimumChannels = ULONG(mode.channels);
    caps.MaximumChannels = ULONG(mode.channels);
    caps.ChannelsGranularity = 1;
    caps.MinimumBitsPerSample = kBitsPerSample;
    caps.MaximumBitsPerSample = kBitsPerSample;
    caps.BitsPerSampleGranularity = 1;
    caps.MinimumSampleFrequency = kSampleRate;
    caps.MaximumSampleFrequency = kSampleRate;
    caps.SampleFrequencyGranularity = 1;
    return caps;
}

}  // namespace test_devices
