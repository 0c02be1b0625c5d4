#include "media/frame_files/frame_resample.h"

#include <algorithm>
#include <cmath>

namespace frame_files {
namespace {

// For each target index, the source indices it reads and their weights.
struct AxisTaps {
    std::vector<int> first;    // per target: offset into index/weight
    std::vector<int> count;    // per target
    std::vector<int> index;    // source indices, edges replicated
    std::vector<float> weight; // normalised to sum 1 per target
};

AxisTaps MakeTaps(int src, int dst) {
    AxisTaps taps;
    const double scale = static_cast<double>(src) / dst;
    const double support = std::max(1.0, scale);
    for (int i = 0; i < dst; ++i) {
        const double centre = (i + 0.5) * scale;  // in source pixels; source j is centred on j + 0.5
        const int lo = static_cast<int>(std::ceil(centre - support - 0.5));
        const int hi = static_cast<int>(std::floor(centre + support - 0.5));
        taps.first.push_back(static_cast<int>(taps.index.size()));
        double sum = 0;
        const size_t start = taps.weight.size();
        for (int j = lo; j <= hi; ++j) {
            const double w = 1.0 - std::fabs(j + 0.5 - centre) / support;
            if (w <= 0) continue;
            taps.index.push_back(std::clamp(j, 0, src - 1));
            taps.weight.push_back(static_cast<float>(w));
            sum += w;
        }
        if (taps.weight.size() == start) {  // support >= 1 always finds a tap; never leave a target empty
            taps.index.push_back(std::clamp(static_cast<int>(centre), 0, src - 1));
            taps.weight.push_back(1.0f);
            sum = 1;
        }
        for (size_t k = start; k < taps.weight.size(); ++k) taps.weight[k] = static_cast<float>(taps.weight[k] / sum);
        taps.count.push_back(static_cast<int>(taps.weight.size() - start));
    }
    return taps;
}

}  // namespace

void ResamplePremultiplied(const uint8_t* rgba, int src_width, int src_height, int dst_width, int dst_height,
                           std::vector<uint8_t>* out) {
    const AxisTaps across = MakeTaps(src_width, dst_width), down = MakeTaps(src_height, dst_height);
    out->resize(static_cast<size_t>(dst_width) * dst_height * 4);
    std::vector<float> row(static_cast<size_t>(src_width) * 4);
    for (int y = 0; y < dst_height; ++y) {
        // Vertical pass into one premultiplied source-wide row.
        std::fill(row.begin(), row.end(), 0.0f);
        for (int k = down.first[y]; k < down.first[y] + down.count[y]; ++k) {
            const uint8_t* src = rgba + static_cast<size_t>(down.index[k]) * src_width * 4;
            const float w = down.weight[k];
            for (int x = 0; x < src_width; ++x) {
                const float wa = w * src[x * 4 + 3];
                row[x * 4] += wa * src[x * 4] * (1.0f / 255);
                row[x * 4 + 1] += wa * src[x * 4 + 1] * (1.0f / 255);
                row[x * 4 + 2] += wa * src[x * 4 + 2] * (1.0f / 255);
                row[x * 4 + 3] += wa;
            }
        }
        uint8_t* dst = out->data() + static_cast<size_t>(y) * dst_width * 4;
        for (int x = 0; x < dst_width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int k = across.first[x]; k < across.first[x] + across.count[x]; ++k)
                for (int c = 0; c < 4; ++c) sum[c] += across.weight[k] * row[across.index[k] * 4 + c];
            const float alpha = std::clamp(sum[3], 0.0f, 255.0f);
            dst[x * 4 + 3] = static_cast<uint8_t>(alpha + 0.5f);
            // Premultiplied colour never exceeds its alpha.
            for (int c = 0; c < 3; ++c)
                dst[x * 4 + c] = static_cast<uint8_t>(std::clamp(sum[c], 0.0f, alpha) + 0.5f);
        }
    }
}

}  // namespace frame_files
