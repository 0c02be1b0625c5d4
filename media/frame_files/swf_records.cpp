#include "media/frame_files/swf_records.h"

namespace frame_files {

uint32_t SwfBitReader::Bits(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i, ++bit_) {
        if (bit_ >= size_ * 8) {
            ok_ = false;
            return 0;
        }
        value = value << 1 | ((data_[bit_ >> 3] >> (7 - (bit_ & 7))) & 1);
    }
    return value;
}

int32_t SwfBitReader::SignedBits(int count) {
    const uint32_t value = Bits(count);
    if (count == 0 || count >= 32) return static_cast<int32_t>(value);
    const uint32_t sign = 1u << (count - 1);
    return static_cast<int32_t>((value ^ sign) - sign);
}

uint8_t SwfBitReader::U8() {
    Align();
    return static_cast<uint8_t>(Bits(8));
}

uint16_t SwfBitReader::U16() {
    const uint8_t low = U8();
    return static_cast<uint16_t>(low | U8() << 8);
}

size_t SwfBitReader::BytesLeft() const {
    const size_t byte = (bit_ + 7) / 8;
    return byte < size_ ? size_ - byte : 0;
}

SwfMatrix SwfMatrix::Then(const SwfMatrix& o) const {
    SwfMatrix m;
    m.a = o.a * a + o.c * b;
    m.b = o.b * a + o.d * b;
    m.c = o.a * c + o.c * d;
    m.d = o.b * c + o.d * d;
    m.tx = o.a * tx + o.c * ty + o.tx;
    m.ty = o.b * tx + o.d * ty + o.ty;
    return m;
}

bool SwfMatrix::Inverse(SwfMatrix* inverse) const {
    const double det = a * d - b * c;
    if (det > -1e-12 && det < 1e-12) return false;
    inverse->a = d / det;
    inverse->b = -b / det;
    inverse->c = -c / det;
    inverse->d = a / det;
    inverse->tx = -(inverse->a * tx + inverse->c * ty);
    inverse->ty = -(inverse->b * tx + inverse->d * ty);
    return true;
}

SwfRect ReadRect(SwfBitReader& in) {
    in.Align();
    const int bits = static_cast<int>(in.Bits(5));
    SwfRect r;
    r.x_min = in.SignedBits(bits);
    r.x_max = in.SignedBits(bits);
    r.y_min = in.SignedBits(bits);
    r.y_max = in.SignedBits(bits);
    in.Align();
    return r;
}

SwfMatrix ReadMatrix(SwfBitReader& in) {
    in.Align();
    SwfMatrix m;
    constexpr double kFixed = 65536.0;
    if (in.Bits(1)) {
        const int bits = static_cast<int>(in.Bits(5));
        m.a = in.SignedBits(bits) / kFixed;
        m.d = in.SignedBits(bits) / kFixed;
    }
    if (in.Bits(1)) {
        const int bits = static_cast<int>(in.Bits(5));
        m.b = in.SignedBits(bits) / kFixed;
        m.c = in.SignedBits(bits) / kFixed;
    }
    const int bits = static_cast<int>(in.Bits(5));
    m.tx = in.SignedBits(bits);
    m.ty = in.SignedBits(bits);
    in.Align();
    return m;
}

SwfColourTransform ReadColourTransform(SwfBitReader& in, bool with_alpha) {
    in.Align();
    SwfColourTransform t;
    const bool has_add = in.Bits(1), has_mult = in.Bits(1);
    const int bits = static_cast<int>(in.Bits(4));
    const int channels = with_alpha ? 4 : 3;
    if (has_mult)
        for (int i = 0; i < channels; ++i) t.mult[i] = in.SignedBits(bits);
    if (has_add)
        for (int i = 0; i < channels; ++i) t.add[i] = in.SignedBits(bits);
    in.Align();
    return t;
}

}  // namespace frame_files
