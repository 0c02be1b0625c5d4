// SWF movies made of lossless bitmaps: the header (plain or zlib), the tag
// stream, bitmap and shape definitions, and the display list played frame by
// frame. Tags we do not draw (sounds, fonts, actions, sprites, JPEG) are skipped.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/frame_files/byte_reader.h"
#include "media/frame_files/decode_limits.h"
#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/swf_records.h"
#include "media/frame_files/swf_stage.h"
#include "media/frame_files/zlib_inflate.h"

namespace frame_files {
namespace {

// Largest uncompressed movie we inflate; a claimed length beyond is refused.
constexpr size_t kMaxMovieBytes = size_t{32} << 20;
constexpr double kDefaultFrameRate = 12.0;

enum TagCode : uint16_t {
    kEnd = 0, kShowFrame = 1, kDefineShape = 2, kPlaceObject = 4, kRemoveObject = 5,
    kSetBackgroundColor = 9, kDefineBitsLossless = 20, kDefineShape2 = 22, kPlaceObject2 = 26,
    kRemoveObject2 = 28, kDefineShape3 = 32, kDefineBitsLossless2 = 36, kPlaceObject3 = 70, kDefineShape4 = 83,
};

struct Tag {
    uint16_t code = 0;
    const uint8_t* body = nullptr;
    size_t length = 0;
};

// Premultiplied colour (Lossless2) back to straight alpha.
void Unpremultiply(uint8_t* p) {
    const int a = p[3];
    if (a == 0 || a == 255) return;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(std::min(255, (p[c] * 255 + a / 2) / a));
}

// Inflated lossless data (its size already checked) to straight RGBA.
void ReadLosslessPixels(const uint8_t* in, int format, int colours, bool alpha, SwfBitmap* bitmap) {
    const size_t w = bitmap->width, h = bitmap->height;
    const size_t entry = alpha ? 4 : 3;
    for (size_t y = 0; y < h; ++y) {
        for (size_t x = 0; x < w; ++x) {
            uint8_t* p = &bitmap->rgba[(y * w + x) * 4];
            if (format == 3) {
                const size_t index = in[colours * entry + y * ((w + 3) & ~size_t{3}) + x];
                if (index >= static_cast<size_t>(colours)) {
                    p[0] = p[1] = p[2] = p[3] = 0;
                    continue;
                }
                std::memcpy(p, in + index * entry, entry);
                p[3] = alpha ? p[3] : 255;
            } else if (format == 4) {
                const uint8_t* q = in + y * ((w * 2 + 3) & ~size_t{3}) + x * 2;
                const int v = q[0] << 8 | q[1];
                p[0] = static_cast<uint8_t>((v >> 10 & 31) * 255 / 31);
                p[1] = static_cast<uint8_t>((v >> 5 & 31) * 255 / 31);
                p[2] = static_cast<uint8_t>((v & 31) * 255 / 31);
                p[3] = 255;
            } else {
                const uint8_t* q = in + (y * w + x) * 4;  // A R G B
                p[0] = q[1], p[1] = q[2], p[2] = q[3], p[3] = alpha ? q[0] : 255;
            }
            if (alpha) Unpremultiply(p);
        }
    }
}

class SwfDecoder {
public:
    SwfDecoder(FrameAnimation* out, const DecodeOptions& options) : out_(out), options_(options) {}

    DecodeError Run(const uint8_t* movie, size_t size);

private:
    DecodeError ReadBitmap(const Tag& tag, bool alpha);
    DecodeError ReadShape(const Tag& tag);
    void Place(const Tag& tag);
    void PlaceV1(const Tag& tag);
    DecodeError ShowFrame();

    FrameAnimation* out_;
    const DecodeOptions& options_;
    SwfStage* stage_ = nullptr;
    double frame_rate_ = kDefaultFrameRate;
    size_t shown_ = 0;          // ShowFrame tags met so far
    size_t bitmap_bytes_ = 0;   // held by the dictionary's bitmaps
    bool drew_ = false;         // some frame had a bitmap shape on it
    std::vector<uint8_t> picture_;
    bool done_ = false;         // first_frame_only and the first frame is out
};

DecodeError SwfDecoder::ReadBitmap(const Tag& tag, bool alpha) {
    ByteReader in(tag.body, tag.length);
    const uint16_t id = in.U16();
    const int format = in.U8();
    SwfBitmap bitmap;
    bitmap.width = in.U16();
    bitmap.height = in.U16();
    const int colours = format == 3 ? in.U8() + 1 : 0;
    if (!in.ok()) return DecodeError::Truncated;
    if (format != 3 && format != 5 && !(format == 4 && !alpha)) return DecodeError::Unsupported;
    if (DecodeError e = CheckSides(bitmap.width, bitmap.height); e != DecodeError::None) return e;
    const size_t bytes = RgbaBytes(bitmap.width, bitmap.height);
    if (bytes > options_.max_bytes - std::min(options_.max_bytes, bitmap_bytes_)) return DecodeError::TooLarge;
    const size_t w = bitmap.width, h = bitmap.height;
    const size_t expected = format == 3   ? colours * (alpha ? 4 : 3) + ((w + 3) & ~size_t{3}) * h
                            : format == 4 ? ((w * 2 + 3) & ~size_t{3}) * h
                                          : w * h * 4;
    std::vector<uint8_t> pixels;
    const InflateResult r = InflateCapped(tag.body + in.position(), in.remaining(), expected, &pixels);
    if (r == InflateResult::Corrupt) return DecodeError::Corrupt;
    if (pixels.size() < expected) return DecodeError::Truncated;
    bitmap.rgba.resize(bytes);
    ReadLosslessPixels(pixels.data(), format, colours, alpha, &bitmap);
    bitmap_bytes_ += bytes;
    stage_->bitmaps[id] = std::move(bitmap);
    return DecodeError::None;
}

// Only the fill styles matter: the first bitmap fill makes the shape drawable.
DecodeError SwfDecoder::ReadShape(const Tag& tag) {
    SwfBitReader in(tag.body, tag.length);
    const uint16_t id = in.U16();
    SwfShape shape;
    shape.bounds = ReadRect(in);
    if (tag.code == kDefineShape4) {
        ReadRect(in);  // edge bounds
        in.U8();       // stroke and winding flags
    }
    size_t count = in.U8();
    if (count == 0xFF && tag.code != kDefineShape) count = in.U16();
    const size_t colour_bytes = tag.code == kDefineShape3 || tag.code == kDefineShape4 ? 4 : 3;
    for (size_t i = 0; i < count && in.ok(); ++i) {
        const uint8_t type = in.U8();
        if (type == 0x00) {
            for (size_t b = 0; b < colour_bytes; ++b) in.U8();
        } else if (type == 0x10 || type == 0x12 || type == 0x13) {
            ReadMatrix(in);
            const int stops = in.U8() & 15;
            for (size_t b = 0; b < stops * (1 + colour_bytes); ++b) in.U8();
            if (type == 0x13) in.U16();  // focal point
        } else if (type >= 0x40 && type <= 0x43) {
            shape.bitmap_id = in.U16();
            shape.fill = ReadMatrix(in);
            shape.repeat = type == 0x40 || type == 0x42;
            if (in.ok() && shape.bitmap_id != 0xFFFF) {
                stage_->shapes[id] = shape;
                return DecodeError::None;
            }
        } else {
            break;  // a style we cannot step over; the shape is not ours to draw
        }
    }
    return in.ok() ? DecodeError::None : DecodeError::Truncated;
}

// PlaceObject2 and PlaceObject3: what follows the colour transform (ratio,
// name, clip depth, filters, blend mode) does not change a bitmap picture.
void SwfDecoder::Place(const Tag& tag) {
    SwfBitReader in(tag.body, tag.length);
    const uint8_t flags = in.U8();
    const uint8_t flags3 = tag.code == kPlaceObject3 ? in.U8() : 0;
    const uint16_t depth = in.U16();
    if ((flags3 & 0x08) || ((flags3 & 0x10) && (flags & 0x02)))
        while (in.ok() && in.U8() != 0) {  // class name
        }
    const bool move = flags & 0x01, has_character = flags & 0x02;
    auto existing = stage_->display.find(depth);
    SwfPlacement placement;
    if (move) {
        if (existing == stage_->display.end()) return;  // nothing to move
        placement = existing->second;
    }
    if (has_character) placement.character = in.U16();
    if (flags & 0x04) placement.matrix = ReadMatrix(in);
    if (flags & 0x08) placement.colour = ReadColourTransform(in, true);
    if (!in.ok() || (!move && !has_character)) return;
    stage_->display[depth] = placement;
}

void SwfDecoder::PlaceV1(const Tag& tag) {
    SwfBitReader in(tag.body, tag.length);
    SwfPlacement placement;
    placement.character = in.U16();
    const uint16_t depth = in.U16();
    placement.matrix = ReadMatrix(in);
    if (in.BytesLeft() > 0) placement.colour = ReadColourTransform(in, false);
    if (in.ok()) stage_->display[depth] = placement;
}

// One picture per ShowFrame; a picture equal to the one before lengthens it.
DecodeError SwfDecoder::ShowFrame() {
    const auto end_ms = [this](size_t frame) {
        return static_cast<uint64_t>(std::llround(static_cast<double>(frame) * 1000.0 / frame_rate_));
    };
    const uint32_t duration = static_cast<uint32_t>(std::max<uint64_t>(1, end_ms(shown_ + 1) - end_ms(shown_)));
    ++shown_;
    drew_ = stage_->Draw(&picture_) || drew_;
    if (!out_->frames.empty() && out_->frames.back().rgba == picture_) {
        out_->frames.back().duration_ms += duration;
        return DecodeError::None;
    }
    if (!RoomForFrame(*out_, picture_.size(), options_)) return DecodeError::TooLarge;
    out_->frames.push_back(AnimationFrame{picture_, duration});
    done_ = options_.first_frame_only && drew_;
    return DecodeError::None;
}

DecodeError SwfDecoder::Run(const uint8_t* movie, size_t size) {
    SwfBitReader header(movie, size);
    const SwfRect frame = ReadRect(header);
    const uint16_t rate = header.U16();
    header.U16();  // frame count: the tags say how many there are
    if (!header.ok()) return DecodeError::Truncated;
    const int64_t width = std::llround((static_cast<int64_t>(frame.x_max) - frame.x_min) / 20.0);
    const int64_t height = std::llround((static_cast<int64_t>(frame.y_max) - frame.y_min) / 20.0);
    if (DecodeError e = CheckSides(width, height); e != DecodeError::None) return e;
    if (rate != 0) frame_rate_ = rate / 256.0;
    SwfStage stage(frame, static_cast<int>(width), static_cast<int>(height));
    stage_ = &stage;
    out_->width = static_cast<int>(width);
    out_->height = static_cast<int>(height);
    out_->loops = true;

    ByteReader in(movie + (size - header.BytesLeft()), header.BytesLeft());
    while (!in.AtEnd() && !done_) {
        Tag tag;
        const uint16_t code_and_length = in.U16();
        tag.code = code_and_length >> 6;
        tag.length = code_and_length & 0x3F;
        if (tag.length == 0x3F) tag.length = in.U32();
        tag.body = in.Take(tag.length);
        if (!in.ok()) return DecodeError::Truncated;
        DecodeError e = DecodeError::None;
        switch (tag.code) {
            case kEnd: done_ = true; break;
            case kShowFrame: e = ShowFrame(); break;
            case kSetBackgroundColor:
                if (tag.length >= 3) stage.SetBackground(tag.body[0], tag.body[1], tag.body[2]);
                break;
            case kDefineBitsLossless: e = ReadBitmap(tag, false); break;
            case kDefineBitsLossless2: e = ReadBitmap(tag, true); break;
            case kDefineShape: case kDefineShape2: case kDefineShape3: case kDefineShape4: e = ReadShape(tag); break;
            case kPlaceObject: PlaceV1(tag); break;
            case kPlaceObject2: case kPlaceObject3: Place(tag); break;
            case kRemoveObject: if (tag.length >= 4) stage.display.erase(tag.body[2] | tag.body[3] << 8); break;
            case kRemoveObject2: if (tag.length >= 2) stage.display.erase(tag.body[0] | tag.body[1] << 8); break;
            default: break;
        }
        if (e != DecodeError::None) return e;
    }
    // A movie that never shows a frame still has its display list to show.
    if (shown_ == 0) {
        if (DecodeError e = ShowFrame(); e != DecodeError::None) return e;
    }
    return drew_ ? DecodeError::None : DecodeError::NothingDrawable;
}

}  // namespace

DecodeError DecodeFlashFrames(const uint8_t* data, size_t size, FrameAnimation* out, const DecodeOptions& options) {
    *out = FrameAnimation{};
    if (size == 0 || data == nullptr) return DecodeError::Empty;
    if (size < 8) return DecodeError::Truncated;
    const bool compressed = data[0] == 'C';
    // "ZWS" (LZMA) and anything else.
    if ((data[0] != 'F' && !compressed) || data[1] != 'W' || data[2] != 'S') return DecodeError::Unsupported;
    ByteReader in(data + 4, 4);
    const uint32_t length = in.U32();
    if (length < 8) return DecodeError::Corrupt;
    if (length - 8 > kMaxMovieBytes) return DecodeError::TooLarge;
    std::vector<uint8_t> inflated;
    const uint8_t* movie = data + 8;
    size_t movie_size = size - 8;
    if (compressed) {
        const InflateResult r = InflateCapped(data + 8, size - 8, length - 8, &inflated);
        if (r == InflateResult::Corrupt) return DecodeError::Corrupt;
        if (r == InflateResult::Truncated) return DecodeError::Truncated;
        movie = inflated.data();
        movie_size = inflated.size();
    } else if (length < size) {
        movie_size = length - 8;  // bytes after the stated length are not the movie's
    }
    const DecodeError e = SwfDecoder(out, options).Run(movie, movie_size);
    if (e != DecodeError::None) *out = FrameAnimation{};
    return e;
}

}  // namespace frame_files
