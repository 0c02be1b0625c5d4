// The filter's frame path with everything taken from the input: a format,
// size, orientation and stride for the camera frame, a sample length that may
// be short, an effect code, a sample time and a run of frames. The input frame
// and output buffer are sized exactly, so the sanitizers report any access
// outside them; a refused frame must leave the output untouched.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "filters/effect/decoration.h"
#include "filters/effect/video_input.h"

namespace {

using pixel_formats::PixelFormat;

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    unsigned Byte() { return pos < size ? data[pos++] : 0; }
    unsigned Word() { return Byte() | Byte() << 8; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    constexpr PixelFormat kFormats[] = {PixelFormat::kRgb24, PixelFormat::kYuy2, PixelFormat::kI420, PixelFormat::kRgb32};
    const PixelFormat format = kFormats[in.Byte() % 4];
    const int width = static_cast<int>(in.Byte() % 70) - 2 + (in.Byte() == 255 ? 4040 : 0);
    const int height = (static_cast<int>(in.Byte() % 60) - 2) * (in.Byte() & 1 ? -1 : 1);
    const int stride = in.Byte() % 4 == 0 ? static_cast<int>(in.Byte()) * 4 : 0;  // mostly the default
    const pixel_formats::FrameFormat frame{format, width, height, stride};
    pixel_formats::FrameLayout layout;
    const bool valid = pixel_formats::ComputeFrameLayout(frame, &layout);
    const size_t full = valid ? layout.size : in.Word();
    const size_t length = in.Byte() % 4 != 0 ? full : full * in.Byte() / 256;  // sometimes short
    std::vector<uint8_t> camera(length);
    for (auto& b : camera) b = static_cast<uint8_t>(in.Byte() ^ (&b - camera.data()));

    auto decoration = effect_filter::MakeEffectDecoration(static_cast<int>(in.Byte() % 24) - 1, in.Byte());
    if (!decoration) return 0;
    effect_filter::VideoInput input;
    const int frames = 1 + static_cast<int>(in.Byte() % 3);
    effects::SampleTime time = static_cast<int32_t>(in.Word() << 12);
    for (int i = 0; i < frames; ++i, time += effects::kSecond / 30) {
        effects::ConstFrameView view;
        if (!input.View(camera.data(), camera.size(), frame, &view)) continue;
        if (!effect_filter::AcceptedInput(frame) || length < layout.size) std::abort();  // should have been refused
        std::vector<uint8_t> out(static_cast<size_t>(view.width) * view.height * 3);
        decoration->Render(view, {out.data(), view.width * 3, view.width, view.height}, time);
    }
    return 0;
}
