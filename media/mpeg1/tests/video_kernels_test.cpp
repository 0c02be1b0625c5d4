// The parts of the video encoder whose faults would only show up downstream
// as a vague loss of quality: code tables, transforms, and the SIMD kernels
// against their scalar references. Runs in both trees, so the i686 build's
// own code generation and processor dispatch are checked too.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "media/mpeg1/video/dct.h"
#include "media/mpeg1/video/pixel_ops.h"
#include "media/mpeg1/video/video_tables.h"

namespace mpeg {
namespace {

constexpr double kPi = 3.14159265358979323846;

// --- tables --------------------------------------------------------------

struct Code {
    uint32_t bits;
    int length;
};

// True when no code is a prefix of another; `kraft` gets sum(2^-length).
bool PrefixFree(const std::vector<Code>& codes, double* kraft) {
    *kraft = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        *kraft += std::ldexp(1.0, -codes[i].length);
        for (size_t j = 0; j < codes.size(); ++j) {
            if (i == j || codes[i].length > codes[j].length) continue;
            if ((codes[j].bits >> (codes[j].length - codes[i].length)) == codes[i].bits) return false;
        }
    }
    return true;
}

TEST(VideoTables, VariableLengthCodesArePrefixFreeAndFillTheirCodeSpace) {
    const video::VlcTables& t = video::Tables();
    double kraft;

    std::vector<Code> increments;
    for (int i = 1; i <= 33; ++i) increments.push_back({t.address_increment[i].code, t.address_increment[i].length});
    increments.push_back({t.macroblock_escape.code, t.macroblock_escape.length});
    increments.push_back({0xF, 11});  // macroblock_stuffing
    EXPECT_TRUE(PrefixFree(increments, &kraft));
    EXPECT_LE(kraft, 1.0);

    std::vector<Code> motion;
    for (int m = -16; m <= 16; ++m) motion.push_back({t.motion_code[m + 16].code, t.motion_code[m + 16].length});
    EXPECT_TRUE(PrefixFree(motion, &kraft));
    EXPECT_LE(kraft, 1.0);

    std::vector<Code> cbp{{1, 9}};  // the code MPEG-2 gives pattern 0 completes the space
    for (int c = 1; c < 64; ++c) {
        ASSERT_GT(t.coded_block_pattern[c].length, 0) << c;
        cbp.push_back({t.coded_block_pattern[c].code, t.coded_block_pattern[c].length});
    }
    EXPECT_TRUE(PrefixFree(cbp, &kraft));
    EXPECT_DOUBLE_EQ(kraft, 1.0 - 1.0 / 512);  // all but the forbidden 0000 0000 0

    // dct_coeff_next: every run/level code plus sign, end_of_block and escape.
    std::vector<Code> dct{{t.end_of_block.code, t.end_of_block.length}, {t.escape.code, t.escape.length}};
    int entries = 0;
    for (int run = 0; run <= video::kMaxVlcRun; ++run) {
        for (int level = 1; level <= video::kMaxVlcLevel; ++level) {
            const video::Vlc& v = t.dct[run][level];
            if (v.length == 0) continue;
            ++entries;
            dct.push_back({v.code << 1, v.length + 1});
            dct.push_back({(v.code << 1) | 1, v.length + 1});
        }
    }
    EXPECT_EQ(entries, 111);
    EXPECT_TRUE(PrefixFree(dct, &kraft));
    EXPECT_LE(kraft, 1.0);
    EXPECT_GT(kraft, 0.999);  // only the forbidden all-zero prefix is left over
}

// --- transforms ----------------------------------------------------------

double ReferenceCoefficient(const int16_t* in, int u, int v, bool inverse, int x, int y) {
    if (!inverse) {
        double sum = 0;
        for (int j = 0; j < 8; ++j)
            for (int i = 0; i < 8; ++i)
                sum += in[j * 8 + i] * std::cos((2 * i + 1) * u * kPi / 16) * std::cos((2 * j + 1) * v * kPi / 16);
        return sum * (u ? 1 : std::sqrt(0.5)) * (v ? 1 : std::sqrt(0.5)) / 4;
    }
    double sum = 0;
    for (int k = 0; k < 8; ++k)
        for (int l = 0; l < 8; ++l)
            sum += (l ? 1 : std::sqrt(0.5)) * (k ? 1 : std::sqrt(0.5)) * in[k * 8 + l] *
                   std::cos((2 * x + 1) * l * kPi / 16) * std::cos((2 * y + 1) * k * kPi / 16);
    return sum / 4;
}

// The accuracy test of IEEE 1180 in miniature: random blocks, compared with
// the exact transform rounded.
TEST(Dct, BothDirectionsStayWithinOneOfTheExactTransform) {
    std::mt19937 rng(7);
    int inverse_off_by_one = 0;
    for (int trial = 0; trial < 300; ++trial) {
        int16_t pixels[64], coef[64], back[64], sparse[64] = {};
        const int range = trial % 3 == 0 ? 256 : 20;
        for (int i = 0; i < 64; ++i) pixels[i] = static_cast<int16_t>(rng() % range - (trial % 2 ? range / 2 : 0));
        video::ForwardDct(pixels, coef);
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u)
                ASSERT_LE(std::fabs(coef[v * 8 + u] - ReferenceCoefficient(pixels, u, v, false, 0, 0)), 0.51);
        for (int i = 0; i < 8; ++i) sparse[rng() % 64] = static_cast<int16_t>(static_cast<int>(rng() % 601) - 300);
        sparse[0] = static_cast<int16_t>(rng() % 2048);
        video::InverseDct(sparse, back);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const double exact = ReferenceCoefficient(sparse, 0, 0, true, x, y);
                const double err = std::fabs(back[y * 8 + x] - exact);
                ASSERT_LE(err, 1.0);
                if (std::lround(exact) != back[y * 8 + x]) ++inverse_off_by_one;
            }
        }
    }
    EXPECT_LT(inverse_off_by_one, 300 * 64 / 1000);  // rounding ties only
}

TEST(PixelOps, SimdKernelsMatchScalarOnes) {
    if (!video::SimdEnabled()) GTEST_SKIP() << "no SIMD kernels on this processor";
    std::mt19937 rng(3);
    std::vector<uint8_t> a(40 * 40), b(40 * 40);
    for (auto& p : a) p = static_cast<uint8_t>(rng());
    for (auto& p : b) p = static_cast<uint8_t>(rng());
    for (int hy = 0; hy < 2; ++hy) {
        for (int hx = 0; hx < 2; ++hx) {
            uint8_t simd[256], scalar[256];
            video::PredictBlock(a.data() + 41, 40, hx, hy, 16, simd, 16);
            const int sad_simd = video::Sad16(a.data() + 3, 40, b.data() + 81, 40);
            const int dev_simd = video::Deviation16(b.data() + 5, 40);
            video::SetSimdEnabled(false);
            video::PredictBlock(a.data() + 41, 40, hx, hy, 16, scalar, 16);
            EXPECT_EQ(sad_simd, video::Sad16(a.data() + 3, 40, b.data() + 81, 40));
            EXPECT_EQ(dev_simd, video::Deviation16(b.data() + 5, 40));
            video::SetSimdEnabled(true);
            EXPECT_EQ(0, memcmp(simd, scalar, sizeof simd)) << hx << hy;
        }
    }
}

// Where float expressions are evaluated in single precision (SSE, every
// x86-64 build) both paths do the same operations and must agree bit for bit;
// i686 code on the x87 unit keeps extra precision and may round a tie the
// other way.
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
constexpr int kScalarTolerance = 0;
#else
constexpr int kScalarTolerance = 1;
#endif

TEST(Dct, SimdTransformsMatchScalarOnesAndTheDcShortcut) {
    if (!video::SimdEnabled()) GTEST_SKIP() << "no SIMD kernels on this processor";
    std::mt19937 rng(9);
    for (int trial = 0; trial < 200; ++trial) {
        int16_t in[64], simd[64], scalar[64];
        for (int16_t& v : in) v = static_cast<int16_t>(static_cast<int>(rng() % 511) - 255);
        for (int inverse = 0; inverse < 2; ++inverse) {
            inverse ? video::InverseDct(in, simd) : video::ForwardDct(in, simd);
            video::SetSimdEnabled(false);
            inverse ? video::InverseDct(in, scalar) : video::ForwardDct(in, scalar);
            video::SetSimdEnabled(true);
            for (int i = 0; i < 64; ++i) ASSERT_LE(std::abs(simd[i] - scalar[i]), kScalarTolerance) << "inverse " << inverse;
        }
        const int dc = static_cast<int>(rng() % 4095) - 2048;
        int16_t dc_only[64] = {static_cast<int16_t>(dc)};
        video::InverseDct(dc_only, simd);
        EXPECT_EQ(video::InverseDctOfDc(static_cast<int16_t>(dc)), std::lround(dc / 8.0)) << dc;
        for (int16_t v : simd) ASSERT_LE(std::abs(v - video::InverseDctOfDc(dc_only[0])), 1);
    }
}

}  // namespace
}  // namespace mpeg
