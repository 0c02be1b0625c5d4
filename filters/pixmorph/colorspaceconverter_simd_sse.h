// SSE2 body of the row kernels, shared by the SSE2 and SSSE3 units; each
// instantiates it with its own way of storing 16 B G R pixels. Include only
// from units compiled with -msse2 or higher.
#pragma once

#include <emmintrin.h>

#include <type_traits>

#include "filters/pixmorph/colorspaceconverter_kernels.h"

namespace pixmorph::detail::sse {
// Internal linkage on purpose: the SSE2 and SSSE3 units compile these with
// different instruction sets, and the linker must not let one unit's copy
// stand in for the other's.
namespace {

// 16 pixels, one byte per channel each.
struct Bgr16 {
    __m128i b, g, r;
};

struct Terms {
    __m128i r, g, b;
};

// The chroma terms of 8 (U, V) word pairs. The products may wrap in 16 bits,
// but every term before the shift lies in -28928..28702, so the wrapped
// arithmetic gives it exactly.
inline Terms TermsOf(__m128i u, __m128i v) {
    const __m128i r = _mm_sub_epi16(_mm_mullo_epi16(v, _mm_set1_epi16(180)), _mm_set1_epi16(22906));
    const __m128i g = _mm_sub_epi16(_mm_sub_epi16(_mm_set1_epi16(17264), _mm_mullo_epi16(v, _mm_set1_epi16(91))),
                                    _mm_mullo_epi16(u, _mm_set1_epi16(44)));
    const __m128i b = _mm_sub_epi16(_mm_mullo_epi16(u, _mm_set1_epi16(226)), _mm_set1_epi16(28928));
    return {_mm_srai_epi16(r, 7), _mm_srai_epi16(g, 7), _mm_srai_epi16(b, 7)};
}

// Luma words of pixels 0-7 and 8-15, chroma words of their 8 pairs.
inline Bgr16 SharedChroma(__m128i y_lo, __m128i y_hi, __m128i u, __m128i v) {
    const Terms t = TermsOf(u, v);
    auto channel = [&](__m128i d) {
        return _mm_packus_epi16(_mm_add_epi16(y_lo, _mm_unpacklo_epi16(d, d)),
                                _mm_add_epi16(y_hi, _mm_unpackhi_epi16(d, d)));
    };
    return {channel(t.b), channel(t.g), channel(t.r)};
}

// Every pixel with its own chroma.
inline Bgr16 OwnChroma(__m128i y_lo, __m128i y_hi, __m128i u_lo, __m128i u_hi, __m128i v_lo, __m128i v_hi) {
    const Terms lo = TermsOf(u_lo, v_lo);
    const Terms hi = TermsOf(u_hi, v_hi);
    auto channel = [&](__m128i d_lo, __m128i d_hi) {
        return _mm_packus_epi16(_mm_add_epi16(y_lo, d_lo), _mm_add_epi16(y_hi, d_hi));
    };
    return {channel(lo.b, hi.b), channel(lo.g, hi.g), channel(lo.r, hi.r)};
}

// Byte k of every 32-bit group, as a 32-bit value.
template <int kByte>
inline __m128i GroupByte(__m128i groups) {
    const __m128i shifted = _mm_srli_epi32(groups, 8 * kByte);
    return kByte == 3 ? shifted : _mm_and_si128(shifted, _mm_set1_epi32(0xFF));
}

template <int kOrder>
struct Layout {
    static constexpr int kY0 = kOrder == kOrderYuy2 ? 0 : 1;
    static constexpr int kU = kOrder == kOrderYuy2 ? 1 : 0;
    static constexpr int kV = kU + 2;
    // Both lumas of each group as words.
    static __m128i Lumas(__m128i groups) {
        return kOrder == kOrderYuy2 ? _mm_and_si128(groups, _mm_set1_epi16(0xFF)) : _mm_srli_epi16(groups, 8);
    }
};

inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// 16 pixels from 32 bytes of groups.
template <int kOrder>
inline Bgr16 Packed16(const uint8_t* src) {
    using L = Layout<kOrder>;
    const __m128i a = Load(src), b = Load(src + 16);
    const __m128i u = _mm_packs_epi32(GroupByte<L::kU>(a), GroupByte<L::kU>(b));
    const __m128i v = _mm_packs_epi32(GroupByte<L::kV>(a), GroupByte<L::kV>(b));
    return SharedChroma(L::Lumas(a), L::Lumas(b), u, v);
}

// The first pixel of each of 16 groups (64 bytes).
template <int kOrder>
inline Bgr16 Half16(const uint8_t* src) {
    using L = Layout<kOrder>;
    const __m128i c0 = Load(src), c1 = Load(src + 16), c2 = Load(src + 32), c3 = Load(src + 48);
    auto field = [&](auto byte, __m128i x, __m128i y) {
        return _mm_packs_epi32(GroupByte<decltype(byte)::value>(x), GroupByte<decltype(byte)::value>(y));
    };
    using Y0 = std::integral_constant<int, L::kY0>;
    using U = std::integral_constant<int, L::kU>;
    using V = std::integral_constant<int, L::kV>;
    return OwnChroma(field(Y0{}, c0, c1), field(Y0{}, c2, c3), field(U{}, c0, c1), field(U{}, c2, c3),
                     field(V{}, c0, c1), field(V{}, c2, c3));
}

inline Bgr16 Planar16(const uint8_t* y, const uint8_t* u, const uint8_t* v) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i luma = Load(y);
    const __m128i cu = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(u)), zero);
    const __m128i cv = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(v)), zero);
    return SharedChroma(_mm_unpacklo_epi8(luma, zero), _mm_unpackhi_epi8(luma, zero), cu, cv);
}

// The kernels over whole blocks of 16; tails go to the scalar bodies.
template <class Store>
struct Kernels {
    template <int kOrder>
    static void PackedRow(const uint8_t* src, uint8_t* dst, int pixels) {
        int n = 0;
        for (; n + 16 <= pixels; n += 16) Store::Put(Packed16<kOrder>(src + 2 * n), dst + 3 * n);
        scalar::PackedRow<kOrder>(src + 2 * n, dst + 3 * n, pixels - n);
    }
    template <int kOrder>
    static void PackedHalf(const uint8_t* src, uint8_t* dst, int count) {
        int n = 0;
        for (; n + 16 <= count; n += 16) Store::Put(Half16<kOrder>(src + 4 * n), dst + 3 * n);
        scalar::PackedHalf<kOrder>(src + 4 * n, dst + 3 * n, count - n);
    }
    template <int kOrder>
    static void PackedDoubled(const uint8_t* src, uint8_t* dst, int out_pixels) {
        int n = 0;  // output pixels; source pixel n/2 starts at byte n
        for (; n + 32 <= out_pixels; n += 32) {
            const Bgr16 p = Packed16<kOrder>(src + n);
            Store::Put({_mm_unpacklo_epi8(p.b, p.b), _mm_unpacklo_epi8(p.g, p.g), _mm_unpacklo_epi8(p.r, p.r)},
                       dst + 3 * n);
            Store::Put({_mm_unpackhi_epi8(p.b, p.b), _mm_unpackhi_epi8(p.g, p.g), _mm_unpackhi_epi8(p.r, p.r)},
                       dst + 3 * n + 48);
        }
        scalar::PackedDoubled<kOrder>(src + n, dst + 3 * n, out_pixels - n);
    }
    static void PlanarRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pixels) {
        int n = 0;
        for (; n + 16 <= pixels; n += 16) Store::Put(Planar16(y + n, u + n / 2, v + n / 2), dst + 3 * n);
        scalar::PlanarRow(y + n, u + n / 2, v + n / 2, dst + 3 * n, pixels - n);
    }
    static RowKernels Table() {
        return {{PackedRow<kOrderYuy2>, PackedRow<kOrderUyvy>},
                {PackedHalf<kOrderYuy2>, PackedHalf<kOrderUyvy>},
                {PackedDoubled<kOrderYuy2>, PackedDoubled<kOrderUyvy>},
                PlanarRow};
    }
};

}  // namespace
}  // namespace pixmorph::detail::sse
