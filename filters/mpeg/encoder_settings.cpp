#include "filters/mpeg/encoder_settings.h"

#include <algorithm>

namespace mpeg_filters {
namespace {

constexpr uint8_t kMagic[4] = {'T', 'M', 'V', 'E'};
constexpr uint32_t kLayoutVersion = 1;
constexpr size_t kSizeOffset = 4;
constexpr size_t kVersionOffset = 8;
constexpr size_t kGopOffset = 12;
constexpr size_t kStructureOffset = 16;
// The only structure the encoder codes: closed groups of I and P pictures.
constexpr uint32_t kStructure[3] = {1, 1, 0};

void Put32(SettingsBlock* block, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*block)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const SettingsBlock& block, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | block[at + i];
    return v;
}

}  // namespace

void StoreSettings(const EncoderSettings& settings, SettingsBlock* block) {
    std::copy(std::begin(kMagic), std::end(kMagic), block->begin());
    Put32(block, kSizeOffset, kSettingsBlockSize);
    Put32(block, kVersionOffset, kLayoutVersion);
    Put32(block, kGopOffset, static_cast<uint32_t>(settings.gop_length));
    for (int i = 0; i < 3; ++i) Put32(block, kStructureOffset + 4 * i, kStructure[i]);
    const int quality = std::clamp(settings.quality, kMinQuality, kMaxQuality);
    uint8_t& flags = (*block)[kQualityByteOffset];
    flags = static_cast<uint8_t>(flags & ~(kQualityMask | kFillDroppedBit));
    flags = static_cast<uint8_t>(flags | (quality << kQualityShift) | (settings.fill_dropped ? kFillDroppedBit : 0));
}

BlockProblem LoadSettings(const SettingsBlock& block, EncoderSettings* settings) {
    if (!std::equal(std::begin(kMagic), std::end(kMagic), block.begin()) ||
        Get32(block, kSizeOffset) != kSettingsBlockSize || Get32(block, kVersionOffset) != kLayoutVersion) {
        return BlockProblem::kNotOurs;
    }
    const uint32_t gop = Get32(block, kGopOffset);
    if (gop < static_cast<uint32_t>(kMinGopLength) || gop > static_cast<uint32_t>(kMaxGopLength)) {
        return BlockProblem::kBadGopLength;
    }
    for (int i = 0; i < 3; ++i) {
        if (Get32(block, kStructureOffset + 4 * i) != kStructure[i]) return BlockProblem::kBadGroupStructure;
    }
    const uint8_t flags = block[kQualityByteOffset];
    settings->quality = std::min((flags & kQualityMask) >> kQualityShift, kMaxQuality);
    settings->gop_length = static_cast<int>(gop);
    settings->fill_dropped = (flags & kFillDroppedBit) != 0;
    return BlockProblem::kNone;
}

}  // namespace mpeg_filters
