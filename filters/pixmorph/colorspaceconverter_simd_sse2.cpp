// Built with -msse2: the 32-bit build's baseline is plain i686.
#include "filters/pixmorph/colorspaceconverter_kernels.h"

#if defined(__SSE2__)
#include <cstring>
#include <type_traits>

#include "filters/pixmorph/colorspaceconverter_simd_sse.h"

namespace pixmorph::detail {
namespace {

// Without byte shuffles: widen to B G R 0 words, then squeeze each four
// pixels from 16 bytes to 12.
struct StoreSse2 {
    static void Put4(__m128i bgr0, uint8_t* dst) {
        const __m128i even = _mm_and_si128(bgr0, _mm_set_epi32(0, -1, 0, -1));
        const __m128i odd = _mm_srli_epi64(_mm_and_si128(bgr0, _mm_set_epi32(-1, 0, -1, 0)), 8);
        const __m128i pairs = _mm_or_si128(even, odd);  // 6 bytes in each half
        const __m128i high = _mm_and_si128(_mm_srli_si128(pairs, 2), _mm_set_epi32(0, -1, static_cast<int>(0xFFFF0000u), 0));
        const __m128i packed = _mm_or_si128(_mm_move_epi64(pairs), high);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dst), packed);
        const int32_t tail = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
        std::memcpy(dst + 8, &tail, 4);
    }
    static void Put(const sse::Bgr16& p, uint8_t* dst) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i bg_lo = _mm_unpacklo_epi8(p.b, p.g), bg_hi = _mm_unpackhi_epi8(p.b, p.g);
        const __m128i r_lo = _mm_unpacklo_epi8(p.r, zero), r_hi = _mm_unpackhi_epi8(p.r, zero);
        Put4(_mm_unpacklo_epi16(bg_lo, r_lo), dst);
        Put4(_mm_unpackhi_epi16(bg_lo, r_lo), dst + 12);
        Put4(_mm_unpacklo_epi16(bg_hi, r_hi), dst + 24);
        Put4(_mm_unpackhi_epi16(bg_hi, r_hi), dst + 36);
    }
};

}  // namespace

const RowKernels* Sse2Kernels() {
    static const RowKernels kernels = sse::Kernels<StoreSse2>::Table();
    return &kernels;
}

}  // namespace pixmorph::detail
#else
const pixmorph::detail::RowKernels* pixmorph::detail::Sse2Kernels() { return nullptr; }
#endif
