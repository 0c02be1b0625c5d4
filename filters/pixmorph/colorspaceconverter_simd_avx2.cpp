// Built with -mavx2. Blocks of 32 pixels; what is left goes to the SSSE3
// kernels (every AVX2 processor has SSSE3) and from there to the scalar ones.
#include "filters/pixmorph/colorspaceconverter_kernels.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include <type_traits>

namespace pixmorph::detail {
namespace {

// 32 pixels in order: lane 0 holds pixels 0-15, lane 1 pixels 16-31.
struct Bgr32 {
    __m256i b, g, r;
};

struct Terms {
    __m256i r, g, b;
};

// As in the SSE kernels: wrapped 16-bit products, exact terms.
inline Terms TermsOf(__m256i u, __m256i v) {
    const __m256i r = _mm256_sub_epi16(_mm256_mullo_epi16(v, _mm256_set1_epi16(180)), _mm256_set1_epi16(22906));
    const __m256i g = _mm256_sub_epi16(
        _mm256_sub_epi16(_mm256_set1_epi16(17264), _mm256_mullo_epi16(v, _mm256_set1_epi16(91))),
        _mm256_mullo_epi16(u, _mm256_set1_epi16(44)));
    const __m256i b = _mm256_sub_epi16(_mm256_mullo_epi16(u, _mm256_set1_epi16(226)), _mm256_set1_epi16(28928));
    return {_mm256_srai_epi16(r, 7), _mm256_srai_epi16(g, 7), _mm256_srai_epi16(b, 7)};
}

// Luma words of pixels [0-7 | 16-23] and [8-15 | 24-31]; chroma words of
// pairs [0-7 | 8-15]. The in-lane unpack and pack then line up by themselves.
inline Bgr32 SharedChroma(__m256i y_lo, __m256i y_hi, __m256i u, __m256i v) {
    const Terms t = TermsOf(u, v);
    auto channel = [&](__m256i d) {
        return _mm256_packus_epi16(_mm256_add_epi16(y_lo, _mm256_unpacklo_epi16(d, d)),
                                   _mm256_add_epi16(y_hi, _mm256_unpackhi_epi16(d, d)));
    };
    return {channel(t.b), channel(t.g), channel(t.r)};
}

inline Bgr32 OwnChroma(__m256i y_lo, __m256i y_hi, __m256i u_lo, __m256i u_hi, __m256i v_lo, __m256i v_hi) {
    const Terms lo = TermsOf(u_lo, v_lo);
    const Terms hi = TermsOf(u_hi, v_hi);
    auto channel = [&](__m256i d_lo, __m256i d_hi) {
        return _mm256_packus_epi16(_mm256_add_epi16(y_lo, d_lo), _mm256_add_epi16(y_hi, d_hi));
    };
    return {channel(lo.b, hi.b), channel(lo.g, hi.g), channel(lo.r, hi.r)};
}

template <int kByte>
inline __m256i GroupByte(__m256i groups) {
    const __m256i shifted = _mm256_srli_epi32(groups, 8 * kByte);
    return kByte == 3 ? shifted : _mm256_and_si256(shifted, _mm256_set1_epi32(0xFF));
}

template <int kOrder>
struct Layout {
    static constexpr int kY0 = kOrder == kOrderYuy2 ? 0 : 1;
    static constexpr int kU = kOrder == kOrderYuy2 ? 1 : 0;
    static constexpr int kV = kU + 2;
    static __m256i Lumas(__m256i groups) {
        return kOrder == kOrderYuy2 ? _mm256_and_si256(groups, _mm256_set1_epi16(0xFF))
                                    : _mm256_srli_epi16(groups, 8);
    }
};

inline __m256i Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

template <int kOrder>
inline Bgr32 Packed32(const uint8_t* src) {
    using L = Layout<kOrder>;
    const __m256i a = Load(src), b = Load(src + 32);
    const __m256i lo = _mm256_permute2x128_si256(a, b, 0x20);  // pixels 0-7, 16-23
    const __m256i hi = _mm256_permute2x128_si256(a, b, 0x31);  // pixels 8-15, 24-31
    const __m256i u = _mm256_packs_epi32(GroupByte<L::kU>(lo), GroupByte<L::kU>(hi));
    const __m256i v = _mm256_packs_epi32(GroupByte<L::kV>(lo), GroupByte<L::kV>(hi));
    return SharedChroma(L::Lumas(lo), L::Lumas(hi), u, v);
}

// The first pixel of each of 32 groups (128 bytes).
template <int kOrder>
inline Bgr32 Half32(const uint8_t* src) {
    using L = Layout<kOrder>;
    const __m256i c0 = Load(src), c1 = Load(src + 32), c2 = Load(src + 64), c3 = Load(src + 96);
    // Regroup so that packing two vectors gives pixels [0-7 | 16-23] and [8-15 | 24-31].
    const __m256i a = _mm256_permute2x128_si256(c0, c2, 0x20), b = _mm256_permute2x128_si256(c0, c2, 0x31);
    const __m256i c = _mm256_permute2x128_si256(c1, c3, 0x20), d = _mm256_permute2x128_si256(c1, c3, 0x31);
    auto field = [&](auto byte, __m256i x, __m256i y) {
        return _mm256_packs_epi32(GroupByte<decltype(byte)::value>(x), GroupByte<decltype(byte)::value>(y));
    };
    using Y0 = std::integral_constant<int, L::kY0>;
    using U = std::integral_constant<int, L::kU>;
    using V = std::integral_constant<int, L::kV>;
    return OwnChroma(field(Y0{}, a, b), field(Y0{}, c, d), field(U{}, a, b), field(U{}, c, d), field(V{}, a, b),
                     field(V{}, c, d));
}

inline Bgr32 Planar32(const uint8_t* y, const uint8_t* u, const uint8_t* v) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i luma = Load(y);
    const __m256i cu = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(u)));
    const __m256i cv = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v)));
    return SharedChroma(_mm256_unpacklo_epi8(luma, zero), _mm256_unpackhi_epi8(luma, zero), cu, cv);
}

struct InterleaveMasks {
    alignas(32) uint8_t bytes[3][3][32];  // [chunk][channel][byte], the same in both lanes
    constexpr InterleaveMasks() : bytes{} {
        for (int k = 0; k < 48; ++k)
            for (int channel = 0; channel < 3; ++channel)
                for (int lane = 0; lane < 2; ++lane)
                    bytes[k / 16][channel][16 * lane + k % 16] =
                        static_cast<uint8_t>(k % 3 == channel ? k / 3 : 0x80);
    }
};
constexpr InterleaveMasks kMasks;

inline __m256i Chunk(const Bgr32& p, int chunk) {
    auto mask = [&](int channel) {
        return _mm256_load_si256(reinterpret_cast<const __m256i*>(kMasks.bytes[chunk][channel]));
    };
    return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(p.b, mask(0)), _mm256_shuffle_epi8(p.g, mask(1))),
                           _mm256_shuffle_epi8(p.r, mask(2)));
}

// Each lane interleaves its 16 pixels into 48 bytes; the lanes' chunks are
// then written in order.
inline void Put(const Bgr32& p, uint8_t* dst) {
    const __m256i c0 = Chunk(p, 0), c1 = Chunk(p, 1), c2 = Chunk(p, 2);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), _mm256_permute2x128_si256(c0, c1, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 32), _mm256_permute2x128_si256(c2, c0, 0x30));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + 64), _mm256_permute2x128_si256(c1, c2, 0x31));
}

template <int kOrder>
void PackedRow(const uint8_t* src, uint8_t* dst, int pixels) {
    int n = 0;
    for (; n + 32 <= pixels; n += 32) Put(Packed32<kOrder>(src + 2 * n), dst + 3 * n);
    Ssse3Kernels()->packed_row[kOrder](src + 2 * n, dst + 3 * n, pixels - n);
}

template <int kOrder>
void PackedHalf(const uint8_t* src, uint8_t* dst, int count) {
    int n = 0;
    for (; n + 32 <= count; n += 32) Put(Half32<kOrder>(src + 4 * n), dst + 3 * n);
    Ssse3Kernels()->packed_half[kOrder](src + 4 * n, dst + 3 * n, count - n);
}

// Doubling pixels [0-15 | 16-31]: quarter order 0,2,1,3 first, so that the
// in-lane unpacks give output pixels 0-31 and 32-63 in order.
inline Bgr32 Doubled(const Bgr32& p, bool high) {
    auto twice = [high](__m256i x) {
        const __m256i q = _mm256_permute4x64_epi64(x, 0xD8);
        return high ? _mm256_unpackhi_epi8(q, q) : _mm256_unpacklo_epi8(q, q);
    };
    return {twice(p.b), twice(p.g), twice(p.r)};
}

template <int kOrder>
void PackedDoubled(const uint8_t* src, uint8_t* dst, int out_pixels) {
    int n = 0;  // output pixels; source pixel n/2 starts at byte n
    for (; n + 64 <= out_pixels; n += 64) {
        const Bgr32 p = Packed32<kOrder>(src + n);
        Put(Doubled(p, false), dst + 3 * n);
        Put(Doubled(p, true), dst + 3 * n + 96);
    }
    Ssse3Kernels()->packed_doubled[kOrder](src + n, dst + 3 * n, out_pixels - n);
}

void PlanarRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pixels) {
    int n = 0;
    for (; n + 32 <= pixels; n += 32) Put(Planar32(y + n, u + n / 2, v + n / 2), dst + 3 * n);
    Ssse3Kernels()->planar_row(y + n, u + n / 2, v + n / 2, dst + 3 * n, pixels - n);
}

}  // namespace

const RowKernels* Avx2Kernels() {
    if (!Ssse3Kernels()) return nullptr;
    static const RowKernels kernels = {{PackedRow<kOrderYuy2>, PackedRow<kOrderUyvy>},
                                       {PackedHalf<kOrderYuy2>, PackedHalf<kOrderUyvy>},
                                       {PackedDoubled<kOrderYuy2>, PackedDoubled<kOrderUyvy>},
                                       PlanarRow};
    return &kernels;
}

}  // namespace pixmorph::detail
#else
const pixmorph::detail::RowKernels* pixmorph::detail::Avx2Kernels() { return nullptr; }
#endif
