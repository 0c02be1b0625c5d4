// Little-endian RIFF building blocks: four-character codes and a byte
// buffer that values are appended to and patched in later.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace avi {

using FourCC = uint32_t;

constexpr FourCC MakeFourCC(char a, char b, char c, char d) {
    return static_cast<FourCC>(static_cast<uint8_t>(a)) | static_cast<FourCC>(static_cast<uint8_t>(b)) << 8 |
           static_cast<FourCC>(static_cast<uint8_t>(c)) << 16 | static_cast<FourCC>(static_cast<uint8_t>(d)) << 24;
}

// "abcd" for diagnostics and tests.
std::string FourCCText(FourCC code);

class ByteBuffer {
public:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void Code(FourCC code) { U32(code); }
    void Bytes(const uint8_t* data, size_t size) { bytes_.insert(bytes_.end(), data, data + size); }
    void Bytes(const std::vector<uint8_t>& data) { Bytes(data.data(), data.size()); }
    // RIFF chunks start on even offsets.
    void PadToEven() {
        if (bytes_.size() % 2) U8(0);
    }
    // Writes a placeholder and returns where it sits, for Patch32.
    size_t Reserve32() {
        U32(0);
        return bytes_.size() - 4;
    }
    void Patch32(size_t at, uint32_t v);

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Data() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace avi
