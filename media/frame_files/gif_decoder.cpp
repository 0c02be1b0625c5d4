// GIF 87a/89a: each image composed onto the logical screen the way browsers
// show it. The screen starts transparent (the background colour index is
// ignored, as browsers do); disposal 2 clears the image's rectangle to
// transparent, 3 puts back what was there before the image.
#include <algorithm>
#include <cstring>

#include "media/frame_files/byte_reader.h"
#include "media/frame_files/decode_limits.h"
#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/gif_lzw.h"

namespace frame_files {
namespace {

constexpr uint8_t kExtension = 0x21, kImage = 0x2C, kTrailer = 0x3B;
constexpr uint8_t kGraphicControl = 0xF9, kApplication = 0xFF;

struct Palette {
    uint8_t rgb[256 * 3] = {};
    int count = 0;
};

struct GraphicControl {
    int disposal = 0;
    bool has_transparent = false;
    uint8_t transparent = 0;
    uint16_t delay_cs = 0;
};

struct Screen {
    int width = 0, height = 0;
    std::vector<uint8_t> canvas;  // RGBA
};

bool ReadPalette(ByteReader& in, int size_bits, Palette* palette) {
    palette->count = 2 << size_bits;
    const uint8_t* p = in.Take(static_cast<size_t>(palette->count) * 3);
    if (p) std::memcpy(palette->rgb, p, static_cast<size_t>(palette->count) * 3);
    return p != nullptr;
}

// Joins a chain of sub-blocks; false when the data ends inside it.
bool ReadSubBlocks(ByteReader& in, std::vector<uint8_t>* joined) {
    joined->clear();
    for (;;) {
        const uint8_t length = in.U8();
        if (!in.ok()) return false;
        if (length == 0) return true;
        const uint8_t* p = in.Take(length);
        if (!p) return false;
        joined->insert(joined->end(), p, p + length);
    }
}

// Rows in the order an interlaced image sends them.
std::vector<int> RowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(height);
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    return rows;
}

struct ImageRect {
    int left = 0, top = 0, width = 0, height = 0;
};

void Draw(Screen& screen, const ImageRect& r, const std::vector<uint8_t>& indices, size_t count,
          bool interlaced, const Palette& palette, const GraphicControl& control) {
    const std::vector<int> rows = RowOrder(r.height, interlaced);
    for (size_t i = 0; i < count; ++i) {
        const int x = r.left + static_cast<int>(i % r.width);
        const int y = r.top + rows[i / r.width];
        if (x >= screen.width || y >= screen.height) continue;
        const uint8_t index = indices[i];
        if (control.has_transparent && index == control.transparent) continue;
        uint8_t* p = &screen.canvas[(static_cast<size_t>(y) * screen.width + x) * 4];
        if (index < palette.count) {
            std::memcpy(p, &palette.rgb[index * 3], 3);
        } else {
            p[0] = p[1] = p[2] = 0;
        }
        p[3] = 255;
    }
}

void ClearRect(Screen& screen, const ImageRect& r) {
    for (int y = r.top; y < r.top + r.height && y < screen.height; ++y) {
        if (r.left >= screen.width) break;
        const int width = std::min(r.width, screen.width - r.left);
        std::memset(&screen.canvas[(static_cast<size_t>(y) * screen.width + r.left) * 4], 0,
                    static_cast<size_t>(width) * 4);
    }
}

uint32_t DelayMs(uint16_t delay_cs) { return delay_cs < 2 ? 100 : delay_cs * 10u; }

class GifDecoder {
public:
    GifDecoder(const uint8_t* data, size_t size, FrameAnimation* out, const DecodeOptions& options)
        : in_(data, size), out_(out), options_(options) {}

    DecodeError Run() {
        if (DecodeError e = ReadScreen(); e != DecodeError::None) return e;
        for (;;) {
            const uint8_t block = in_.U8();
            if (!in_.ok()) return out_->frames.empty() ? DecodeError::Truncated : DecodeError::None;
            DecodeError e = DecodeError::None;
            if (block == kTrailer) break;
            if (block == kExtension) {
                e = ReadExtension();
            } else if (block == kImage) {
                e = ReadImage();
                if (e == DecodeError::None && options_.first_frame_only) break;
            } else {
                e = DecodeError::Corrupt;
            }
            if (e != DecodeError::None) return e;
        }
        return out_->frames.empty() ? DecodeError::Corrupt : DecodeError::None;
    }

private:
    DecodeError ReadScreen() {
        const uint8_t* signature = in_.Take(6);
        if (!signature) return DecodeError::Truncated;
        if (std::memcmp(signature, "GIF87a", 6) != 0 && std::memcmp(signature, "GIF89a", 6) != 0)
            return DecodeError::Unsupported;
        screen_.width = in_.U16();
        screen_.height = in_.U16();
        const uint8_t packed = in_.U8();
        in_.Skip(2);  // background index, aspect ratio
        if (!in_.ok()) return DecodeError::Truncated;
        if ((packed & 0x80) && !ReadPalette(in_, packed & 7, &global_)) return DecodeError::Truncated;
        out_->loops = false;
        // Some encoders write a zero screen: the first image then gives it.
        return screen_.width && screen_.height ? SetScreen(screen_.width, screen_.height) : DecodeError::None;
    }

    DecodeError SetScreen(int width, int height) {
        if (DecodeError e = CheckSides(width, height); e != DecodeError::None) return e;
        if (RgbaBytes(width, height) > options_.max_bytes) return DecodeError::TooLarge;
        screen_.width = out_->width = width;
        screen_.height = out_->height = height;
        screen_.canvas.assign(RgbaBytes(width, height), 0);
        return DecodeError::None;
    }

    DecodeError ReadExtension() {
        const uint8_t label = in_.U8();
        if (!ReadSubBlocks(in_, &block_)) return DecodeError::Truncated;
        if (label == kGraphicControl && block_.size() >= 4) {
            control_.disposal = (block_[0] >> 2) & 7;
            control_.has_transparent = block_[0] & 1;
            control_.delay_cs = static_cast<uint16_t>(block_[1] | block_[2] << 8);
            control_.transparent = block_[3];
        } else if (label == kApplication && block_.size() >= 11 &&
                   std::memcmp(block_.data(), "NETSCAPE2.0", 11) == 0) {
            out_->loops = true;
        }
        return DecodeError::None;
    }

    DecodeError ReadImage() {
        ImageRect r;
        r.left = in_.U16();
        r.top = in_.U16();
        r.width = in_.U16();
        r.height = in_.U16();
        const uint8_t packed = in_.U8();
        if (!in_.ok()) return DecodeError::Truncated;
        Palette local;
        if ((packed & 0x80) && !ReadPalette(in_, packed & 7, &local)) return DecodeError::Truncated;
        const int min_code_size = in_.U8();
        if (!ReadSubBlocks(in_, &block_)) return DecodeError::Truncated;
        if (DecodeError e = CheckSides(r.width, r.height); e != DecodeError::None) return e;
        if (screen_.canvas.empty()) {
            const DecodeError e = SetScreen(screen_.width ? screen_.width : r.left + r.width,
                                            screen_.height ? screen_.height : r.top + r.height);
            if (e != DecodeError::None) return e;
        }
        if (!RoomForFrame(*out_, screen_.canvas.size(), options_)) return DecodeError::TooLarge;

        indices_.resize(static_cast<size_t>(r.width) * r.height);
        size_t written = 0;
        if (DecodeGifLzw(min_code_size, block_.data(), block_.size(), indices_, &written) == LzwResult::Corrupt)
            return DecodeError::Corrupt;
        if (control_.disposal == 3) saved_ = screen_.canvas;
        Draw(screen_, r, indices_, written, packed & 0x40, (packed & 0x80) ? local : global_, control_);
        out_->frames.push_back(AnimationFrame{screen_.canvas, DelayMs(control_.delay_cs)});
        if (control_.disposal == 2) ClearRect(screen_, r);
        if (control_.disposal == 3) screen_.canvas.swap(saved_);
        control_ = GraphicControl{};
        return DecodeError::None;
    }

    ByteReader in_;
    FrameAnimation* out_;
    const DecodeOptions& options_;
    Screen screen_;
    Palette global_;
    GraphicControl control_;
    std::vector<uint8_t> block_, indices_, saved_;
};

}  // namespace

DecodeError DecodeGifFrames(const uint8_t* data, size_t size, FrameAnimation* out, const DecodeOptions& options) {
    *out = FrameAnimation{};
    if (size == 0 || data == nullptr) return DecodeError::Empty;
    const DecodeError e = GifDecoder(data, size, out, options).Run();
    if (e != DecodeError::None) *out = FrameAnimation{};
    return e;
}

}  // namespace frame_files
