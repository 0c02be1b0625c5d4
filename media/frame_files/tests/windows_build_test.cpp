// The Windows build of the cores (its own compiler, word size and static
// zlib) reads every sample frame file as the host build does.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "media/frame_files/blend_rows.h"
#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/frame_overlay.h"

namespace frame_files {
namespace {

TEST(WindowsBuild, EverySampleDecodesAndRendersItsThumbnail) {
    const std::pair<const char*, size_t> samples[] = {
        {"wood.bmp", 1}, {"polka.bmp", 1}, {"postcard.bmp", 1}, {"snow.bmp", 1}, {"twinkle.gif", 7},
        {"bubbles.gif", 7}, {"balloons.swf", 12}, {"butterflies.swf", 10}};
    for (const auto& [name, frames] : samples) {
        SCOPED_TRACE(name);
        std::ifstream in(std::string(FRAME_SAMPLES_DIR) + "/" + name, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty());
        FrameAnimation a;
        ASSERT_EQ(DecodeFrameFile(bytes.data(), bytes.size(), &a), DecodeError::None);
        EXPECT_EQ(a.frames.size(), frames);
        std::vector<uint8_t> thumb(112 * 80 * 3 + 1, 0xA5);
        ASSERT_EQ(RenderFirstFrame(a, 112, 80, thumb.data(), 1, 2, 3), FirstFrameError::None);
        const uint8_t* centre = &thumb[(40 * 112 + 56) * 3];
        EXPECT_EQ(centre[0] + centre[1] * 256 + centre[2] * 65536, 1 + 2 * 256 + 3 * 65536);
        EXPECT_EQ(thumb.back(), 0xA5);
    }
}

TEST(WindowsBuild, BlendKernelsChosenHereGiveTheScalarBytes) {
    std::vector<uint8_t> dst(4099), src(4099), inverse(4099);
    for (size_t i = 0; i < dst.size(); ++i)
        dst[i] = static_cast<uint8_t>(i * 7), src[i] = static_cast<uint8_t>(i * 131 >> 3) / 2,
        inverse[i] = static_cast<uint8_t>(i * 29);
    std::vector<uint8_t> want = dst;
    BlendRowFor(BlendLevel::Scalar)(want.data(), src.data(), inverse.data(), want.size());
    ASSERT_NE(BlendRowFor(BlendLevel::Sse2), nullptr);
    for (BlendLevel level : {BlendLevel::Sse2, BlendLevel::Avx2}) {
        if (!BlendRowFor(level)) continue;
        std::vector<uint8_t> got = dst;
        BlendRowFor(level)(got.data(), src.data(), inverse.data(), got.size());
        EXPECT_EQ(got, want) << "level " << static_cast<int>(level);
    }
    std::printf("best blend level here: %d\n", static_cast<int>(BestBlendLevel()));
}

}  // namespace
}  // namespace frame_files
