// What the AVI writer needs to know of one stream before the first chunk:
// its kind and the format block that becomes its 'strf' chunk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system_filters/riff_bytes.h"

namespace avi {

enum class StreamKind { kVideo, kAudio };

struct StreamInfo {
    StreamKind kind = StreamKind::kVideo;
    // Video: a BITMAPINFOHEADER with whatever follows it (masks, palette).
    // Audio: a WAVEFORMATEX (or the 16-byte PCMWAVEFORMAT) with its extra bytes.
    std::vector<uint8_t> format;
    // Video: nominal 100-ns time per frame; 0 when the source gave none.
    int64_t frameDuration = 0;
    // Written as 'strn' when not empty.
    std::string name;
};

// The BITMAPINFOHEADER fields the headers repeat.
struct VideoFields {
    int32_t width = 0;
    int32_t height = 0;  // negative: top-down
    uint16_t bitCount = 0;
    uint32_t compression = 0;  // BI_RGB (0), BI_BITFIELDS (3) or a FourCC
    uint32_t sizeImage = 0;
};

// The WAVEFORMATEX fields the headers repeat.
struct AudioFields {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

constexpr size_t kBitmapInfoHeaderSize = 40;
constexpr size_t kPcmWaveFormatSize = 16;

// False when the block is too short or describes nothing writable.
bool ReadVideoFields(const std::vector<uint8_t>& format, VideoFields* fields);
bool ReadAudioFields(const std::vector<uint8_t>& format, AudioFields* fields);
bool IsValidSpec(const StreamInfo& info);

// '00dc', '01wb', ...: the stream's number and what its chunks hold.
FourCC ChunkId(size_t streamIndex, StreamKind kind);

}  // namespace avi
