#include "media/mpeg1/video/block_coder.h"

#include <cstdlib>
#include <cstring>

#include "media/mpeg1/video/pixel_ops.h"
#include "media/mpeg1/video/video_tables.h"

#if defined(__i386__) || defined(__x86_64__)
#define MPEG_VIDEO_X86 1
#include <emmintrin.h>
#endif

namespace mpeg::video {

namespace {

// Rounding offsets as fractions of a quantiser step. Intra levels reconstruct
// at whole steps, so rounding just under one half is nearly optimal; inter
// levels reconstruct at (L + 1/2) steps, where truncation already places the
// decision points halfway between reconstruction values (and its dead zone
// keeps camera noise from costing bits).
constexpr double kIntraRounding = 3.0 / 8;
constexpr double kInterRounding = 0;

inline int Sign(int v) { return v < 0 ? -1 : 1; }

inline int16_t Oddify(int rec) {
    if (rec != 0 && (rec & 1) == 0) rec -= Sign(rec);
    if (rec > 2047) rec = 2047;
    if (rec < -2048) rec = -2048;
    return static_cast<int16_t>(rec);
}

struct InverseZigzag {
    uint8_t index[64];
    InverseZigzag() {
        for (int i = 0; i < 64; ++i) index[kZigzag[i]] = static_cast<uint8_t>(i);
    }
};
const InverseZigzag kInverseZigzag;

// Zigzag index of the last set bit of a raster-order mask, -1 for none.
int LastInZigzag(uint64_t mask) {
    int last = -1;
    while (mask) {
        int pos = 0;
        while (!(mask & (uint64_t{1} << pos))) ++pos;
        if (kInverseZigzag.index[pos] > last) last = kInverseZigzag.index[pos];
        mask &= mask - 1;
    }
    return last;
}

uint64_t QuantizeScalar(const int16_t coef[64], const uint16_t* recip, const uint16_t* bias, int16_t levels[64]) {
    uint64_t mask = 0;
    for (int pos = 0; pos < 64; ++pos) {
        const int c = coef[pos];
        const uint32_t mag = static_cast<uint32_t>(c < 0 ? -c : c);
        int level = static_cast<int>(((mag + bias[pos]) * recip[pos]) >> 16);
        if (level > kMaxLevel) level = kMaxLevel;
        if (level != 0) mask |= uint64_t{1} << pos;
        levels[pos] = static_cast<int16_t>(c < 0 ? -level : level);
    }
    return mask;
}

#ifdef MPEG_VIDEO_X86
__attribute__((target("sse2"))) uint64_t QuantizeSse2(const int16_t coef[64], const uint16_t* recip,
                                                      const uint16_t* bias, int16_t levels[64]) {
    const __m128i max_level = _mm_set1_epi16(kMaxLevel);
    const __m128i zero = _mm_setzero_si128();
    uint64_t mask = 0;
    for (int i = 0; i < 64; i += 8) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef + i));
        const __m128i sign = _mm_srai_epi16(x, 15);
        const __m128i mag = _mm_sub_epi16(_mm_xor_si128(x, sign), sign);
        __m128i level = _mm_mulhi_epu16(_mm_adds_epu16(mag, _mm_load_si128(reinterpret_cast<const __m128i*>(bias + i))),
                                        _mm_load_si128(reinterpret_cast<const __m128i*>(recip + i)));
        level = _mm_min_epi16(level, max_level);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(levels + i), _mm_sub_epi16(_mm_xor_si128(level, sign), sign));
        const int zeros = _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(level, zero), zero)) & 0xFF;
        mask |= static_cast<uint64_t>(~zeros & 0xFF) << i;
    }
    return mask;
}
#endif

uint64_t QuantizeBlock(const int16_t coef[64], const uint16_t* recip, const uint16_t* bias, int16_t levels[64]) {
#ifdef MPEG_VIDEO_X86
    if (SimdEnabled()) return QuantizeSse2(coef, recip, bias, levels);
#endif
    return QuantizeScalar(coef, recip, bias, levels);
}

inline int BitLength(int v) {
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

void WriteEscape(BitWriter& bits, int run, int level) {
    const VlcTables& t = Tables();
    bits.Put((t.escape.code << 6) | static_cast<uint32_t>(run), t.escape.length + 6);
    if (level >= -127 && level <= 127) {
        bits.Put(static_cast<uint32_t>(level) & 0xFF, 8);
    } else if (level > 0) {
        bits.Put(static_cast<uint32_t>(level), 16);
    } else {
        bits.Put(0x8000 | (static_cast<uint32_t>(level + 256) & 0xFF), 16);
    }
}

inline void WriteRunLevel(BitWriter& bits, int run, int level) {
    const int mag = std::abs(level);
    if (run <= kMaxVlcRun && mag <= kMaxVlcLevel) {
        const Vlc& v = Tables().dct[run][mag];
        if (v.length != 0) {
            bits.Put((v.code << 1) | static_cast<uint32_t>(level < 0), v.length + 1);
            return;
        }
    }
    WriteEscape(bits, run, level);
}

// Codes levels[from..last] as run/level pairs.
void WriteCoefficients(BitWriter& bits, const int16_t levels[64], int from, int last) {
    int run = 0;
    for (int i = from; i <= last; ++i) {
        const int level = levels[kZigzag[i]];
        if (level == 0) {
            ++run;
            continue;
        }
        WriteRunLevel(bits, run, level);
        run = 0;
    }
}

}  // namespace

Quantizer::Quantizer() {
    for (int q = 0; q < 32; ++q) {
        for (int i = 0; i < 64; ++i) {
            const int intra_weight = kDefaultIntraMatrix[i], inter_weight = kNonIntraMatrixValue;
            const uint32_t intra = q == 0 || i == 0 ? 0 : (65536u * 8u) / (static_cast<unsigned>(q) * intra_weight);
            const uint32_t inter = q == 0 ? 0 : (65536u * 8u) / (static_cast<unsigned>(q) * inter_weight);
            intra_[q].recip[i] = static_cast<uint16_t>(intra);
            inter_[q].recip[i] = static_cast<uint16_t>(inter);
            intra_[q].bias[i] = static_cast<uint16_t>(intra ? kIntraRounding * 65536 / intra + 0.5 : 0);
            inter_[q].bias[i] = static_cast<uint16_t>(inter ? kInterRounding * 65536 / inter + 0.5 : 0);
        }
        uint32_t smallest = 0;  // the least |F| that gives level 1
        while (q > 0 && ((smallest + inter_[q].bias[0]) * inter_[q].recip[0]) >> 16 == 0) ++smallest;
        inter_zero_sum_[q] = static_cast<int>(4 * smallest) - 2;
    }
}

int Quantizer::QuantizeIntra(const int16_t coef[64], int qscale, int16_t levels[64]) const {
    // The DC has its own fixed step of 8; its table entry is zero.
    const uint64_t mask = QuantizeBlock(coef, intra_[qscale].recip, intra_[qscale].bias, levels);
    int dc = (coef[0] + 4) >> 3;
    if (dc < 0) dc = 0;
    if (dc > 255) dc = 255;
    levels[0] = static_cast<int16_t>(dc);
    return LastInZigzag(mask & ~uint64_t{1});
}

int Quantizer::QuantizeInter(const int16_t coef[64], int qscale, int16_t levels[64]) const {
    return LastInZigzag(QuantizeBlock(coef, inter_[qscale].recip, inter_[qscale].bias, levels));
}

void Quantizer::DequantizeIntra(const int16_t levels[64], int last, int qscale, int16_t coef[64]) const {
    std::memset(coef, 0, 64 * sizeof(int16_t));
    coef[0] = static_cast<int16_t>(levels[0] * 8);
    for (int i = 1; i <= last; ++i) {
        const int pos = kZigzag[i];
        const int l = levels[pos];
        if (l == 0) continue;
        coef[pos] = Oddify((2 * l * qscale * kDefaultIntraMatrix[pos]) / 16);
    }
}

void Quantizer::DequantizeInter(const int16_t levels[64], int last, int qscale, int16_t coef[64]) const {
    std::memset(coef, 0, 64 * sizeof(int16_t));
    for (int i = 0; i <= last; ++i) {
        const int pos = kZigzag[i];
        const int l = levels[pos];
        if (l == 0) continue;
        coef[pos] = Oddify(((2 * l + Sign(l)) * qscale * kNonIntraMatrixValue) / 16);
    }
}

void WriteIntraBlock(BitWriter& bits, const int16_t levels[64], int last, int component, DcPredictors* dc) {
    const VlcTables& t = Tables();
    int* pred = component == 0 ? &dc->y : component == 1 ? &dc->cb : &dc->cr;
    const int diff = levels[0] - *pred;
    *pred = levels[0];
    const int size = BitLength(std::abs(diff));
    const Vlc& sv = component == 0 ? t.dc_size_luma[size] : t.dc_size_chroma[size];
    bits.Put(sv.code, sv.length);
    if (size > 0) {
        const int value = diff > 0 ? diff : diff + (1 << size) - 1;
        bits.Put(static_cast<uint32_t>(value), size);
    }
    WriteCoefficients(bits, levels, 1, last);
    bits.Put(t.end_of_block.code, t.end_of_block.length);
}

void WriteInterBlock(BitWriter& bits, const int16_t levels[64], int last) {
    const VlcTables& t = Tables();
    int first = 0;
    while (levels[kZigzag[first]] == 0) ++first;
    const int level = levels[kZigzag[first]];
    if (first == 0 && std::abs(level) == 1) {
        // dct_coeff_first's short code for run 0, level 1.
        bits.Put(2u | static_cast<uint32_t>(level < 0), 2);
    } else {
        WriteRunLevel(bits, first, level);
    }
    WriteCoefficients(bits, levels, first + 1, last);
    bits.Put(t.end_of_block.code, t.end_of_block.length);
}

}  // namespace mpeg::video
