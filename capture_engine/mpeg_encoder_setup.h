// The capture engine's set-up of the MPEG video encoder it adds to a
// recording: the recording quality through the encoder's settings block, the
// group structure, and the lost-frame parameter.
#pragma once

#include <windows.h>
#include <dshow.h>

namespace mpeg_encoder_setup {

// Reads the settings block, puts `quality` (0 low .. 2 high; the field holds
// 0..15, so larger values are clamped to it) into its quality bits and keeps
// the others, sets closed I/P groups, gives the block back, then sets the
// lost-frame parameter. The first failing call is the result.
HRESULT ConfigureEncoder(IBaseFilter* encoder, int quality);

}  // namespace mpeg_encoder_setup
