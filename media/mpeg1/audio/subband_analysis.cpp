#include "media/mpeg1/audio/subband_analysis.h"

#include <cmath>
#include <cstring>

namespace mpeg::audio {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Filters {
    float window[kWindowLength];
    float matrix[kSubbands][64];  // cos((2k+1)(i-16) pi / 64)
    Filters() {
        for (int i = 0; i < kWindowLength; ++i) window[i] = static_cast<float>(AnalysisWindow(i));
        for (int k = 0; k < kSubbands; ++k)
            for (int i = 0; i < 64; ++i) matrix[k][i] = static_cast<float>(std::cos((2 * k + 1) * (i - 16) * kPi / 64));
    }
};

const Filters& GetFilters() {
    static const Filters filters;
    return filters;
}

}  // namespace

SubbandAnalysis::SubbandAnalysis() { GetFilters(); }

void SubbandAnalysis::Process(const float input[kSubbands], float subbands[kSubbands]) {
    const Filters& f = GetFilters();
    std::memmove(history_ + kSubbands, history_, sizeof(float) * (kWindowLength - kSubbands));
    for (int i = 0; i < kSubbands; ++i) history_[kSubbands - 1 - i] = input[i];
    float y[64];
    for (int i = 0; i < 64; ++i) {
        float sum = 0;
        for (int j = 0; j < 8; ++j) sum += f.window[i + 64 * j] * history_[i + 64 * j];
        y[i] = sum;
    }
    for (int k = 0; k < kSubbands; ++k) {
        float sum = 0;
        for (int i = 0; i < 64; ++i) sum += f.matrix[k][i] * y[i];
        subbands[k] = sum;
    }
}

}  // namespace mpeg::audio
