// The route every format pair can take: rows are processed two at a time (a
// 4:2:0 chroma row spans two picture rows) through an intermediate row, B G R A
// when either side is RGB, separate Y/U/V 4:2:2 rows when both are YUV.
#include <algorithm>
#include <cstring>
#include <vector>

#include "pixel_formats/frame_access.h"
#include "pixel_formats/rgb_rows.h"
#include "pixel_formats/yuv_rows.h"

namespace pixel_formats {
namespace detail {
namespace {

struct YuvRow {
    const uint8_t* y;
    const uint8_t* u;
    const uint8_t* v;
};

class GenericConverter {
public:
    GenericConverter(const SrcFrame& src, const DstFrame& dst)
        : src_(src), dst_(dst), width_(src.layout.width), chroma_width_((width_ + 1) / 2) {
        for (int i = 0; i < 2; ++i) {
            bgra_[i].resize(static_cast<size_t>(width_) * 4);
            y_[i].resize(width_);
            u_[i].resize(chroma_width_);
            v_[i].resize(chroma_width_);
        }
    }

    void Run() {
        const bool through_rgb = IsRgb(src_.format) || IsRgb(dst_.format);
        const int height = src_.layout.height;
        for (int row = 0; row < height; row += 2) {
            const int count = std::min(2, height - row);
            if (through_rgb) {
                for (int i = 0; i < count; ++i) ReadBgra(row + i, i);
                WriteBgra(row, count);
            } else {
                YuvRow rows[2];
                for (int i = 0; i < count; ++i) rows[i] = ReadYuv(row + i, i);
                WriteYuv(row, count, rows);
            }
        }
    }

private:
    // Packed rows unpack into scratch slot `slot`; planar rows are used in place.
    YuvRow ReadYuv(int row, int slot) {
        if (FamilyOf(src_.format) == FormatFamily::kPlanar420) {
            return {src_.Row(0, row), src_.Row(1, row / 2), src_.Row(2, row / 2)};
        }
        UnpackPacked422Row(OrderOf(src_.format), src_.Row(0, row), y_[slot].data(), u_[slot].data(),
                           v_[slot].data(), width_);
        return {y_[slot].data(), u_[slot].data(), v_[slot].data()};
    }

    void ReadBgra(int row, int slot) {
        uint8_t* bgra = bgra_[slot].data();
        if (IsRgb(src_.format)) {
            UnpackRgbRow(src_.format, src_.Row(0, row), bgra, width_);
            return;
        }
        const YuvRow yuv = ReadYuv(row, slot);
        Yuv422ToBgraRow(yuv.y, yuv.u, yuv.v, bgra, width_);
    }

    void WriteBgra(int row, int count) {
        if (IsRgb(dst_.format)) {
            for (int i = 0; i < count; ++i) PackRgbRow(dst_.format, bgra_[i].data(), dst_.Row(0, row + i), width_);
            return;
        }
        if (FamilyOf(dst_.format) == FormatFamily::kPacked422) {
            for (int i = 0; i < count; ++i) {
                BgraToYRow(bgra_[i].data(), y_[i].data(), width_);
                BgraToUvRow(bgra_[i].data(), nullptr, u_[i].data(), v_[i].data(), width_);
                PackPacked422Row(OrderOf(dst_.format), y_[i].data(), u_[i].data(), v_[i].data(),
                                 dst_.Row(0, row + i), width_);
            }
            return;
        }
        for (int i = 0; i < count; ++i) BgraToYRow(bgra_[i].data(), dst_.Row(0, row + i), width_);
        BgraToUvRow(bgra_[0].data(), count == 2 ? bgra_[1].data() : nullptr, dst_.Row(1, row / 2),
                    dst_.Row(2, row / 2), width_);
    }

    void WriteYuv(int row, int count, const YuvRow* rows) {
        if (FamilyOf(dst_.format) == FormatFamily::kPacked422) {
            for (int i = 0; i < count; ++i) {
                PackPacked422Row(OrderOf(dst_.format), rows[i].y, rows[i].u, rows[i].v, dst_.Row(0, row + i),
                                 width_);
            }
            return;
        }
        for (int i = 0; i < count; ++i) std::memcpy(dst_.Row(0, row + i), rows[i].y, width_);
        uint8_t* u = dst_.Row(1, row / 2);
        uint8_t* v = dst_.Row(2, row / 2);
        if (count == 2) {
            AverageRows(rows[0].u, rows[1].u, u, chroma_width_);
            AverageRows(rows[0].v, rows[1].v, v, chroma_width_);
        } else {
            std::memcpy(u, rows[0].u, chroma_width_);
            std::memcpy(v, rows[0].v, chroma_width_);
        }
    }

    const SrcFrame& src_;
    const DstFrame& dst_;
    const int width_;
    const int chroma_width_;
    std::vector<uint8_t> bgra_[2], y_[2], u_[2], v_[2];
};

}  // namespace

void ConvertGeneric(const SrcFrame& src, const DstFrame& dst) {
    GenericConverter(src, dst).Run();
}

}  // namespace detail
}  // namespace pixel_formats
