// Fixed tables of MPEG-1 video (ISO/IEC 11172-2 Annex B and clause 2.4):
// variable-length codes, scan order, default quantiser matrices and picture
// rates. Codes are kept as the bit strings the standard prints and turned into
// lookup arrays once, so each entry can be compared with the printed table.
#pragma once

#include <cstdint>

namespace mpeg::video {

struct Vlc {
    uint32_t code = 0;
    uint8_t length = 0;  // 0 = no code for this value
};

// dct_coeff tables cover runs 0..31 and levels 1..40; others need an escape.
inline constexpr int kMaxVlcRun = 31;
inline constexpr int kMaxVlcLevel = 40;

struct VlcTables {
    Vlc address_increment[34];   // 1..33
    Vlc macroblock_escape;       // adds 33 to the increment
    Vlc motion_code[33];         // index motion_code + 16; sign bit included
    Vlc coded_block_pattern[64]; // 1..63
    Vlc dc_size_luma[12];        // 0..11 (MPEG-1 uses up to 8)
    Vlc dc_size_chroma[12];
    // dct_coeff_next without the sign bit, [run][level]; dct_coeff_first
    // differs only for run 0 level 1 ("1s" instead of "11s").
    Vlc dct[kMaxVlcRun + 1][kMaxVlcLevel + 1];
    Vlc end_of_block;
    Vlc escape;
};

const VlcTables& Tables();

// Zigzag scan: kZigzag[i] is the raster index of the i-th coefficient.
extern const uint8_t kZigzag[64];
// Raster order.
extern const uint8_t kDefaultIntraMatrix[64];
inline constexpr uint8_t kNonIntraMatrixValue = 16;

// picture_rate codes 1..8 in frames per second.
inline constexpr double kPictureRates[9] = {0, 24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60};

}  // namespace mpeg::video
