#include "capture_engine/mpeg/video/block_coder.h"

#include <cstdlib>
#include <cstring>

#include "capture_engine/mpeg/video/video_tables.h"

namespace mpeg::video {

namespace {

// Rounding offsets in 1/65536 of a quantiser step. Intra levels reconstruct
// at whole steps, so rounding just under one half is nearly optimal; inter
// levels reconstruct at (L + 1/2) steps, where truncation already places the
// decision points halfway between reconstruction values.
constexpr uint32_t kIntraBias = 65536 * 3 / 8;
constexpr uint32_t kInterBias = 65536 / 16;

inline int Sign(int v) { return v < 0 ? -1 : 1; }

inline int16_t Oddify(int rec) {
    if (rec != 0 && (rec & 1) == 0) rec -= Sign(rec);
    if (rec > 2047) rec = 2047;
    if (rec < -2048) rec = -2048;
    return static_cast<int16_t>(rec);
}

int Quantize(const int16_t coef[64], const uint16_t* recip, uint32_t bias, int first, int16_t levels[64]) {
    int last = -1;
    for (int i = first; i < 64; ++i) {
        const int c = coef[kZigzag[i]];
        const uint32_t mag = static_cast<uint32_t>(c < 0 ? -c : c);
        int level = static_cast<int>((mag * recip[kZigzag[i]] + bias) >> 16);
        if (level > kMaxLevel) level = kMaxLevel;
        if (level != 0) last = i;
        levels[i] = static_cast<int16_t>(c < 0 ? -level : level);
    }
    return last;
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
        if (levels[i] == 0) {
            ++run;
            continue;
        }
        WriteRunLevel(bits, run, levels[i]);
        run = 0;
    }
}

}  // namespace

Quantizer::Quantizer() {
    for (int q = 1; q < 32; ++q) {
        for (int i = 0; i < 64; ++i) {
            intra_recip_[q][i] = static_cast<uint16_t>((65536u * 8u) / (static_cast<unsigned>(q) * kDefaultIntraMatrix[i]));
            inter_recip_[q][i] = static_cast<uint16_t>((65536u * 8u) / (static_cast<unsigned>(q) * kNonIntraMatrixValue));
        }
        intra_recip_[q][0] = 0;  // the DC has its own fixed step
    }
    std::memset(intra_recip_[0], 0, sizeof intra_recip_[0]);
    std::memset(inter_recip_[0], 0, sizeof inter_recip_[0]);
}

int Quantizer::QuantizeIntra(const int16_t coef[64], int qscale, int16_t levels[64]) const {
    int dc = (coef[0] + 4) >> 3;
    if (dc < 0) dc = 0;
    if (dc > 255) dc = 255;
    levels[0] = static_cast<int16_t>(dc);
    return Quantize(coef, intra_recip_[qscale], kIntraBias, 1, levels);
}

int Quantizer::QuantizeInter(const int16_t coef[64], int qscale, int16_t levels[64]) const {
    return Quantize(coef, inter_recip_[qscale], kInterBias, 0, levels);
}

void Quantizer::DequantizeIntra(const int16_t levels[64], int last, int qscale, int16_t coef[64]) const {
    std::memset(coef, 0, 64 * sizeof(int16_t));
    coef[0] = static_cast<int16_t>(levels[0] * 8);
    for (int i = 1; i <= last; ++i) {
        const int l = levels[i];
        if (l == 0) continue;
        const int pos = kZigzag[i];
        coef[pos] = Oddify((2 * l * qscale * kDefaultIntraMatrix[pos]) / 16);
    }
}

void Quantizer::DequantizeInter(const int16_t levels[64], int last, int qscale, int16_t coef[64]) const {
    std::memset(coef, 0, 64 * sizeof(int16_t));
    for (int i = 0; i <= last; ++i) {
        const int l = levels[i];
        if (l == 0) continue;
        coef[kZigzag[i]] = Oddify(((2 * l + Sign(l)) * qscale * kNonIntraMatrixValue) / 16);
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
    while (levels[first] == 0) ++first;
    if (first == 0 && std::abs(levels[0]) == 1) {
        // dct_coeff_first's short code for run 0, level 1.
        bits.Put(2u | static_cast<uint32_t>(levels[0] < 0), 2);
    } else {
        WriteRunLevel(bits, first, levels[first]);
    }
    WriteCoefficients(bits, levels, first + 1, last);
    bits.Put(t.end_of_block.code, t.end_of_block.length);
}

}  // namespace mpeg::video
