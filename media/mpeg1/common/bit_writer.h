// MSB-first bit packing into a byte vector: the bit order of every MPEG-1
// syntax element (video, audio and system layers alike).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mpeg {

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>* out) : out_(out) {}

    // `bits` is 0..24 and `value` must fit in it; a 32-bit accumulator then
    // never holds more than 31 pending bits, which keeps i686 code cheap.
    void Put(uint32_t value, int bits) {
        acc_ = (acc_ << bits) | value;
        pending_ += bits;
        while (pending_ >= 8) {
            pending_ -= 8;
            out_->push_back(static_cast<uint8_t>(acc_ >> pending_));
        }
    }

    // Any width up to 32 bits.
    void PutWide(uint32_t value, int bits) {
        if (bits > 16) {
            Put(value >> 16, bits - 16);
            Put(value & 0xFFFF, 16);
        } else {
            Put(value, bits);
        }
    }

    void PutBit(bool bit) { Put(bit ? 1 : 0, 1); }

    bool Aligned() const { return pending_ == 0; }
    void AlignWithZeros() {
        if (pending_ != 0) Put(0, 8 - pending_);
    }

    // Start codes sit on byte boundaries; the zero bits before one are the
    // stuffing the syntax allows there.
    void PutStartCode(uint8_t code) {
        AlignWithZeros();
        out_->push_back(0);
        out_->push_back(0);
        out_->push_back(1);
        out_->push_back(code);
    }

    size_t BitPosition() const { return out_->size() * 8 + static_cast<size_t>(pending_); }

private:
    std::vector<uint8_t>* out_;
    uint32_t acc_ = 0;
    int pending_ = 0;
};

}  // namespace mpeg
