#include "filters/pixmorph/colorspaceconverter_kernels.h"

#include <cstring>

namespace pixmorph::detail {
namespace scalar {

namespace {
// Offsets of Y0, U, Y1, V inside a group.
template <int kOrder>
struct Group {
    static constexpr int kY0 = kOrder == kOrderYuy2 ? 0 : 1;
    static constexpr int kU = kOrder == kOrderYuy2 ? 1 : 0;
    static constexpr int kY1 = kY0 + 2;
    static constexpr int kV = kU + 2;
};
}  // namespace

template <int kOrder>
void PackedRow(const uint8_t* src, uint8_t* dst, int pixels) {
    using G = Group<kOrder>;
    for (int n = 0; n < pixels; n += 2, src += 4, dst += 6) {
        const ChromaTerms t = TermsOf(src[G::kU], src[G::kV]);
        YuvPixel(dst, src[G::kY0], t);
        if (n + 1 < pixels) YuvPixel(dst + 3, src[G::kY1], t);
    }
}

template <int kOrder>
void PackedHalf(const uint8_t* src, uint8_t* dst, int count) {
    using G = Group<kOrder>;
    for (int x = 0; x < count; ++x, src += 4, dst += 3) YuvPixel(dst, src[G::kY0], TermsOf(src[G::kU], src[G::kV]));
}

template <int kOrder>
void PackedDoubled(const uint8_t* src, uint8_t* dst, int out_pixels) {
    using G = Group<kOrder>;
    // Each group gives output pixels Y0 Y0 Y1 Y1.
    int x = 0;
    for (; x + 4 <= out_pixels; x += 4, src += 4, dst += 12) {
        const ChromaTerms t = TermsOf(src[G::kU], src[G::kV]);
        YuvPixel(dst, src[G::kY0], t);
        YuvPixel(dst + 6, src[G::kY1], t);
        std::memcpy(dst + 3, dst, 3);
        std::memcpy(dst + 9, dst + 6, 3);
    }
    for (; x < out_pixels; ++x, dst += 3)
        YuvPixel(dst, src[x & 2 ? G::kY1 : G::kY0], TermsOf(src[G::kU], src[G::kV]));
}

template void PackedRow<kOrderYuy2>(const uint8_t*, uint8_t*, int);
template void PackedRow<kOrderUyvy>(const uint8_t*, uint8_t*, int);
template void PackedHalf<kOrderYuy2>(const uint8_t*, uint8_t*, int);
template void PackedHalf<kOrderUyvy>(const uint8_t*, uint8_t*, int);
template void PackedDoubled<kOrderYuy2>(const uint8_t*, uint8_t*, int);
template void PackedDoubled<kOrderUyvy>(const uint8_t*, uint8_t*, int);

void PlanarRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pixels) {
    for (int n = 0; n < pixels; n += 2, dst += 6) {
        const ChromaTerms t = TermsOf(u[n / 2], v[n / 2]);
        YuvPixel(dst, y[n], t);
        if (n + 1 < pixels) YuvPixel(dst + 3, y[n + 1], t);
    }
}

}  // namespace scalar

const RowKernels& ScalarKernels() {
    static const RowKernels kernels = {
        {scalar::PackedRow<kOrderYuy2>, scalar::PackedRow<kOrderUyvy>},
        {scalar::PackedHalf<kOrderYuy2>, scalar::PackedHalf<kOrderUyvy>},
        {scalar::PackedDoubled<kOrderYuy2>, scalar::PackedDoubled<kOrderUyvy>},
        scalar::PlanarRow,
    };
    return kernels;
}

}  // namespace pixmorph::detail
