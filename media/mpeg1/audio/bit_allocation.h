// How a Layer II frame's bits are shared between subbands.
//
// A small psychoacoustic model gives each subband a signal-to-mask ratio from
// its scale factors: the level of the band against the larger of the
// threshold of hearing and the masking that strong neighbouring bands
// spread over it. Bits then go, one quantiser step at a time, to the band
// whose noise is least masked, until the frame is full.
#pragma once

#include "media/mpeg1/audio/audio_tables.h"

namespace mpeg::audio {

// `scf_index`: the three scale factor indices of each subband of one channel.
void SignalToMaskRatios(const int scf_index[kSubbands][3], int sblimit, int sample_rate, float smr_db[kSubbands]);

struct AllocationRequest {
    const AllocationTable* table;
    int channels;
    float smr_db[2][kSubbands];
    int side_bits[2][kSubbands];  // scfsi and scale factors, paid once a band gets bits
    int available_bits;           // after header and allocation fields
};

// Fills allocation indices (0 = band not sent) for sb < sblimit.
void AllocateBits(const AllocationRequest& request, int allocation[2][kSubbands]);

// Sample bits a band costs in one frame at allocation index `index`.
int SampleBits(const SubbandAllocation& band, int index);

}  // namespace mpeg::audio
