// Fixed tables of MPEG-1 Audio Layer II (ISO/IEC 11172-3): the filterbank
// window, scale factors, bit allocation tables B.2a-d and the quantiser
// classes they refer to.
#pragma once

#include <cstdint>

namespace mpeg::audio {

inline constexpr int kSubbands = 32;
inline constexpr int kWindowLength = 512;
inline constexpr int kFrameSamples = 1152;  // per channel
inline constexpr int kScaleFactorCount = 63;

// Analysis window C[i] (Table C.1), 0..511.
double AnalysisWindow(int i);

// 2^(1 - index/3), index 0..62 (Table B.1).
extern const double kScaleFactors[kScaleFactorCount];

struct QuantClass {
    int steps;          // quantisation levels
    int bits;           // per sample, or per group of three when grouped
    bool grouped;       // three samples share one codeword
    double snr_db;      // of a full-scale signal, for bit allocation
};
// Classes in rising precision: 3, 5, 7, 9, 15, 31, ... 65535 levels.
inline constexpr int kQuantClassCount = 17;
extern const QuantClass kQuantClasses[kQuantClassCount];

struct SubbandAllocation {
    int nbal;               // bits of the allocation field
    int8_t classes[16];     // allocation index -> quant class; index 0 = nothing
};

struct AllocationTable {
    int sblimit;
    const SubbandAllocation* subbands[kSubbands];
};

// Table B.2a..d as the standard chooses them for a sample rate and a bit
// rate per channel (kbit/s).
const AllocationTable& SelectAllocationTable(int sample_rate, int kbps_per_channel);

// Layer II bit rates in kbit/s by bitrate_index (0 = free format, unused).
inline constexpr int kBitRates[15] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};

}  // namespace mpeg::audio
