// Media types and stream capabilities of the test microphone's formats.
#pragma once

#include <windows.h>
#include <strmif.h>

#include "dshow_base/media_type.h"
#include "test_devices/audio_modes.h"

namespace test_devices {

HRESULT MakeAudioType(const AudioMode& mode, CMediaType* type);

// The mode a PCM type describes; false when it is not one the microphone
// offers (or its WAVEFORMATEX is inconsistent).
bool FindAudioMode(const AM_MEDIA_TYPE& type, AudioMode* mode);

AUDIO_STREAM_CONFIG_CAPS AudioCaps(const AudioMode& mode);

}  // namespace test_devices
