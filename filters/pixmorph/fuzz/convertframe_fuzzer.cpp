// ConvertFrame with subtype, sizes (odd, negative, out of range), actual
// length, mode, multiples, buffer capacities and instruction-set level taken
// from the input, the rest of which is the frame. Every buffer is a heap block
// of exactly its stated capacity, so the sanitizers see any access past it.
// The fast pipeline must give the reference's status and bytes, and a refused
// frame must leave the output as it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "filters/pixmorph/colorspaceconverter.h"
#include "filters/pixmorph/colorspaceconverter_reference.h"

namespace {

using namespace pixmorph;

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    unsigned Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    unsigned Word() { return Byte() | Byte() << 8; }
    const uint8_t* Rest() const { return data_ + pos_; }
    size_t RestSize() const { return size_ - pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Mostly small sizes, sometimes camera sizes or sizes that must be refused.
int Dimension(Reader& r, int small) {
    const unsigned pick = r.Byte();
    if (pick < 6) return static_cast<int>(pick) - 3;  // -3 .. 2
    if (pick < 9) return kMaxDimension + static_cast<int>(pick) - 7;
    if (pick < 40) return 1 + static_cast<int>(r.Word() % 700);
    return 1 + static_cast<int>(r.Byte() % small);
}

// The least accepted size, or a little less, or more.
size_t Capacity(Reader& r, size_t least) {
    const unsigned pick = r.Byte();
    if (pick < 16) return least - std::min<size_t>(least, 1 + pick % 8);
    if (pick < 32) return least + pick;
    return least;
}

bool Plausible(int n) { return n >= 1 && n <= kMaxDimension; }

struct Run {
    std::vector<uint8_t> yuy2, rgb, out;
    Status status;
};

Run Convert(Status (*convert)(const InputFrame&, const WorkBuffers&, const OutputFrame&), const InputFrame& in,
            size_t yuy2_capacity, size_t rgb_capacity, OutputFrame out, size_t out_capacity) {
    Run run{std::vector<uint8_t>(yuy2_capacity, 0x5A), std::vector<uint8_t>(rgb_capacity, 0x5A),
            std::vector<uint8_t>(out_capacity, 0xA5), Status::kOk};
    out.data = run.out.data();
    out.capacity = out_capacity;
    const WorkBuffers work{run.yuy2.data(), yuy2_capacity, run.rgb.data(), rgb_capacity};
    run.status = convert(in, work, out);
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InitYuvTables();
    Reader r(data, size);
    const auto subtype = static_cast<Subtype>(r.Byte() % 6);  // 5 is no subtype
    const int width = Dimension(r, 48);
    const int rows = Dimension(r, 24);
    const int height = r.Byte() & 1 ? -rows : rows;
    OutputFrame out{};
    out.mode = static_cast<ScaleMode>(r.Byte() % 3 == 0 ? 1 : 0);
    out.multiple_x = static_cast<int>(r.Byte() % 6);
    out.multiple_y = static_cast<int>(r.Byte() % 5);
    out.width = out.mode == ScaleMode::kMultiple ? width * out.multiple_x : Dimension(r, 96);
    out.height = out.mode == ScaleMode::kMultiple ? rows * out.multiple_y : Dimension(r, 48);
    if (r.Byte() < 8) out.width += 1;  // a multiple-mode size that does not match
    ForceSimdLevel(static_cast<SimdLevel>(r.Byte() % 4));

    // Keep accepted frames small enough to run fast; others are refused unread.
    const bool sane = Plausible(width) && Plausible(rows) && Plausible(out.width) && Plausible(out.height) &&
                      static_cast<int64_t>(width) * rows <= (1 << 20) &&
                      static_cast<int64_t>(out.width) * out.height <= (1 << 21);
    const auto least = [&](size_t n) { return sane ? n : size_t{64}; };
    const size_t length = Capacity(r, least(InputFrameSize(subtype, width, rows)));
    const size_t yuy2_capacity = Capacity(r, least(Yuy2WorkSize(subtype, width, rows)));
    const size_t rgb_capacity = Capacity(r, least(RgbWorkSize(width, rows)));
    const size_t out_capacity = Capacity(r, least(OutputFrameSize(out.width, out.height)));

    std::vector<uint8_t> frame(length);
    for (size_t i = 0; i < length && r.RestSize() > 0; ++i) frame[i] = r.Rest()[i % r.RestSize()];
    const InputFrame in{frame.data(), length, subtype, width, height};

    const Run want = Convert(oracle::ConvertFrame, in, yuy2_capacity, rgb_capacity, out, out_capacity);
    const Run got = Convert(ConvertFrame, in, yuy2_capacity, rgb_capacity, out, out_capacity);
    if (want.status != got.status || want.out != got.out) std::abort();
    if (got.status != Status::kOk && got.out != std::vector<uint8_t>(out_capacity, 0xA5)) std::abort();
    ForceSimdLevel(SimdLevel::kAvx2);
    return 0;
}
