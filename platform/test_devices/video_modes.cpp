#include "test_devices/video_modes.h"

#include <algorithm>
#include <iterator>

namespace test_devices {
namespace {

constexpr uint32_t FourCc(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

// Even widths and heights throughout, so that I420's half-size planes are exact.
struct Size { int width, height; };
constexpr Size kLadder[kMaxSizeCount] = {
    {160, 120},  {320, 240},   {640, 480},   {1280, 720},  {176, 144},  {352, 288},
    {424, 240},  {640, 360},   {800, 600},   {848, 480},   {960, 540},  {1024, 576},
    {1024, 768}, {1280, 800},  {1280, 960},  {1280, 1024}, {1600, 1200}, {1920, 1080},
    {96, 72},    {128, 96},    {192, 144},   {240, 180},   {256, 192},  {288, 216},
    {384, 288},  {480, 360},   {512, 384},   {576, 432},   {704, 528},  {720, 480},
    {720, 576},  {768, 576},
};
static_assert(std::size(kLadder) == kMaxSizeCount, "one ladder entry per size");

constexpr PixelFormat kFormats[] = {PixelFormat::kRgb24, PixelFormat::kYuy2, PixelFormat::kI420};

}  // namespace

uint32_t FrameBytes(const VideoMode& mode) {
    return uint32_t(pixel_formats::FrameSize(mode.format, mode.width, mode.height));
}

uint32_t Compression(PixelFormat format) {
    switch (format) {
        case PixelFormat::kYuy2: return FourCc('Y', 'U', 'Y', '2');
        case PixelFormat::kI420: return FourCc('I', '4', '2', '0');
        default: return 0;
    }
}

std::vector<VideoMode> CameraSizes(int count) {
    count = std::clamp(count, 1, kMaxSizeCount);
    std::vector<VideoMode> sizes;
    for (int i = 0; i < count; ++i) sizes.push_back({kLadder[i].width, kLadder[i].height});
    return sizes;
}

std::vector<VideoMode> CameraModes(int sizeCount, bool withRgb24) {
    const std::vector<VideoMode> sizes = CameraSizes(sizeCount);
    std::vector<VideoMode> modes;
    for (PixelFormat format : kFormats) {
        if (format == PixelFormat::kRgb24 && !withRgb24) continue;
        for (VideoMode m : sizes) {
            m.format = format;
            modes.push_back(m);
        }
    }
    return modes;
}

int DefaultModeIndex(const std::vector<VideoMode>& modes) {
    const VideoMode preferred{640, 480, PixelFormat::kRgb24};
    const auto it = std::find(modes.begin(), modes.end(), preferred);
    return it == modes.end() ? 0 : int(it - modes.begin());
}

}  // namespace test_devices
