#include "media/frame_files/frame_overlay.h"

#include <cstring>

#include "media/frame_files/blend_rows.h"
#include "media/frame_files/frame_resample.h"

namespace frame_files {
namespace {

// Blended spans are whole blocks of this many pixels (48 bytes, three
// 16-byte vectors) wherever the row allows, so the blend loop has no slow
// tail. Blending is exact for the pixels the rounding takes in: inverse alpha
// 0 gives the frame's colour, 255 the camera's.
constexpr int kBlendBlock = 16;

bool IsPartial(uint8_t alpha) { return alpha != 0 && alpha != 255; }

int BlockEnd(int start, int end, int width) {
    const int rounded = start + (end - start + kBlendBlock - 1) / kBlendBlock * kBlendBlock;
    return rounded < width ? rounded : width;
}

// The spans of one premultiplied RGBA row; transparent runs make none.
void AddRowSpans(const uint8_t* rgba, int width, std::vector<PreparedOverlay::Span>* spans) {
    int x = 0;
    while (x < width) {
        const uint8_t alpha = rgba[x * 4 + 3];
        const int start = x++;
        if (alpha == 0) continue;
        if (alpha == 255) {
            while (x < width && rgba[x * 4 + 3] == 255) ++x;
            spans->push_back({start, x - start, PreparedOverlay::SpanKind::Opaque});
            continue;
        }
        // A partial pixel within the block reaches the block further.
        int end = BlockEnd(start, x, width);
        for (; x < end; ++x)
            if (IsPartial(rgba[x * 4 + 3])) end = BlockEnd(start, x + 1, width);
        spans->push_back({start, end - start, PreparedOverlay::SpanKind::Partial});
    }
}

}  // namespace

size_t FrameIndexAt(const FrameAnimation& animation, int64_t stream_time_100ns) {
    const size_t count = animation.frames.size();
    if (count <= 1 || stream_time_100ns <= 0) return 0;
    const uint64_t total = animation.TotalDurationMs();
    if (total == 0) return 0;
    uint64_t ms = static_cast<uint64_t>(stream_time_100ns) / 10000;
    if (animation.loops) {
        ms %= total;
    } else if (ms >= total) {
        return count - 1;
    }
    for (size_t i = 0; i < count; ++i) {
        if (ms < animation.frames[i].duration_ms) return i;
        ms -= animation.frames[i].duration_ms;
    }
    return count - 1;
}

bool PrepareOverlay(const FrameAnimation& animation, size_t frame_index, int width, int height,
                    PreparedOverlay* out) {
    if (frame_index >= animation.frames.size() || width < 1 || height < 1 || width > kMaxSide ||
        height > kMaxSide)
        return false;
    const AnimationFrame& frame = animation.frames[frame_index];
    if (frame.rgba.size() != static_cast<size_t>(animation.width) * animation.height * 4) return false;
    std::vector<uint8_t> scaled;
    ResamplePremultiplied(frame.rgba.data(), animation.width, animation.height, width, height, &scaled);

    out->width = width;
    out->height = height;
    const size_t row_bytes = static_cast<size_t>(width) * 3;
    out->bgr.resize(row_bytes * height);
    out->inverse3.resize(row_bytes * height);
    out->spans.clear();
    out->row_spans.assign(1, 0);
    for (int y = 0; y < height; ++y) {
        // Row y of the overlay is row y of a bottom-up picture: picture row height-1-y.
        const uint8_t* src = &scaled[static_cast<size_t>(height - 1 - y) * width * 4];
        uint8_t* bgr = &out->bgr[row_bytes * y];
        uint8_t* inverse = &out->inverse3[row_bytes * y];
        for (int x = 0; x < width; ++x) {
            bgr[x * 3] = src[x * 4 + 2];
            bgr[x * 3 + 1] = src[x * 4 + 1];
            bgr[x * 3 + 2] = src[x * 4];
            inverse[x * 3] = inverse[x * 3 + 1] = inverse[x * 3 + 2] = static_cast<uint8_t>(255 - src[x * 4 + 3]);
        }
        AddRowSpans(src, width, &out->spans);
        out->row_spans.push_back(static_cast<uint32_t>(out->spans.size()));
    }
    return true;
}

void BlendOverlay(const PreparedOverlay& overlay, uint8_t* picture, ptrdiff_t stride) {
    static const BlendRowFunction blend = BlendRowFor(BestBlendLevel());
    const size_t row_bytes = static_cast<size_t>(overlay.width) * 3;
    for (int y = 0; y < overlay.height; ++y) {
        uint8_t* dst = picture + stride * y;
        const uint8_t* bgr = &overlay.bgr[row_bytes * y];
        const uint8_t* inverse = &overlay.inverse3[row_bytes * y];
        for (uint32_t s = overlay.row_spans[y]; s < overlay.row_spans[y + 1]; ++s) {
            const PreparedOverlay::Span& span = overlay.spans[s];
            const size_t at = static_cast<size_t>(span.start) * 3, n = static_cast<size_t>(span.length) * 3;
            if (span.kind == PreparedOverlay::SpanKind::Opaque)
                std::memcpy(dst + at, bgr + at, n);
            else
                blend(dst + at, bgr + at, inverse + at, n);
        }
    }
}

}  // namespace frame_files
