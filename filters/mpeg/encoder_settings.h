// The video encoder's settings and the 864-byte block hosts read and give
// back through IEncoderSettings. Plain C++ so the layout is host-tested.
//
// Block layout (little-endian 32-bit fields; every other byte is the host's
// to keep and comes back unchanged):
//   0  magic "TMVE"            4  block size (864)     8  layout version (1)
//   12 pictures per group      16..27 group structure (closed groups, anchor
//                                     distance, B pictures): always 1, 1, 0
//   812 flags: bit 0 fill dropped pictures, bits 1..4 quality (0 low .. 2 high;
//       larger values mean high), bits 5..7 unused
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace mpeg_filters {

inline constexpr size_t kSettingsBlockSize = 864;
inline constexpr size_t kQualityByteOffset = 812;
inline constexpr uint8_t kQualityMask = 0x1E;
inline constexpr int kQualityShift = 1;
inline constexpr uint8_t kFillDroppedBit = 0x01;

inline constexpr int kMinQuality = 0;
inline constexpr int kMaxQuality = 2;
inline constexpr int kMinGopLength = 1;
inline constexpr int kMaxGopLength = 1023;

using SettingsBlock = std::array<uint8_t, kSettingsBlockSize>;
static_assert(sizeof(SettingsBlock) == 864, "hosts of either width exchange exactly 864 bytes");

struct EncoderSettings {
    int quality = 1;
    int gop_length = 15;
    // Repeat the previous picture where capture times show missing frames,
    // so the file keeps its picture rate.
    bool fill_dropped = true;
};

// Writes the settings into the block, leaving the bytes it does not own as
// they are.
void StoreSettings(const EncoderSettings& settings, SettingsBlock* block);

enum class BlockProblem { kNone, kNotOurs, kBadGopLength, kBadGroupStructure };

// Reads a block StoreSettings wrote (perhaps edited since). On a problem
// *settings is left untouched.
BlockProblem LoadSettings(const SettingsBlock& block, EncoderSettings* settings);

}  // namespace mpeg_filters
