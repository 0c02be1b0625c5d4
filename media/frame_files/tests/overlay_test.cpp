// Playing a decoded animation over video: the frame for a stream time, the
// blend onto bottom-up RGB24 with its stride, and the first-frame thumbnail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "media/frame_files/blend_rows.h"
#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/frame_overlay.h"
#include "media/frame_files/tests/frame_test_files.h"

namespace frame_files {
namespace {

constexpr int64_t kMs = 10000;  // 100 ns units per millisecond

FrameAnimation Timed(std::vector<uint32_t> durations, bool loops) {
    FrameAnimation a;
    a.width = a.height = 1;
    a.loops = loops;
    for (uint32_t d : durations) a.frames.push_back({std::vector<uint8_t>(4, 0), d});
    return a;
}

TEST(FrameTiming, StreamTimePicksTheFrameAndLoopsByTheTotalDuration) {
    const FrameAnimation looping = Timed({100, 50, 200}, true);
    const std::pair<int64_t, size_t> expected[] = {
        {-5 * kMs, 0}, {0, 0}, {99 * kMs, 0}, {100 * kMs, 1}, {149 * kMs, 1}, {150 * kMs, 2},
        {349 * kMs, 2}, {350 * kMs, 0}, {350 * kMs * 1000 + 120 * kMs, 1}};
    for (const auto& [time, frame] : expected) EXPECT_EQ(FrameIndexAt(looping, time), frame) << time;
    const FrameAnimation once = Timed({100, 50, 200}, false);
    EXPECT_EQ(FrameIndexAt(once, 120 * kMs), 1u);
    EXPECT_EQ(FrameIndexAt(once, 5000 * kMs), 2u) << "a non-looping animation holds its last frame";
    EXPECT_EQ(FrameIndexAt(Timed({1000}, true), 1500 * kMs), 0u);
}

// A 3x2 picture: top row transparent, opaque red, half-transparent blue;
// bottom row opaque green, keyed-out, opaque white.
FrameAnimation Mixed() {
    FrameAnimation a;
    a.width = 3, a.height = 2;
    a.frames.push_back({{0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 128,  //
                         0, 255, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255},
                        100});
    return a;
}

TEST(FrameOverlay, BlendKeepsTheCameraWhereTransparentAndTouchesNoPadding) {
    PreparedOverlay overlay;
    ASSERT_TRUE(PrepareOverlay(Mixed(), 0, 3, 2, &overlay));
    const int stride = 3 * 3 + 5;  // rows padded, as DirectShow strides may be
    std::vector<uint8_t> camera(stride * 2, 0);
    for (size_t i = 0; i < camera.size(); ++i) camera[i] = static_cast<uint8_t>(40 + i);
    std::vector<uint8_t> picture = camera;
    BlendOverlay(overlay, picture.data(), stride);
    // Bottom-up: buffer row 0 is the picture's bottom row.
    auto pixel = [&](const std::vector<uint8_t>& p, int x, int buffer_row) {
        return std::vector<uint8_t>(&p[buffer_row * stride + x * 3], &p[buffer_row * stride + x * 3 + 3]);
    };
    EXPECT_EQ(pixel(picture, 0, 1), pixel(camera, 0, 1)) << "transparent";
    EXPECT_EQ(pixel(picture, 1, 1), (std::vector<uint8_t>{0, 0, 255})) << "opaque red, as B G R";
    EXPECT_EQ(pixel(picture, 0, 0), (std::vector<uint8_t>{0, 255, 0}));
    EXPECT_EQ(pixel(picture, 1, 0), pixel(camera, 1, 0)) << "keyed-out";
    EXPECT_EQ(pixel(picture, 2, 0), (std::vector<uint8_t>{255, 255, 255}));
    const std::vector<uint8_t> under = pixel(camera, 2, 1), half = pixel(picture, 2, 1);
    const int expected[3] = {(255 * 128 + under[0] * 127) / 255, under[1] * 127 / 255, under[2] * 127 / 255};
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(half[c], expected[c], 1) << "channel " << c;
    for (int row = 0; row < 2; ++row)
        for (int i = 9; i < stride; ++i) EXPECT_EQ(picture[row * stride + i], camera[row * stride + i]) << "padding";
}

TEST(FrameOverlay, StretchedFrameKeepsItsTransparentCentreAndOpaqueBorder) {
    const frame_test::Bytes bytes = frame_test::ReadSample("wood.bmp");
    FrameAnimation wood;
    ASSERT_EQ(DecodeFrameFile(bytes.data(), bytes.size(), &wood), DecodeError::None);
    PreparedOverlay overlay;
    ASSERT_TRUE(PrepareOverlay(wood, 0, 640, 480, &overlay));
    const int stride = 640 * 3;
    std::vector<uint8_t> picture(stride * 480, 77);
    BlendOverlay(overlay, picture.data(), stride);
    auto at = [&](int x, int y_from_top) { return &picture[(479 - y_from_top) * stride + x * 3]; };
    EXPECT_EQ(at(320, 240)[0], 77) << "the camera in the middle";
    EXPECT_EQ(at(100, 300)[2], 77);
    // The 22-pixel wooden border becomes 44 pixels: brown (red above blue), no camera grey.
    for (int d : {1, 20, 40}) {
        const uint8_t* p = at(d, 240);
        EXPECT_GT(p[2], p[0]) << "left border at " << d;
        EXPECT_NE(p[1], 77);
    }
    EXPECT_FALSE(PrepareOverlay(wood, 1, 640, 480, &overlay)) << "no such frame";
    EXPECT_FALSE(PrepareOverlay(wood, 0, 0, 480, &overlay));
    EXPECT_FALSE(PrepareOverlay(wood, 0, 640, kMaxSide + 1, &overlay));
}

TEST(FrameOverlay, EveryPixelOfAnAlphaFrameBlendsOnceAsItsAlphaSays) {
    // Soft alpha in wide areas (snow), and thin partial bands beside opaque borders (postcard).
    for (const char* name : {"snow.bmp", "postcard.bmp"}) {
        SCOPED_TRACE(name);
        const frame_test::Bytes bytes = frame_test::ReadSample(name);
        FrameAnimation frame;
        ASSERT_EQ(DecodeFrameFile(bytes.data(), bytes.size(), &frame), DecodeError::None);
        PreparedOverlay overlay;
        ASSERT_TRUE(PrepareOverlay(frame, 0, 320, 240, &overlay));
        std::vector<uint8_t> camera(320 * 240 * 3);
        for (size_t i = 0; i < camera.size(); ++i) camera[i] = static_cast<uint8_t>(i * 7 + i / 960);
        std::vector<uint8_t> picture = camera;
        BlendOverlay(overlay, picture.data(), 320 * 3);
        size_t off = 0;
        for (int y = 0; y < 240; ++y) {
            for (int x = 0; x < 320; ++x) {
                const uint8_t* f = &frame.frames[0].rgba[(y * 320 + x) * 4];
                const size_t at = ((239 - y) * 320 + x) * 3;
                for (int c = 0; c < 3; ++c) {
                    const double want = (f[2 - c] * f[3] + camera[at + c] * (255.0 - f[3])) / 255;
                    off += std::abs(picture[at + c] - want) > 1.5;
                }
            }
        }
        EXPECT_EQ(off, 0u);
    }
}

TEST(BlendKernels, ScalarRoundsExactlyAndEveryLevelGivesItsBytes) {
    const BlendRowFunction scalar = BlendRowFor(BlendLevel::Scalar);
    // Every camera byte under every inverse alpha, over a frame byte of 0 and 200.
    std::vector<uint8_t> dst(65536), src(65536), inverse(65536);
    for (size_t i = 0; i < dst.size(); ++i) dst[i] = static_cast<uint8_t>(i), inverse[i] = static_cast<uint8_t>(i >> 8);
    for (uint8_t frame : {0, 200}) {
        std::fill(src.begin(), src.end(), frame);
        std::vector<uint8_t> out = dst;
        scalar(out.data(), src.data(), inverse.data(), out.size());
        for (size_t i = 0; i < out.size(); ++i) {
            const long want = std::min(255L, frame + std::lround(dst[i] * inverse[i] / 255.0));
            ASSERT_EQ(out[i], want) << "camera " << int(dst[i]) << " inverse " << int(inverse[i]);
        }
    }
    // Odd lengths and offsets reach every kernel's tail.
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 131 >> 3);
    for (BlendLevel level : {BlendLevel::Sse2, BlendLevel::Avx2}) {
        const BlendRowFunction kernel = BlendRowFor(level);
#if defined(__x86_64__) || defined(__i386__)
        if (level == BlendLevel::Sse2) {
            ASSERT_NE(kernel, nullptr) << "every x86 processor we run on has SSE2";
        }
#endif
        if (!kernel) continue;
        for (size_t offset : {0, 1, 7}) {
            for (size_t n : {0, 1, 15, 16, 31, 33, 48, 1000, 4099}) {
                std::vector<uint8_t> a(dst.begin(), dst.begin() + offset + n), b = a;
                scalar(a.data() + offset, src.data() + offset, inverse.data() + offset, n);
                kernel(b.data() + offset, src.data() + offset, inverse.data() + offset, n);
                ASSERT_EQ(a, b) << "level " << static_cast<int>(level) << " offset " << offset << " length " << n;
            }
        }
    }
}

// Guard bytes around the buffer show any write outside width * height * 3.
struct GuardedBuffer {
    static constexpr size_t kGuard = 64;
    explicit GuardedBuffer(size_t size) : bytes(size + 2 * kGuard, 0xA5), size(size) {}
    uint8_t* data() { return bytes.data() + kGuard; }
    bool GuardsIntact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (bytes[i] != 0xA5 || bytes[kGuard + size + i] != 0xA5) return false;
        return true;
    }
    std::vector<uint8_t> bytes;
    size_t size;
};

TEST(FirstFrame, ThumbnailFillsExactlyTheBufferWithTransparencyInTheGivenColour) {
    for (const char* name : {"hearts.bmp", "twinkle.gif", "balloons.swf"}) {
        SCOPED_TRACE(name);
        const frame_test::Bytes bytes = frame_test::ReadSample(name);
        FrameAnimation a;
        DecodeOptions first;
        first.first_frame_only = true;
        ASSERT_EQ(DecodeFrameFile(bytes.data(), bytes.size(), &a, first), DecodeError::None);
        for (auto [w, h] : {std::pair{112, 80}, std::pair{1, 1}, std::pair{113, 79}}) {
            GuardedBuffer buffer(static_cast<size_t>(w) * h * 3);
            ASSERT_EQ(RenderFirstFrame(a, w, h, buffer.data(), 255, 255, 255), FirstFrameError::None);
            EXPECT_TRUE(buffer.GuardsIntact()) << w << "x" << h;
        }
        GuardedBuffer thumb(112 * 80 * 3);
        ASSERT_EQ(RenderFirstFrame(a, 112, 80, thumb.data(), 10, 200, 30), FirstFrameError::None);
        const uint8_t* centre = thumb.data() + (40 * 112 + 56) * 3;
        EXPECT_EQ(centre[0], 10);
        EXPECT_EQ(centre[1], 200);
        EXPECT_EQ(centre[2], 30) << "the transparent middle takes the fill colour";
        size_t other = 0;
        for (size_t i = 0; i < 112 * 80; ++i)
            other += std::abs(thumb.data()[i * 3] - 10) + std::abs(thumb.data()[i * 3 + 1] - 200) > 60;
        EXPECT_GT(other, 200u) << "the frame's own picture is there";
    }
}

TEST(FirstFrame, BadSizesAndBuffersAreRefusedWithoutWriting) {
    const FrameAnimation a = Mixed();
    GuardedBuffer buffer(16 * 3);
    for (auto [w, h] : {std::pair{0, 80}, std::pair{112, 0}, std::pair{-1, 80}, std::pair{112, -80},
                        std::pair{kMaxSide + 1, 1}, std::pair{1, kMaxSide + 1}}) {
        EXPECT_EQ(RenderFirstFrame(a, w, h, buffer.data(), 255, 255, 255), FirstFrameError::BadSize) << w << "x" << h;
    }
    EXPECT_EQ(RenderFirstFrame(a, 4, 4, nullptr, 255, 255, 255), FirstFrameError::NullBuffer);
    EXPECT_EQ(RenderFirstFrame(FrameAnimation{}, 4, 4, buffer.data(), 255, 255, 255), FirstFrameError::NoFrame);
    for (size_t i = 0; i < buffer.bytes.size(); ++i) ASSERT_EQ(buffer.bytes[i], 0xA5) << "byte " << i;
}

}  // namespace
}  // namespace frame_files
