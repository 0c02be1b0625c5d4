// Feeds one frame file decoder (chosen by FRAME_FUZZ_KIND: 0 bitmap, 1 GIF,
// 2 Flash) the input itself, then a valid seed file with the input's bytes
// written over it, so that even undirected input reaches the inner parsing.
// A decoded animation must be whole, and must prepare and render.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/frame_overlay.h"
#include "media/frame_files/tests/frame_test_files.h"

namespace {

using namespace frame_files;
using frame_test::Bytes;

std::vector<Bytes> Seeds() {
    switch (FRAME_FUZZ_KIND) {
        case 0: {
            Bytes rows(5 * 3);
            for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>(i % 4);
            const Bytes palette = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 0, 0, 9, 9, 9, 0};
            Bytes rgba(4 * 3 * 4);
            for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 37);
            return {frame_test::MakeBitmap(5, 3, 8, rows, false, palette),
                    frame_test::MakeBitmap(4, 3, 32, rgba, true, {}, true)};
        }
        case 1: return {frame_test::ReadSample("twinkle.gif"), frame_test::ReadSample("sun.gif")};
        default: return {frame_test::ReadSample("balloons.swf"), frame_test::ReadSample("butterflies.swf")};
    }
}

DecodeError Decode(const uint8_t* data, size_t size, FrameAnimation* a) {
    DecodeOptions options;
    options.max_bytes = size_t{8} << 20;  // keeps each run quick; the limit itself is what is exercised
    switch (FRAME_FUZZ_KIND) {
        case 0: return DecodeBitmapFrame(data, size, a, options);
        case 1: return DecodeGifFrames(data, size, a, options);
        default: return DecodeFlashFrames(data, size, a, options);
    }
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken animation: %s\n", what);
        std::abort();
    }
}

void DecodeAndUse(const uint8_t* data, size_t size) {
    FrameAnimation a;
    if (Decode(data, size, &a) != DecodeError::None) {
        Check(a.frames.empty(), "frames left after an error");
        return;
    }
    Check(!a.frames.empty() && a.width >= 1 && a.height >= 1 && a.width <= kMaxSide && a.height <= kMaxSide,
          "size");
    for (const AnimationFrame& f : a.frames)
        Check(f.rgba.size() == static_cast<size_t>(a.width) * a.height * 4 && f.duration_ms >= 1, "frame");
    PreparedOverlay overlay;
    Check(PrepareOverlay(a, a.frames.size() - 1, 37, 23, &overlay), "prepare");
    std::vector<uint8_t> picture(37 * 3 * 23, 50);
    BlendOverlay(overlay, picture.data(), 37 * 3);
    std::vector<uint8_t> thumb(13 * 7 * 3);
    Check(RenderFirstFrame(a, 13, 7, thumb.data(), 255, 255, 255) == FirstFrameError::None, "first frame");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<Bytes> seeds = Seeds();
    DecodeAndUse(data, size);
    if (size == 0) return 0;
    Bytes mutated = seeds[data[0] % seeds.size()];
    if (mutated.empty()) std::abort();  // the sample files are missing
    // Triples (offset low, offset high, value) overwrite bytes, spread over the whole seed.
    for (size_t i = 1; i + 3 <= size && i < 1 + 3 * 24; i += 3) {
        const size_t at = ((data[i] | data[i + 1] << 8) * mutated.size()) >> 16;
        mutated[at] = data[i + 2];
    }
    if (data[0] & 0x80) mutated.resize(mutated.size() * (data[0] & 0x7F) / 128);
    DecodeAndUse(mutated.data(), mutated.size());
    return 0;
}
