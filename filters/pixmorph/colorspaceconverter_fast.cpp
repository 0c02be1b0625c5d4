// The fast pipeline. The reference builds the flipped YUY2 image, then the
// whole 24-bit image, then samples it. Here every output row is made straight
// from the input row it samples: row r of the flipped image is input row
// rows-1-r, the column and row indices come from the reference's own
// fixed-point arithmetic, and only the sampled pixels are converted.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "filters/pixmorph/colorspaceconverter.h"
#include "filters/pixmorph/colorspaceconverter_geometry.h"
#include "filters/pixmorph/colorspaceconverter_kernels.h"
#include "filters/pixmorph/colorspaceconverter_reference.h"

namespace pixmorph {

namespace {

using detail::FrameGeometry;
using detail::RowKernels;

// How output columns pick source columns; the first three have kernels.
enum class Columns { kIdentity, kHalf, kDoubled, kGeneral };

struct RowSource {
    enum Kind { kRgb, kPacked, kPlanar } kind;
    int order;  // byte order of packed groups
    const uint8_t* base;
    size_t pitch;
    bool flipped;
    int rows;
    const uint8_t* u;  // I420 chroma planes
    const uint8_t* v;

    const uint8_t* Row(int r) const { return base + static_cast<size_t>(flipped ? rows - 1 - r : r) * pitch; }
};

// Per-frame rows and tables, in one allocation.
class Scratch {
public:
    bool Allocate(int width, int out_width) {
        const size_t cols = 4 * static_cast<size_t>(out_width);
        const size_t rgb = 3 * static_cast<size_t>(width);
        const size_t packed = 2 * static_cast<size_t>(width);
        const size_t gathered = 4 * static_cast<size_t>(out_width);
        memory_.reset(new (std::nothrow) uint8_t[cols + rgb + packed + gathered + 16]);
        if (!memory_) return false;
        cols_ = reinterpret_cast<int32_t*>(memory_.get());
        rgb_row_ = memory_.get() + cols;
        packed_row_ = rgb_row_ + rgb;
        gathered_ = packed_row_ + packed;
        return true;
    }
    int32_t* cols() const { return cols_; }
    uint8_t* rgb_row() const { return rgb_row_; }        // one 24-bit source row
    uint8_t* packed_row() const { return packed_row_; }  // one I420 row as YUY2
    uint8_t* gathered() const { return gathered_; }      // one group per output pixel

private:
    std::unique_ptr<uint8_t[]> memory_;
    int32_t* cols_ = nullptr;
    uint8_t* rgb_row_ = nullptr;
    uint8_t* packed_row_ = nullptr;
    uint8_t* gathered_ = nullptr;
};

class FastFrame {
public:
    FastFrame(const InputFrame& in, const WorkBuffers& work, const OutputFrame& out, const FrameGeometry& g)
        : in_(in),
          work_(work),
          out_(out),
          g_(g),
          k_(detail::ActiveKernels()),
          row_step_(out.mode == ScaleMode::kSize ? ScaleStep(g.rows, g.out_height, kBuildStepPrecision) : 0) {}

    Status Run() {
        if (!scratch_.Allocate(g_.width, g_.out_width)) {
            std::memset(out_.data, 0, g_.out_size);
            return Status::kNoMemory;
        }
        PrepareSource();
        const Columns columns = MapColumns();
        const size_t row_bytes = 3 * static_cast<size_t>(g_.out_width);
        int previous = -1;
        for (int y = 0; y < g_.out_height; ++y) {
            uint8_t* dst = out_.data + y * row_bytes;
            const int r = SourceRow(y);
            if (r == previous)
                std::memcpy(dst, dst - row_bytes, row_bytes);
            else
                EmitRow(r, columns, dst);
            previous = r;
        }
        const size_t written = row_bytes * g_.out_height;
        std::memset(out_.data + written, 0, g_.out_size - written);
        return Status::kOk;
    }

private:
    void PrepareSource() {
        RowSource& s = source_;
        s = {RowSource::kPacked, detail::kOrderYuy2, in_.data, 2 * static_cast<size_t>(g_.width), true, g_.rows,
             nullptr, nullptr};
        switch (in_.subtype) {
        case Subtype::kRgb24:
            s.kind = RowSource::kRgb;
            s.pitch = 3 * static_cast<size_t>(g_.width);
            s.flipped = false;
            break;
        case Subtype::kUyvy: s.order = detail::kOrderUyvy; break;
        case Subtype::kYuy2:
        case Subtype::kYuyv: s.pitch = in_.length / g_.rows; break;
        case Subtype::kI420:
            if (g_.width % 2 == 0) {
                const detail::I420Layout layout = detail::I420LayoutOf(g_.width, g_.rows);
                s.kind = RowSource::kPlanar;
                s.pitch = g_.width;
                s.u = in_.data + layout.u_offset;
                s.v = in_.data + layout.v_offset;
            } else {
                // Odd widths make the chroma walk drift from row to row; unpack
                // as the reference does and read the result as a YUY2 frame.
                std::memset(work_.yuy2, 0, g_.yuy2_length);
                oracle::I420ToYuy2(in_.data, in_.length, g_.width, g_.rows, work_.yuy2, work_.yuy2_capacity);
                s.base = work_.yuy2;
            }
            break;
        }
    }

    Columns MapColumns() {
        int32_t* cols = scratch_.cols();
        const int n = g_.out_width;
        if (out_.mode == ScaleMode::kMultiple) {
            for (int x = 0; x < n; ++x) cols[x] = x / out_.multiple_x;
        } else {
            const int32_t step = ScaleStep(g_.width, n, kBuildStepPrecision);
            for (int x = 0; x < n; ++x) cols[x] = (x * step) >> 15;
        }
        auto all = [&](auto rule) {
            for (int x = 0; x < n; ++x)
                if (cols[x] != rule(x)) return false;
            return true;
        };
        if (n == g_.width && all([](int x) { return x; })) return Columns::kIdentity;
        if (all([](int x) { return 2 * x; })) return Columns::kHalf;
        if (all([](int x) { return x / 2; })) return Columns::kDoubled;
        return Columns::kGeneral;
    }

    int SourceRow(int y) const {
        return out_.mode == ScaleMode::kMultiple ? y / out_.multiple_y : (y * row_step_) >> 15;
    }

    void EmitRow(int r, Columns columns, uint8_t* dst) {
        switch (source_.kind) {
        case RowSource::kRgb: EmitRgb(source_.Row(r), columns, dst); break;
        case RowSource::kPlanar: EmitPlanar(r, columns, dst); break;
        case RowSource::kPacked:
            if (g_.width % 2 == 0) {
                EmitPacked(source_.Row(r), source_.order, columns, dst);
            } else if (columns == Columns::kIdentity) {
                MakeOddWidthRow(r, dst);
            } else {
                MakeOddWidthRow(r, scratch_.rgb_row());
                EmitRgb(scratch_.rgb_row(), columns, dst);
            }
            break;
        }
    }

    void EmitRgb(const uint8_t* row, Columns columns, uint8_t* dst) const {
        if (columns == Columns::kIdentity) {
            std::memcpy(dst, row, 3 * static_cast<size_t>(g_.width));
            return;
        }
        const int32_t* cols = scratch_.cols();
        for (int x = 0; x < g_.out_width; ++x, dst += 3) std::memcpy(dst, row + 3 * cols[x], 3);
    }

    // A row of whole groups (even widths).
    void EmitPacked(const uint8_t* row, int order, Columns columns, uint8_t* dst) const {
        switch (columns) {
        case Columns::kIdentity: k_.packed_row[order](row, dst, g_.width); return;
        case Columns::kHalf: k_.packed_half[order](row, dst, g_.out_width); return;
        case Columns::kDoubled: k_.packed_doubled[order](row, dst, g_.out_width); return;
        case Columns::kGeneral: break;
        }
        if (g_.out_width <= g_.width) {
            GatherGroups(row, order);
            k_.packed_half[detail::kOrderYuy2](scratch_.gathered(), dst, g_.out_width);
        } else {
            k_.packed_row[order](row, scratch_.rgb_row(), g_.width);
            EmitRgb(scratch_.rgb_row(), columns, dst);
        }
    }

    // One YUY2 group per output pixel, its own luma first, so that the
    // first-pixel kernel converts exactly the sampled pixels.
    void GatherGroups(const uint8_t* row, int order) const {
        const int32_t* cols = scratch_.cols();
        uint8_t* out = scratch_.gathered();
        const int y_at = order == detail::kOrderYuy2 ? 0 : 1;
        const int u_at = 1 - y_at;
        for (int x = 0; x < g_.out_width; ++x, out += 4) {
            const int n = cols[x];
            const uint8_t* group = row + 4 * (n / 2);
            out[0] = group[y_at + 2 * (n & 1)];
            out[1] = group[u_at];
            out[2] = 0;
            out[3] = group[u_at + 2];
        }
    }

    void EmitPlanar(int r, Columns columns, uint8_t* dst) const {
        const size_t k = static_cast<size_t>(g_.rows - 1 - r);
        const size_t half = g_.width / 2;
        const uint8_t* y = source_.base + k * g_.width;
        const uint8_t* u = source_.u + (k / 2) * half;
        const uint8_t* v = source_.v + (k / 2) * half;
        if (columns == Columns::kIdentity) {
            k_.planar_row(y, u, v, dst, g_.width);
            return;
        }
        uint8_t* packed = scratch_.packed_row();
        for (size_t i = 0; i < half; ++i) {
            packed[4 * i] = y[2 * i];
            packed[4 * i + 1] = u[i];
            packed[4 * i + 2] = y[2 * i + 1];
            packed[4 * i + 3] = v[i];
        }
        EmitPacked(packed, detail::kOrderYuy2, columns, dst);
    }

    // Byte j of the flipped YUY2 image, read from the input.
    uint8_t FlippedByte(size_t j) const {
        const size_t pitch = 2 * static_cast<size_t>(g_.width);
        return source_.Row(static_cast<int>(j / pitch))[(j % pitch) ^ static_cast<size_t>(source_.order)];
    }

    // With an odd width the pixel pairs run across row ends: a row may begin
    // with the second pixel of a pair and end with the first of the next.
    void MakeOddWidthRow(int r, uint8_t* rgb) const {
        const size_t first = static_cast<size_t>(r) * g_.width;
        int c = 0;
        if (first & 1) {
            const size_t pair = 2 * (first - 1);
            detail::YuvPixel(rgb, FlippedByte(2 * first), detail::TermsOf(FlippedByte(pair + 1), FlippedByte(pair + 3)));
            c = 1;
        }
        const int whole = (g_.width - c) & ~1;
        k_.packed_row[source_.order](source_.Row(r) + 2 * c, rgb + 3 * c, whole);
        c += whole;
        if (c == g_.width) return;
        const size_t n = first + c;
        if (n + 1 == static_cast<size_t>(g_.width) * g_.rows)
            std::memset(rgb + 3 * c, 0, 3);  // the last pixel has no pair: black, as in the reference
        else
            detail::YuvPixel(rgb + 3 * c, FlippedByte(2 * n), detail::TermsOf(FlippedByte(2 * n + 1), FlippedByte(2 * n + 3)));
    }

    const InputFrame& in_;
    const WorkBuffers& work_;
    const OutputFrame& out_;
    const FrameGeometry& g_;
    const RowKernels& k_;
    const int32_t row_step_;
    RowSource source_{};
    Scratch scratch_;
};

}  // namespace

Status ConvertFrame(const InputFrame& in, const WorkBuffers& work, const OutputFrame& out) {
    FrameGeometry g;
    if (const Status s = detail::CheckFrame(in, work, out, &g); s != Status::kOk) return s;
    return FastFrame(in, work, out, g).Run();
}

}  // namespace pixmorph
