#include "media/frame_files/frame_overlay.h"

#include <cstring>

#include "media/frame_files/frame_resample.h"

namespace frame_files {
namespace {

PreparedOverlay::SpanKind KindOf(uint8_t alpha) {
    return alpha == 255 ? PreparedOverlay::SpanKind::Opaque : PreparedOverlay::SpanKind::Partial;
}

// Runs of equal kind along one premultiplied RGBA row; transparent pixels make none.
void AddRowSpans(const uint8_t* rgba, int width, std::vector<PreparedOverlay::Span>* spans) {
    int x = 0;
    while (x < width) {
        const uint8_t alpha = rgba[x * 4 + 3];
        if (alpha == 0) {
            ++x;
            continue;
        }
        const PreparedOverlay::SpanKind kind = KindOf(alpha);
        const int start = x;
        while (x < width && rgba[x * 4 + 3] != 0 && KindOf(rgba[x * 4 + 3]) == kind) ++x;
        spans->push_back({start, x - start, kind});
    }
}

// dst = src + dst * inverse / 255 over n bytes, written so compilers vectorise it.
void BlendBytes(uint8_t* dst, const uint8_t* src, const uint8_t* inverse, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        unsigned v = dst[i] * inverse[i] + 128u;
        v = (v + (v >> 8)) >> 8;
        const unsigned sum = src[i] + v;
        dst[i] = static_cast<uint8_t>(sum > 255 ? 255 : sum);
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
                BlendBytes(dst + at, bgr + at, inverse + at, n);
        }
    }
}

}  // namespace frame_files
