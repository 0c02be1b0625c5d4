// Built with -mssse3.
#include "filters/pixmorph/colorspaceconverter_kernels.h"

#if defined(__SSSE3__)
#include <tmmintrin.h>

#include <type_traits>

#include "filters/pixmorph/colorspaceconverter_simd_sse.h"

namespace pixmorph::detail {
namespace {

// Shuffle controls that spread the B, G and R bytes of 16 pixels over the
// three 16-byte chunks of their 48 output bytes; 0x80 yields zero.
struct InterleaveMasks {
    alignas(16) uint8_t bytes[3][3][16];  // [chunk][channel][lane]
    constexpr InterleaveMasks() : bytes{} {
        for (int k = 0; k < 48; ++k)
            for (int channel = 0; channel < 3; ++channel)
                bytes[k / 16][channel][k % 16] = static_cast<uint8_t>(k % 3 == channel ? k / 3 : 0x80);
    }
};
constexpr InterleaveMasks kMasks;

struct StoreSsse3 {
    static __m128i Mask(int chunk, int channel) {
        return _mm_load_si128(reinterpret_cast<const __m128i*>(kMasks.bytes[chunk][channel]));
    }
    static void Put(const sse::Bgr16& p, uint8_t* dst) {
        for (int chunk = 0; chunk < 3; ++chunk) {
            const __m128i bytes = _mm_or_si128(
                _mm_or_si128(_mm_shuffle_epi8(p.b, Mask(chunk, 0)), _mm_shuffle_epi8(p.g, Mask(chunk, 1))),
                _mm_shuffle_epi8(p.r, Mask(chunk, 2)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 16 * chunk), bytes);
        }
    }
};

}  // namespace

const RowKernels* Ssse3Kernels() {
    static const RowKernels kernels = sse::Kernels<StoreSsse3>::Table();
    return &kernels;
}

}  // namespace pixmorph::detail
#else
const pixmorph::detail::RowKernels* pixmorph::detail::Ssse3Kernels() { return nullptr; }
#endif
