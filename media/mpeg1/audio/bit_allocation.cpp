#include "media/mpeg1/audio/bit_allocation.h"

#include <algorithm>
#include <cmath>

namespace mpeg::audio {

namespace {

// A full-scale sine gives subband samples of about 1.0; call that 96 dB so the
// threshold of hearing below lines up with 16-bit audio.
constexpr float kFullScaleDb = 96.0f;
// A band masks noise inside itself only this far below its own level (tones
// are poor maskers), and its masking falls off by these slopes per subband.
constexpr float kSelfMaskingDb = 24.0f;
constexpr float kUpwardSlopeDb = 15.0f;    // toward higher bands
constexpr float kDownwardSlopeDb = 25.0f;  // toward lower bands

// Threshold in quiet (Terhardt's approximation), dB SPL.
float ThresholdInQuiet(double hz) {
    const double k = std::max(hz, 20.0) / 1000.0;
    return static_cast<float>(3.64 * std::pow(k, -0.8) - 6.5 * std::exp(-0.6 * (k - 3.3) * (k - 3.3)) +
                              1e-3 * k * k * k * k);
}

float LowestThresholdInBand(int sb, int sample_rate) {
    const double width = sample_rate / 2.0 / kSubbands;
    float lowest = 1e9f;
    for (int i = 0; i <= 8; ++i) lowest = std::min(lowest, ThresholdInQuiet(width * (sb + i / 8.0)));
    return lowest;
}

}  // namespace

void SignalToMaskRatios(const int scf_index[kSubbands][3], int sblimit, int sample_rate, float smr_db[kSubbands]) {
    float level[kSubbands];
    for (int sb = 0; sb < sblimit; ++sb) {
        const int loudest = std::min({scf_index[sb][0], scf_index[sb][1], scf_index[sb][2]});
        level[sb] = 20.0f * static_cast<float>(std::log10(kScaleFactors[loudest])) + kFullScaleDb;
    }
    for (int sb = 0; sb < sblimit; ++sb) {
        float mask = LowestThresholdInBand(sb, sample_rate);
        for (int j = 0; j < sblimit; ++j) {
            const int distance = sb - j;
            const float slope = distance > 0 ? kUpwardSlopeDb : kDownwardSlopeDb;
            mask = std::max(mask, level[j] - kSelfMaskingDb - slope * static_cast<float>(std::abs(distance)));
        }
        smr_db[sb] = level[sb] - mask;
    }
}

int SampleBits(const SubbandAllocation& band, int index) {
    if (index == 0) return 0;
    const QuantClass& q = kQuantClasses[band.classes[index]];
    return q.grouped ? 12 * q.bits : 36 * q.bits;
}

void AllocateBits(const AllocationRequest& request, int allocation[2][kSubbands]) {
    const AllocationTable& table = *request.table;
    for (int ch = 0; ch < 2; ++ch)
        for (int sb = 0; sb < kSubbands; ++sb) allocation[ch][sb] = 0;
    int left = request.available_bits;
    for (;;) {
        int best_ch = -1, best_sb = -1, best_cost = 0;
        float best_mnr = 1e9f;
        for (int ch = 0; ch < request.channels; ++ch) {
            for (int sb = 0; sb < table.sblimit; ++sb) {
                const SubbandAllocation& band = *table.subbands[sb];
                const int a = allocation[ch][sb];
                if (a + 1 >= (1 << band.nbal)) continue;
                const float snr = a == 0 ? 0.0f : static_cast<float>(kQuantClasses[band.classes[a]].snr_db);
                const float mnr = snr - request.smr_db[ch][sb];
                if (mnr >= best_mnr) continue;
                const int cost = SampleBits(band, a + 1) - SampleBits(band, a) + (a == 0 ? request.side_bits[ch][sb] : 0);
                if (cost > left) continue;
                best_mnr = mnr, best_ch = ch, best_sb = sb, best_cost = cost;
            }
        }
        if (best_ch < 0) return;
        ++allocation[best_ch][best_sb];
        left -= best_cost;
    }
}

}  // namespace mpeg::audio
