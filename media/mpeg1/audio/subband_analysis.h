// The polyphase analysis filterbank of ISO/IEC 11172-3 (Annex C.1.3): every
// 32 input samples give one sample in each of 32 subbands.
#pragma once

#include "media/mpeg1/audio/audio_tables.h"

namespace mpeg::audio {

class SubbandAnalysis {
public:
    SubbandAnalysis();
    // `input`: 32 new samples in time order, scaled to [-1, 1).
    void Process(const float input[kSubbands], float subbands[kSubbands]);

private:
    float history_[kWindowLength] = {};  // newest sample first, as X[] of the standard
};

}  // namespace mpeg::audio
