// Stream formats and byte sinks for the AVI writer's host tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "system_filters/avi_writer_core.h"

namespace avi_test {

inline void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
    v[at] = static_cast<uint8_t>(x);
    v[at + 1] = static_cast<uint8_t>(x >> 8);
}
inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    Put16(v, at, static_cast<uint16_t>(x));
    Put16(v, at + 2, static_cast<uint16_t>(x >> 16));
}

// A BITMAPINFOHEADER.
inline std::vector<uint8_t> BitmapInfo(int32_t width, int32_t height, uint16_t bits, uint32_t compression) {
    std::vector<uint8_t> v(40, 0);
    Put32(v, 0, 40);
    Put32(v, 4, static_cast<uint32_t>(width));
    Put32(v, 8, static_cast<uint32_t>(height));
    Put16(v, 12, 1);
    Put16(v, 14, bits);
    Put32(v, 16, compression);
    Put32(v, 20, static_cast<uint32_t>(width * (height < 0 ? -height : height) * bits / 8));
    return v;
}

// A PCM WAVEFORMATEX (18 bytes, cbSize 0).
inline std::vector<uint8_t> PcmFormat(uint32_t rate, uint16_t channels, uint16_t bits) {
    std::vector<uint8_t> v(18, 0);
    const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
    Put16(v, 0, 1);
    Put16(v, 2, channels);
    Put32(v, 4, rate);
    Put32(v, 8, rate * block);
    Put16(v, 12, block);
    Put16(v, 14, bits);
    return v;
}

inline avi::StreamInfo VideoSpec(int32_t width, int32_t height, int64_t frameDuration,
                                 uint32_t compression = 0, uint16_t bits = 24) {
    avi::StreamInfo s;
    s.kind = avi::StreamKind::kVideo;
    s.format = BitmapInfo(width, height, bits, compression);
    s.frameDuration = frameDuration;
    return s;
}

inline avi::StreamInfo AudioSpec(uint32_t rate, uint16_t channels, uint16_t bits) {
    avi::StreamInfo s;
    s.kind = avi::StreamKind::kAudio;
    s.format = PcmFormat(rate, channels, bits);
    return s;
}

// Keeps the file in memory; can be told to fail from some write on.
class MemorySink : public avi::ByteSink {
public:
    bool Write(uint64_t offset, const uint8_t* data, size_t size) override {
        ++writes;
        if (failFromWrite && writes >= failFromWrite) return false;
        if (file.size() < offset + size) file.resize(offset + size);
        std::memcpy(file.data() + offset, data, size);
        return true;
    }
    std::vector<uint8_t> file;
    int writes = 0;
    int failFromWrite = 0;  // 0: never
};

// Keeps only the first bytes and where the file ends, for files of gigabytes.
class CountingSink : public avi::ByteSink {
public:
    bool Write(uint64_t offset, const uint8_t* data, size_t size) override {
        end = std::max(end, offset + size);
        if (offset < head.size()) std::memcpy(head.data() + offset, data, std::min<uint64_t>(size, head.size() - offset));
        return true;
    }
    uint64_t end = 0;
    std::vector<uint8_t> head = std::vector<uint8_t>(4096, 0);
};

}  // namespace avi_test
