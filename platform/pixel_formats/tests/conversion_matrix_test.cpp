// Every format pair: odd sizes end to end, round trips, and the fast paths
// held to the exact bytes of the generic route.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame_test_util.h"
#include "pixel_formats/convert_frame.h"
#include "pixel_formats/frame_access.h"

namespace pixel_formats {
namespace {

using testing_util::Bgr;

struct Size {
    int width, height;
};
constexpr Size kOddSizes[] = {{1, 1}, {1, 2}, {2, 1}, {3, 3}, {7, 5}, {5, 8}, {17, 9}};

std::string PairName(PixelFormat a, PixelFormat b, Size s) {
    return std::string(PixelFormatName(a)) + "->" + PixelFormatName(b) + " " + std::to_string(s.width) + "x" +
           std::to_string(s.height);
}

// Converts through ConvertFrame into an exactly sized buffer.
std::vector<uint8_t> Convert(const std::vector<uint8_t>& src, PixelFormat from, PixelFormat to, Size s) {
    std::vector<uint8_t> dst(FrameSize(to, s.width, s.height));
    EXPECT_TRUE(ConvertFrame(src.data(), src.size(), from, dst.data(), dst.size(), to, s.width, s.height));
    return dst;
}

int WorstRgbError(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, Size s) {
    int worst = 0;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const Bgr p = testing_util::ReadBgr(a, PixelFormat::kRgb24, s.width, s.height, x, y);
            const Bgr q = testing_util::ReadBgr(b, PixelFormat::kRgb24, s.width, s.height, x, y);
            worst = std::max({worst, std::abs(p.b - q.b), std::abs(p.g - q.g), std::abs(p.r - q.r)});
        }
    }
    return worst;
}

// A solid colour survives every pair at every odd size: catches dropped tail
// columns, a missing last row of a 4:2:0 frame and chroma taken from the wrong place.
TEST(ConversionMatrix, SolidColourSurvivesEveryPairAtOddSizes) {
    const Bgr colour{40, 180, 220};
    for (Size s : kOddSizes) {
        const auto rgb = testing_util::SolidFrame(PixelFormat::kRgb24, s.width, s.height, colour, {});
        for (PixelFormat a : kAllPixelFormats) {
            const auto in_a = Convert(rgb, PixelFormat::kRgb24, a, s);
            for (PixelFormat b : kAllPixelFormats) {
                const auto back = Convert(Convert(in_a, a, b, s), b, PixelFormat::kRgb24, s);
                const bool coarse = (BitsPerPixel(a) == 16 && IsRgb(a)) || (BitsPerPixel(b) == 16 && IsRgb(b));
                EXPECT_LE(WorstRgbError(rgb, back, s), coarse ? 8 : 3) << PairName(a, b, s);
            }
        }
    }
}

// A picture of 2x2 blocks of one colour each loses nothing to chroma subsampling,
// so only rounding remains.
std::vector<uint8_t> BlockPicture(Size s, uint32_t seed) {
    auto rgb = std::vector<uint8_t>(FrameSize(PixelFormat::kRgb24, s.width, s.height));
    const auto colours = testing_util::RandomBytes(static_cast<size_t>(s.width * s.height) * 3, seed);
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            const uint8_t* c = &colours[3 * ((y / 2) * s.width + x / 2)];
            testing_util::WriteBgr(rgb, PixelFormat::kRgb24, s.width, s.height, x, y, {c[0], c[1], c[2]});
        }
    }
    return rgb;
}

TEST(ConversionMatrix, RgbRoundTripsWithinRounding) {
    const Size s{64, 48};
    const auto rgb = BlockPicture(s, 11);
    for (PixelFormat f : kAllPixelFormats) {
        const auto back = Convert(Convert(rgb, PixelFormat::kRgb24, f, s), f, PixelFormat::kRgb24, s);
        const int allowed = f == PixelFormat::kRgb24 || f == PixelFormat::kRgb32 ? 0 : IsRgb(f) ? 7 : 3;
        EXPECT_LE(WorstRgbError(rgb, back, s), allowed) << PixelFormatName(f);
    }
}

TEST(ConversionMatrix, YuvRoundTripsAreLosslessWhereSamplingAllows) {
    const Size s{9, 7};
    // Packed orders and planar orders only move bytes.
    const auto yuy2 = testing_util::RandomBytes(FrameSize(PixelFormat::kYuy2, s.width, s.height), 5);
    const auto via_uyvy = Convert(Convert(yuy2, PixelFormat::kYuy2, PixelFormat::kUyvy, s), PixelFormat::kUyvy,
                                  PixelFormat::kYuy2, s);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const auto p = testing_util::ReadYuv(yuy2, PixelFormat::kYuy2, s.width, s.height, x, y);
            const auto q = testing_util::ReadYuv(via_uyvy, PixelFormat::kYuy2, s.width, s.height, x, y);
            ASSERT_TRUE(p.y == q.y && p.u == q.u && p.v == q.v) << x << "," << y;
        }
    const auto i420 = testing_util::RandomBytes(FrameSize(PixelFormat::kI420, s.width, s.height), 6);
    EXPECT_EQ(Convert(Convert(i420, PixelFormat::kI420, PixelFormat::kYv12, s), PixelFormat::kYv12,
                      PixelFormat::kI420, s),
              i420);
    // 4:2:0 -> 4:2:2 repeats chroma, and averaging equal rows gives it back.
    for (PixelFormat packed : {PixelFormat::kYuy2, PixelFormat::kUyvy}) {
        EXPECT_EQ(Convert(Convert(i420, PixelFormat::kI420, packed, s), packed, PixelFormat::kI420, s), i420)
            << PixelFormatName(packed);
    }
}

TEST(ConversionMatrix, PackedToPlanarAveragesChromaOfRowPairs) {
    const Size s{2, 3};
    std::vector<uint8_t> yuy2(FrameSize(PixelFormat::kYuy2, 2, 3));
    testing_util::WriteYuv(yuy2, PixelFormat::kYuy2, 2, 3, 0, 0, {50, 100, 200});
    testing_util::WriteYuv(yuy2, PixelFormat::kYuy2, 2, 3, 0, 1, {60, 111, 150});
    testing_util::WriteYuv(yuy2, PixelFormat::kYuy2, 2, 3, 0, 2, {70, 30, 40});
    const auto i420 = Convert(yuy2, PixelFormat::kYuy2, PixelFormat::kI420, s);
    const auto top = testing_util::ReadYuv(i420, PixelFormat::kI420, 2, 3, 0, 0);
    EXPECT_EQ(top.y, 50);
    EXPECT_EQ(top.u, 106);  // (100 + 111) / 2 rounded up
    EXPECT_EQ(top.v, 175);
    const auto last = testing_util::ReadYuv(i420, PixelFormat::kI420, 2, 3, 0, 2);
    EXPECT_EQ(last.y, 70);  // a lone last row keeps its own chroma
    EXPECT_EQ(last.u, 30);
    EXPECT_EQ(last.v, 40);
}

// As libyuv checks its SIMD rows against C rows: the dedicated loops must give
// the generic route's bytes for every pair they take, at every size.
TEST(ConversionMatrix, FastPathsMatchGenericRouteExactly) {
    const Size sizes[] = {{1, 1}, {3, 3}, {7, 5}, {16, 4}, {33, 17}};
    int compared = 0;
    for (Size s : sizes) {
        for (PixelFormat from : kAllPixelFormats) {
            for (PixelFormat to : kAllPixelFormats) {
                if (from == to) continue;  // a same-format copy keeps padding bytes as they were
                const auto src = testing_util::RandomBytes(FrameSize(from, s.width, s.height), s.width * 31 + 1);
                for (int sign : {1, -1}) {
                    detail::SrcFrame in{from, {}, src.data()};
                    ASSERT_TRUE(ComputeFrameLayout({from, s.width, sign * s.height}, &in.layout));
                    std::vector<uint8_t> fast(FrameSize(to, s.width, s.height), 0x11);
                    std::vector<uint8_t> generic(fast.size(), 0x11);
                    detail::DstFrame out_fast{to, {}, fast.data()};
                    detail::DstFrame out_generic{to, {}, generic.data()};
                    ASSERT_TRUE(ComputeFrameLayout({to, s.width, s.height}, &out_fast.layout));
                    out_generic.layout = out_fast.layout;
                    if (!detail::ConvertFast(in, out_fast)) continue;
                    detail::ConvertGeneric(in, out_generic);
                    ++compared;
                    ASSERT_EQ(fast, generic) << PairName(from, to, s) << " sign " << sign;
                }
            }
        }
    }
    EXPECT_GE(compared, 5 * 2 * 20);  // the fast table must not silently shrink
}

}  // namespace
}  // namespace pixel_formats
