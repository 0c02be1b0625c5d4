// Sequence, group-of-pictures and picture headers (ISO/IEC 11172-2, 2.4.2).
#pragma once

#include <cstdint>

#include "media/mpeg1/common/bit_writer.h"

namespace mpeg::video {

enum class PictureCodingType { kIntra = 1, kPredicted = 2 };

struct SequenceParameters {
    int width = 0;              // horizontal_size: the picture, not the coded area
    int height = 0;
    int picture_rate_code = 5;  // 1..8
    int bit_rate = 0;           // bits/s, rounded up to 400 bit/s units
    int vbv_buffer_bits = 0;    // rounded up to 16 kbit units
};

void WriteSequenceHeader(BitWriter& bits, const SequenceParameters& seq);
// `picture_count` pictures precede the group; time_code counts at the
// nominal (integer) rate of `picture_rate_code`.
void WriteGroupHeader(BitWriter& bits, uint32_t picture_count, int picture_rate_code);
void WritePictureHeader(BitWriter& bits, int temporal_reference, PictureCodingType type, int forward_f_code);
void WriteSliceHeader(BitWriter& bits, int mb_row, int qscale);
void WriteSequenceEnd(BitWriter& bits);

// The picture_rate code nearest to a frame duration in 100 ns units.
int NearestPictureRateCode(int64_t frame_duration);

}  // namespace mpeg::video
