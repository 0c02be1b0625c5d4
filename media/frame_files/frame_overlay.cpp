#include "media/frame_files/frame_overlay.h"

#include <algorithm>
#include <cstring>

#include "media/frame_files/blend_rows.h"
#include "media/frame_files/frame_resample.h"

namespace frame_files {
namespace {

// Fewer, longer spans cost less than many short ones. Blending is exact for
// every pixel (inverse alpha 0 gives the frame's colour, 255 the camera's),
// so a blended span may take in its neighbours: it is rounded up to whole
// blocks of kBlendBlock pixels (48 bytes, three 16-byte vectors) so the
// blend loop has no slow tail, it reaches over gaps up to kBlendGap to the
// next partial pixel, and opaque runs shorter than kMinCopy beside partial
// pixels are blended rather than copied.
constexpr int kBlendBlock = 16;
constexpr int kBlendGap = 16;
constexpr int kMinCopy = 32;

enum Mark : uint8_t { kTransparent, kOpaque, kBlend };

int BlockEnd(int start, int end, int width) {
    const int rounded = start + (end - start + kBlendBlock - 1) / kBlendBlock * kBlendBlock;
    return rounded < width ? rounded : width;
}

bool BlendNear(const std::vector<uint8_t>& marks, int from, int to) {
    for (int x = std::max(from, 0); x < std::min(to, static_cast<int>(marks.size())); ++x)
        if (marks[x] == kBlend) return true;
    return false;
}

// The spans of one premultiplied RGBA row; marks is scratch space.
void AddRowSpans(const uint8_t* rgba, int width, std::vector<uint8_t>& marks,
                 std::vector<PreparedOverlay::Span>* spans) {
    marks.resize(width);
    for (int x = 0; x < width; ++x) {
        const uint8_t alpha = rgba[x * 4 + 3];
        marks[x] = alpha == 0 ? kTransparent : alpha == 255 ? kOpaque : kBlend;
    }
    for (int x = 0; x < width;) {  // short opaque runs beside partial pixels join them
        const int start = x;
        while (x < width && marks[x] == marks[start]) ++x;
        if (marks[start] == kOpaque && x - start < kMinCopy &&
            (BlendNear(marks, start - kBlendGap, start) || BlendNear(marks, x, x + kBlendGap)))
            std::fill(marks.begin() + start, marks.begin() + x, kBlend);
    }
    int x = 0;
    while (x < width) {
        const int start = x++;
        if (marks[start] == kTransparent) continue;
        if (marks[start] == kOpaque) {
            while (x < width && marks[x] == kOpaque) ++x;
            spans->push_back({start, x - start, PreparedOverlay::SpanKind::Opaque});
            continue;
        }
        int end = BlockEnd(start, x, width);
        for (int look = x; look < end + kBlendGap && look < width; ++look)
            if (marks[look] == kBlend) end = BlockEnd(start, look + 1, width);
        spans->push_back({start, end - start, PreparedOverlay::SpanKind::Partial});
        x = end;
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
    std::vector<uint8_t> marks;
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
        AddRowSpans(src, width, marks, &out->spans);
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
