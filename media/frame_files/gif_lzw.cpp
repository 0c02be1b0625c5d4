#include "media/frame_files/gif_lzw.h"

#include <memory>

namespace frame_files {
namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeBits = 12;

// The table as prefix links: a code's string is its prefix's string plus its
// last byte; `first` keeps the string's first byte for the code-not-yet-in-
// the-table case.
struct LzwTable {
    uint16_t prefix[kMaxCodes];
    uint8_t last[kMaxCodes];
    uint8_t first[kMaxCodes];
    uint16_t length[kMaxCodes];
};

class CodeReader {
public:
    CodeReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    // False when the data holds fewer than bits more bits.
    bool Read(int bits, int* code) {
        while (count_ < bits) {
            if (pos_ == size_) return false;
            buffer_ |= static_cast<uint32_t>(data_[pos_++]) << count_;
            count_ += 8;
        }
        *code = static_cast<int>(buffer_ & ((1u << bits) - 1));
        buffer_ >>= bits;
        count_ -= bits;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    uint32_t buffer_ = 0;
    int count_ = 0;
};

// Writes code's string at out[*written...], cut at the end of out.
void Emit(const LzwTable& t, int code, std::vector<uint8_t>& out, size_t* written) {
    const size_t length = t.length[code];
    const size_t room = out.size() - *written;
    for (size_t i = length; i-- > 0; code = t.prefix[code])
        if (i < room) out[*written + i] = t.last[code];
    *written += length < room ? length : room;
}

}  // namespace

LzwResult DecodeGifLzw(int min_code_size, const uint8_t* data, size_t size, std::vector<uint8_t>& pixels,
                       size_t* written) {
    *written = 0;
    if (min_code_size < 1 || min_code_size > 11) return LzwResult::Corrupt;
    auto table = std::make_unique<LzwTable>();
    const int clear = 1 << min_code_size, end = clear + 1;
    for (int i = 0; i < clear; ++i) {
        table->prefix[i] = 0;
        table->last[i] = table->first[i] = static_cast<uint8_t>(i);
        table->length[i] = 1;
    }
    CodeReader reader(data, size);
    int code_bits = min_code_size + 1, next = clear + 2, previous = -1, code = 0;
    while (*written < pixels.size()) {
        if (!reader.Read(code_bits, &code)) return LzwResult::Short;
        if (code == clear) {
            code_bits = min_code_size + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) return LzwResult::Short;
        if (previous < 0) {
            if (code >= clear) return LzwResult::Corrupt;
        } else {
            if (code > next || (code == next && next == kMaxCodes)) return LzwResult::Corrupt;
            if (next < kMaxCodes) {
                const uint8_t first = code < next ? table->first[code] : table->first[previous];
                table->prefix[next] = static_cast<uint16_t>(previous);
                table->last[next] = first;
                table->first[next] = table->first[previous];
                table->length[next] = static_cast<uint16_t>(table->length[previous] + 1);
                ++next;
                if (next == (1 << code_bits) && code_bits < kMaxCodeBits) ++code_bits;
            }
        }
        Emit(*table, code, pixels, written);
        previous = code;
    }
    return LzwResult::Complete;
}

}  // namespace frame_files
