#include "system_filters/avi_stream_info.h"

namespace avi {

bool ReadVideoFields(const std::vector<uint8_t>& format, VideoFields* fields) {
    if (format.size() < kBitmapInfoHeaderSize) return false;
    const uint8_t* p = format.data();
    fields->width = static_cast<int32_t>(ReadU32(p + 4));
    fields->height = static_cast<int32_t>(ReadU32(p + 8));
    fields->bitCount = ReadU16(p + 14);
    fields->compression = ReadU32(p + 16);
    fields->sizeImage = ReadU32(p + 20);
    return fields->width > 0 && fields->height != 0;
}

bool ReadAudioFields(const std::vector<uint8_t>& format, AudioFields* fields) {
    if (format.size() < kPcmWaveFormatSize) return false;
    const uint8_t* p = format.data();
    fields->formatTag = ReadU16(p);
    fields->channels = ReadU16(p + 2);
    fields->samplesPerSec = ReadU32(p + 4);
    fields->avgBytesPerSec = ReadU32(p + 8);
    fields->blockAlign = ReadU16(p + 12);
    fields->bitsPerSample = ReadU16(p + 14);
    // Both rates are divisors in the stream header.
    return fields->blockAlign != 0 && fields->avgBytesPerSec != 0;
}

bool IsValidSpec(const StreamInfo& info) {
    if (info.kind == StreamKind::kVideo) {
        VideoFields video;
        return ReadVideoFields(info.format, &video) && info.frameDuration >= 0;
    }
    AudioFields audio;
    return ReadAudioFields(info.format, &audio);
}

FourCC ChunkId(size_t streamIndex, StreamKind kind) {
    const char tens = static_cast<char>('0' + (streamIndex / 10) % 10);
    const char ones = static_cast<char>('0' + streamIndex % 10);
    return kind == StreamKind::kVideo ? MakeFourCC(tens, ones, 'd', 'c') : MakeFourCC(tens, ones, 'w', 'b');
}

}  // namespace avi
