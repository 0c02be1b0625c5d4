// The test pattern as a consumer of the fake camera sees it: it moves, it
// carries a frame number that survives the trip through the video path, and
// it never writes outside the frame it is given.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "pattern_test_util.h"
#include "test_signals/frame_code.h"

namespace test_signals {
namespace {

using pixel_formats::FrameSize;
using pixel_formats::kAllPixelFormats;
using pixel_formats::PixelFormat;
using pixel_formats::PixelFormatName;
using testing_util::Decode;
using testing_util::Render;

constexpr uint32_t kCounters[] = {0, 1, 255, 65535, 65536, 123456789, 0x7FFFFFFF, 0xFFFFFFFF};

TEST(TestPattern, ConsecutiveFramesDifferAboveTheCode) {
    const int w = 320, h = 240;
    // The row just above the code band: no digits there, so only motion can change it.
    const int probe_row = CodeBandTop(h) - 1;
    for (PixelFormat f : kAllPixelFormats) {
        for (uint32_t n : {0u, 1u, 2u, 99u, 1000u}) {
            const auto a = Render(n, f, w, -h);
            const auto b = Render(n + 1, f, w, -h);
            ASSERT_NE(a, b) << PixelFormatName(f) << " frame " << n;
            const size_t stride = pixel_formats::DefaultStride(f, w);
            EXPECT_NE(std::memcmp(&a[probe_row * stride], &b[probe_row * stride], stride), 0)
                << PixelFormatName(f) << " frame " << n;
        }
    }
}

TEST(TestPattern, CounterDecodesInEveryFormatAndOrientation) {
    const struct {
        int w, h;
    } sizes[] = {{160, 120}, {176, 144}, {321, 241}, {640, 480}};
    for (auto s : sizes) {
        for (PixelFormat f : kAllPixelFormats) {
            for (int sign : {1, -1}) {
                for (uint32_t n : kCounters) {
                    const auto frame = Render(n, f, s.w, sign * s.h);
                    EXPECT_EQ(Decode(frame, f, s.w, sign * s.h), n)
                        << PixelFormatName(f) << " " << s.w << "x" << sign * s.h;
                }
            }
        }
    }
}

TEST(TestPattern, CounterDecodesAtFullHd) {
    for (PixelFormat f : {PixelFormat::kYuy2, PixelFormat::kI420, PixelFormat::kRgb24}) {
        EXPECT_EQ(Decode(Render(0x7FFFFFFF, f, 1920, 1080), f, 1920, 1080), 0x7FFFFFFFu) << PixelFormatName(f);
    }
}

// The decoder reads the frame as its own format says: a YUV frame converted
// to a bottom-up RGB DIB still decodes, and so on in every direction.
TEST(TestPattern, CounterSurvivesColourConversion) {
    const int w = 176, h = 144;
    for (PixelFormat from : kAllPixelFormats) {
        const auto frame = Render(65535, from, w, h);
        for (PixelFormat to : kAllPixelFormats) {
            std::vector<uint8_t> converted(FrameSize(to, w, h));
            ASSERT_TRUE(pixel_formats::ConvertFrame(frame.data(), frame.size(), from, converted.data(),
                                                    converted.size(), to, w, h));
            EXPECT_EQ(Decode(converted, to, w, h), 65535u) << PixelFormatName(from) << "->" << PixelFormatName(to);
        }
    }
}

TEST(TestPattern, CounterSurvivesNearestNeighbourScaling) {
    const struct {
        int w, h;
    } sources[] = {{160, 120}, {320, 240}, {640, 480}};
    const double factors[][2] = {{2, 2}, {3, 3}, {0.5, 0.5}, {1.5, 1.5}, {0.7, 0.7}, {1.37, 0.81}, {2.5, 1}};
    for (auto s : sources) {
        for (uint32_t n : {1u, 255u, 0x7FFFFFFFu}) {
            const auto frame = Render(n, PixelFormat::kRgb24, s.w, -s.h);
            for (const auto& f : factors) {
                const int w = static_cast<int>(s.w * f[0]), h = static_cast<int>(s.h * f[1]);
                if (w < 4 * kCodeColumns || h < 4 * kPictureRowsPerCodeRow) continue;  // below the decoder's reach
                const auto scaled = testing_util::ScaleRgb24(frame, s.w, s.h, w, h);
                EXPECT_EQ(Decode(scaled, PixelFormat::kRgb24, w, -h), n)
                    << s.w << "x" << s.h << " -> " << w << "x" << h;
            }
        }
    }
}

TEST(TestPattern, NoCounterWhereThereIsNoCode) {
    const int w = 320, h = 240;
    std::mt19937 rng(4);
    std::vector<uint8_t> noise(FrameSize(PixelFormat::kRgb24, w, h));
    for (auto& b : noise) b = static_cast<uint8_t>(rng());
    EXPECT_FALSE(Decode(noise, PixelFormat::kRgb24, w, h));
    EXPECT_FALSE(Decode(std::vector<uint8_t>(noise.size(), 128), PixelFormat::kRgb24, w, h));
    // Below 160x120 the pattern has no code.
    EXPECT_FALSE(Decode(Render(5, PixelFormat::kRgb24, 159, 120), PixelFormat::kRgb24, 159, 120));
    EXPECT_FALSE(Decode(Render(5, PixelFormat::kYuy2, 160, 119), PixelFormat::kYuy2, 160, 119));
    // A frame read with the wrong row order has its code upside down.
    EXPECT_FALSE(Decode(Render(5, PixelFormat::kRgb24, w, h), PixelFormat::kRgb24, w, -h));
    // A buffer shorter than the frame is not read.
    const auto frame = Render(5, PixelFormat::kI420, w, h);
    EXPECT_FALSE(DecodeFrameCounter(frame.data(), frame.size() - 1, PixelFormat::kI420, w, h));
    EXPECT_EQ(Decode(frame, PixelFormat::kI420, w, h), 5u);
}

// Every single cell misread, guard or data or check, is rejected rather than
// decoded as another number.
TEST(TestPattern, AnyFlippedCellIsRejected) {
    for (uint32_t n : kCounters) {
        const CodeCells cells = EncodeFrameCode(n);
        ASSERT_EQ(DecodeFrameCode(cells), n);
        for (int i = 0; i < kCodeCellCount; ++i) {
            CodeCells corrupt = cells;
            corrupt[i] = !corrupt[i];
            EXPECT_FALSE(DecodeFrameCode(corrupt)) << "counter " << n << " cell " << i;
        }
    }
}

TEST(TestPattern, SmallAndOddSizesStayInsideTheBuffer) {
    const struct {
        int w, h;
    } sizes[] = {{1, 1}, {2, 1}, {1, 3}, {7, 5}, {31, 17}, {159, 119}, {161, 121}};
    for (auto s : sizes) {
        for (PixelFormat f : kAllPixelFormats) {
            // Exactly sized heap buffers: the sanitizers flag any overrun.
            std::vector<uint8_t> frame(FrameSize(f, s.w, s.h));
            EXPECT_TRUE(RenderTestPattern(42, f, s.w, s.h, frame.data(), frame.size()));
            std::vector<uint8_t> short_buffer(frame.size() - 1, 0x77);
            EXPECT_FALSE(RenderTestPattern(42, f, s.w, s.h, short_buffer.data(), short_buffer.size()));
            EXPECT_EQ(short_buffer, std::vector<uint8_t>(frame.size() - 1, 0x77));
        }
    }
    uint8_t byte = 0;
    EXPECT_FALSE(RenderTestPattern(0, PixelFormat::kRgb24, 0, 10, &byte, 1));
    EXPECT_FALSE(RenderTestPattern(0, PixelFormat::kRgb24, 100000, 10, &byte, 1));
}

TEST(TestPattern, RendererHonoursStrideAndReusesItsSurface) {
    const int w = 160, h = 120, stride = 640;  // wider than the 480 bytes of a row
    std::vector<uint8_t> padded(stride * h, 0x3C);
    TestPatternRenderer renderer;
    for (uint32_t n : {7u, 8u}) {
        ASSERT_TRUE(renderer.Render(n, {PixelFormat::kRgb24, w, h, stride}, padded.data(), padded.size()));
        for (int row = 0; row < h; ++row)
            for (int i = 3 * w; i < stride; ++i) ASSERT_EQ(padded[row * stride + i], 0x3C);
        // Repack to the default stride to decode.
        std::vector<uint8_t> packed(FrameSize(PixelFormat::kRgb24, w, h));
        for (int row = 0; row < h; ++row) std::memcpy(&packed[row * 3 * w], &padded[row * stride], 3 * w);
        EXPECT_EQ(Decode(packed, PixelFormat::kRgb24, w, h), n);
    }
}

TEST(TestPattern, LabelIsDrawnAndLeavesTheCodeReadable) {
    const int w = 320, h = 240;
    auto render = [&](const std::string& label) {
        TestPatternRenderer renderer;
        renderer.set_label(label);
        std::vector<uint8_t> frame(FrameSize(PixelFormat::kYuy2, w, h));
        EXPECT_TRUE(renderer.Render(77, {PixelFormat::kYuy2, w, h}, frame.data(), frame.size()));
        return frame;
    };
    const auto plain = render(""), cam = render("Test Camera 1"), other = render("Test Camera 2");
    EXPECT_NE(plain, cam);
    EXPECT_NE(cam, other);
    // Letters are case-blind; a label far wider than the picture is clipped.
    EXPECT_EQ(cam, render("TEST CAMERA 1"));
    const auto wide = render(std::string(200, 'W') + "~");
    EXPECT_EQ(Decode(wide, PixelFormat::kYuy2, w, h), 77u);
    EXPECT_EQ(Decode(cam, PixelFormat::kYuy2, w, h), 77u);
    // And at a tiny size it stays inside the frame.
    TestPatternRenderer tiny;
    tiny.set_label("Label");
    std::vector<uint8_t> small(FrameSize(PixelFormat::kRgb24, 9, 4));
    EXPECT_TRUE(tiny.Render(1, {PixelFormat::kRgb24, 9, 4}, small.data(), small.size()));
}

}  // namespace
}  // namespace test_signals
