// The bit-packed records of SWF (rectangles, matrices, colour transforms)
// read from untrusted bytes (internal to the Flash decoder).
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame_files {

// Reads SWF's big-endian bit fields and little-endian byte fields. Past the
// end it yields zeros and clears ok().
class SwfBitReader {
public:
    SwfBitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    uint32_t Bits(int count);         // unsigned, count 0..32
    int32_t SignedBits(int count);    // sign-extended
    void Align() { bit_ = (bit_ + 7) & ~size_t{7}; }
    uint8_t U8();
    uint16_t U16();
    size_t BytesLeft() const;

private:
    const uint8_t* data_;
    size_t size_;
    size_t bit_ = 0;
    bool ok_ = true;
};

struct SwfRect {
    int32_t x_min = 0, x_max = 0, y_min = 0, y_max = 0;  // twips
};

// x' = a x + c y + tx, y' = b x + d y + ty (SWF's ScaleX, RotateSkew0,
// RotateSkew1, ScaleY, translation in twips).
struct SwfMatrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    SwfMatrix Then(const SwfMatrix& outer) const;  // outer after this
    bool Inverse(SwfMatrix* inverse) const;       // false when singular
    void Apply(double x, double y, double* out_x, double* out_y) const {
        *out_x = a * x + c * y + tx;
        *out_y = b * x + d * y + ty;
    }
};

// Per channel R, G, B, A: value * mult / 256 + add, clamped.
struct SwfColourTransform {
    int32_t mult[4] = {256, 256, 256, 256};
    int32_t add[4] = {0, 0, 0, 0};
};

SwfRect ReadRect(SwfBitReader& in);        // leaves the reader byte-aligned
SwfMatrix ReadMatrix(SwfBitReader& in);    // leaves the reader byte-aligned
SwfColourTransform ReadColourTransform(SwfBitReader& in, bool with_alpha);

}  // namespace frame_files
