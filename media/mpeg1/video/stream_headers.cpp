#include "media/mpeg1/video/stream_headers.h"

#include <cmath>

#include "media/mpeg1/video/video_tables.h"

namespace mpeg::video {

namespace {

constexpr uint8_t kPictureStartCode = 0x00;
constexpr uint8_t kSequenceHeaderCode = 0xB3;
constexpr uint8_t kSequenceEndCode = 0xB7;
constexpr uint8_t kGroupStartCode = 0xB8;
constexpr int kSquarePixels = 1;
constexpr uint32_t kMaxBitRateField = 0x3FFFE;  // 0x3FFFF would mean variable rate
constexpr uint32_t kMaxVbvField = 1023;

uint32_t CeilDiv(uint32_t a, uint32_t b) { return (a + b - 1) / b; }

}  // namespace

void WriteSequenceHeader(BitWriter& bits, const SequenceParameters& seq) {
    bits.PutStartCode(kSequenceHeaderCode);
    bits.Put(static_cast<uint32_t>(seq.width), 12);
    bits.Put(static_cast<uint32_t>(seq.height), 12);
    bits.Put(kSquarePixels, 4);
    bits.Put(static_cast<uint32_t>(seq.picture_rate_code), 4);
    uint32_t rate = CeilDiv(static_cast<uint32_t>(seq.bit_rate), 400);
    if (rate > kMaxBitRateField) rate = kMaxBitRateField;
    if (rate == 0) rate = 1;
    bits.Put(rate, 18);
    bits.PutBit(true);  // marker
    uint32_t vbv = CeilDiv(static_cast<uint32_t>(seq.vbv_buffer_bits), 16384);
    if (vbv > kMaxVbvField) vbv = kMaxVbvField;
    if (vbv == 0) vbv = 1;
    bits.Put(vbv, 10);
    bits.PutBit(false);  // constrained_parameters_flag
    bits.PutBit(false);  // default intra matrix
    bits.PutBit(false);  // default non-intra matrix
}

void WriteGroupHeader(BitWriter& bits, uint32_t picture_count, int picture_rate_code) {
    const uint32_t rate = static_cast<uint32_t>(std::lround(kPictureRates[picture_rate_code]));
    const uint32_t seconds_total = picture_count / rate;
    bits.PutStartCode(kGroupStartCode);
    bits.PutBit(false);  // drop_frame_flag
    bits.Put((seconds_total / 3600) % 24, 5);
    bits.Put((seconds_total / 60) % 60, 6);
    bits.PutBit(true);  // marker
    bits.Put(seconds_total % 60, 6);
    bits.Put(picture_count % rate, 6);
    bits.PutBit(true);   // closed_gop: no picture refers outside the group
    bits.PutBit(false);  // broken_link
}

void WritePictureHeader(BitWriter& bits, int temporal_reference, PictureCodingType type, int forward_f_code) {
    bits.PutStartCode(kPictureStartCode);
    bits.Put(static_cast<uint32_t>(temporal_reference) & 0x3FF, 10);
    bits.Put(static_cast<uint32_t>(type), 3);
    bits.Put(0xFFFF, 16);  // vbv_delay: not given
    if (type == PictureCodingType::kPredicted) {
        bits.PutBit(false);  // half-pixel vectors
        bits.Put(static_cast<uint32_t>(forward_f_code), 3);
    }
    bits.PutBit(false);  // extra_bit_picture
}

void WriteSliceHeader(BitWriter& bits, int mb_row, int qscale) {
    bits.PutStartCode(static_cast<uint8_t>(mb_row + 1));
    bits.Put(static_cast<uint32_t>(qscale), 5);
    bits.PutBit(false);  // extra_bit_slice
}

void WriteSequenceEnd(BitWriter& bits) { bits.PutStartCode(kSequenceEndCode); }

int NearestPictureRateCode(int64_t frame_duration) {
    if (frame_duration <= 0) return 5;
    const double fps = 1e7 / static_cast<double>(frame_duration);
    int best = 1;
    for (int code = 2; code <= 8; ++code) {
        if (std::fabs(kPictureRates[code] - fps) < std::fabs(kPictureRates[best] - fps)) best = code;
    }
    return best;
}

}  // namespace mpeg::video
