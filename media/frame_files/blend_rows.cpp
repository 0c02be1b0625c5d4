#include "media/frame_files/blend_rows.h"

#include <initializer_list>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FRAME_FILES_X86 1
#endif

namespace frame_files {
namespace {

// Every step fits 16 bits: 255 * 255 + 128 + 254 < 65536.
void BlendRowScalar(uint8_t* dst, const uint8_t* src, const uint8_t* inverse, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        unsigned v = dst[i] * inverse[i] + 128u;
        v = (v + (v >> 8)) >> 8;
        const unsigned sum = src[i] + v;
        dst[i] = static_cast<uint8_t>(sum > 255 ? 255 : sum);
    }
}

#ifdef FRAME_FILES_X86
// (v * 257) >> 16 equals (v + (v >> 8)) >> 8 for every 16-bit v, in one multiply.
__attribute__((target("sse2"))) void BlendRowSse2(uint8_t* dst, const uint8_t* src, const uint8_t* inverse,
                                                  size_t n) {
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128), m257 = _mm_set1_epi16(257);
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i k = _mm_loadu_si128(reinterpret_cast<const __m128i*>(inverse + i));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(k, zero));
        __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(k, zero));
        lo = _mm_mulhi_epu16(_mm_add_epi16(lo, half), m257);
        hi = _mm_mulhi_epu16(_mm_add_epi16(hi, half), m257);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epu8(_mm_packus_epi16(lo, hi), s));
    }
    BlendRowScalar(dst + i, src + i, inverse + i, n - i);
}

// The same in 256-bit lanes; unpack and pack both work per 128-bit half, so
// their round trip keeps the byte order. MinGW's GCC cannot align the stack
// to 32 bytes, so a 256-bit spill could fault there: the loop keeps few
// values live and none goes to the stack (checked in the Windows objects).
__attribute__((target("avx2"))) void BlendRowAvx2(uint8_t* dst, const uint8_t* src, const uint8_t* inverse,
                                                  size_t n) {
    const __m256i zero = _mm256_setzero_si256(), half = _mm256_set1_epi16(128), m257 = _mm256_set1_epi16(257);
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        const __m256i k = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(inverse + i));
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i lo = _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_unpacklo_epi8(k, zero));
        __m256i hi = _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_unpackhi_epi8(k, zero));
        lo = _mm256_mulhi_epu16(_mm256_add_epi16(lo, half), m257);
        hi = _mm256_mulhi_epu16(_mm256_add_epi16(hi, half), m257);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                            _mm256_adds_epu8(_mm256_packus_epi16(lo, hi), s));
    }
    BlendRowSse2(dst + i, src + i, inverse + i, n - i);
}
#endif

}  // namespace

BlendRowFunction BlendRowFor(BlendLevel level) {
    switch (level) {
        case BlendLevel::Scalar: return BlendRowScalar;
#ifdef FRAME_FILES_X86
        case BlendLevel::Sse2: return __builtin_cpu_supports("sse2") ? BlendRowSse2 : nullptr;
        case BlendLevel::Avx2: return __builtin_cpu_supports("avx2") ? BlendRowAvx2 : nullptr;
#else
        default: return nullptr;
#endif
    }
    return nullptr;
}

BlendLevel BestBlendLevel() {
    for (BlendLevel level : {BlendLevel::Avx2, BlendLevel::Sse2})
        if (BlendRowFor(level)) return level;
    return BlendLevel::Scalar;
}

}  // namespace frame_files
