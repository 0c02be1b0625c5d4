// The reference routines against the worked values of their description and
// the behaviour the added bounds give them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "filters/pixmorph/colorspaceconverter_diagnostics.h"
#include "filters/pixmorph/colorspaceconverter_reference.h"
#include "filters/pixmorph/tests/pixmorph_test_util.h"

namespace pixmorph {
namespace {

using testing::Bgr;
using testing::GuardedBuffer;
using testing::PixelAt;

std::vector<std::string> g_reports;
void RecordReport(const char* condition, const char*, int) { g_reports.emplace_back(condition); }

class ReferenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitYuvTables();
        g_reports.clear();
        SetAssertionHandler(RecordReport);
    }
    void TearDown() override { SetAssertionHandler(nullptr); }
    static std::vector<std::string> ExpectedReports(const char* condition) {
        return kDiagnostics ? std::vector<std::string>{condition} : std::vector<std::string>{};
    }
};

Bgr ConvertPair(const uint8_t (&group)[4], Bgr* second) {
    uint8_t rgb[6];
    EXPECT_EQ(6u, oracle::Yuy2ToRgb24(group, 4, rgb, sizeof rgb));
    *second = PixelAt(rgb, 2, 1, 0);
    return PixelAt(rgb, 2, 0, 0);
}

TEST_F(ReferenceTest, Yuy2ColourCases) {
    const struct {
        uint8_t group[4];
        Bgr expected;
    } cases[] = {
        {{128, 128, 128, 128}, {128, 127, 129}},
        {{235, 128, 235, 128}, {235, 234, 236}},
        {{0, 128, 0, 128}, {0, 0, 1}},
        {{255, 255, 255, 255}, {255, 120, 255}},
    };
    for (const auto& c : cases) {
        Bgr second;
        EXPECT_EQ(c.expected, ConvertPair(c.group, &second)) << int(c.group[0]);
        EXPECT_EQ(c.expected, second) << int(c.group[0]);
    }
}

// The integer form approximates R = Y + 1.40625(V-128), G = Y - 0.7109375(V-128)
// - 0.34375(U-128), B = Y + 1.765625(U-128) on full-range luma; floor division
// and the offsets in its constants shift R up by under 1.05, G down by under
// 1.13 and B down by under 1.
TEST_F(ReferenceTest, Yuy2ConversionFollowsItsRealNumberForm) {
    auto clamp = [](double v) { return std::min(255.0, std::max(0.0, v)); };
    for (int y = 0; y < 256; y += 5) {
        for (int u = 0; u < 256; u += 5) {
            for (int v = 0; v < 256; v += 5) {
                const uint8_t group[4] = {uint8_t(y), uint8_t(u), uint8_t(255 - y), uint8_t(v)};
                Bgr second;
                const Bgr got = ConvertPair(group, &second);
                const double r = clamp(y + 1.40625 * (v - 128));
                const double g = clamp(y - 0.7109375 * (v - 128) - 0.34375 * (u - 128));
                const double b = clamp(y + 1.765625 * (u - 128));
                ASSERT_TRUE(got.r - r > -0.01 && got.r - r < 1.05) << y << ' ' << u << ' ' << v;
                ASSERT_TRUE(got.g - g > -1.13 && got.g - g < 0.01) << y << ' ' << u << ' ' << v;
                ASSERT_TRUE(got.b - b > -1.0 && got.b - b < 0.01) << y << ' ' << u << ' ' << v;
            }
        }
    }
}

TEST_F(ReferenceTest, Yuy2ConversionStopsAtSourceLengthAndCapacity) {
    const uint8_t yuy2[12] = {10, 128, 20, 128, 30, 128, 40, 128, 50, 128, 60, 128};
    GuardedBuffer rgb(18);
    // 11 bytes hold two whole groups; the third is incomplete.
    EXPECT_EQ(12u, oracle::Yuy2ToRgb24(yuy2, 11, rgb.data(), rgb.size()));
    EXPECT_EQ(0xCD, rgb[12]);
    EXPECT_TRUE(g_reports.empty());

    // One byte short of room for the third group's six bytes.
    EXPECT_EQ(12u, oracle::Yuy2ToRgb24(yuy2, 12, rgb.data(), 17));
    EXPECT_EQ(0xCD, rgb[17]);
    EXPECT_EQ(ExpectedReports("m+5<dwDst"), g_reports);
    EXPECT_TRUE(rgb.GuardsIntact());
}

// Rows of `pitch` bytes, each holding its own row number and column.
GuardedBuffer NumberedRows(int rows, int pitch) {
    GuardedBuffer image(static_cast<size_t>(rows) * pitch);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < pitch; ++c) image[r * pitch + c] = static_cast<uint8_t>(c < 2 ? r >> (8 * c) : c);
    return image;
}

int RowNumber(GuardedBuffer& image, int pitch, int row) { return image[row * pitch] | image[row * pitch + 1] << 8; }

TEST_F(ReferenceTest, FlipExchangesRowsAroundTheMiddle) {
    const int pitch = 6;
    for (const int rows : {240, 241}) {
        GuardedBuffer image = NumberedRows(rows, pitch);
        oracle::FlipRowsInPlace(image.data(), pitch, rows);
        for (int r = 0; r < rows; ++r) ASSERT_EQ(rows - 1 - r, RowNumber(image, pitch, r)) << rows << ' ' << r;
        EXPECT_TRUE(image.GuardsIntact());
    }
    GuardedBuffer even = NumberedRows(240, pitch);
    oracle::FlipRowsInPlace(even.data(), pitch, 240);
    EXPECT_EQ(239, RowNumber(even, pitch, 0));
    EXPECT_EQ(120, RowNumber(even, pitch, 119));
    EXPECT_EQ(119, RowNumber(even, pitch, 120));
    GuardedBuffer odd = NumberedRows(241, pitch);
    oracle::FlipRowsInPlace(odd.data(), pitch, 241);
    EXPECT_EQ(120, RowNumber(odd, pitch, 120));
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(ReferenceTest, FlipRefusesAPitchThatIsNotPositive) {
    GuardedBuffer image = NumberedRows(4, 3);
    const std::vector<uint8_t> before = image.Contents();
    oracle::FlipRowsInPlace(image.data(), 0, 4);
    EXPECT_EQ(before, image.Contents());
    EXPECT_EQ(ExpectedReports("nPitch>0"), g_reports);
}

// A 24-bit picture in which every pixel names its column and row.
Bgr Coordinates(int x, int y) { return {x & 255, y & 255, (x >> 8) | (y >> 8) << 4}; }

// The picture of width by height whose pixel (x, y) shows source pixel
// pick(x, y) of a coordinate picture.
template <typename Pick>
std::vector<uint8_t> PickedImage(int width, int height, Pick pick) {
    std::vector<uint8_t> image(static_cast<size_t>(width) * height * 3);
    uint8_t* p = image.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x, p += 3) {
            const auto [sx, sy] = pick(x, y);
            const Bgr c = Coordinates(sx, sy);
            p[0] = static_cast<uint8_t>(c.b);
            p[1] = static_cast<uint8_t>(c.g);
            p[2] = static_cast<uint8_t>(c.r);
        }
    }
    return image;
}

std::vector<uint8_t> CoordinateImage(int width, int height) {
    return PickedImage(width, height, [](int x, int y) { return std::pair{x, y}; });
}

TEST_F(ReferenceTest, HalvingTakesEverySecondPixelOfEverySecondRow) {
    EXPECT_EQ(65536, ScaleStep(640, 320, kBuildStepPrecision));
    EXPECT_EQ(65536, ScaleStep(480, 240, kBuildStepPrecision));
    const std::vector<uint8_t> src = CoordinateImage(640, 480);
    GuardedBuffer out(OutputFrameSize(320, 240));
    ASSERT_EQ(0, oracle::ScaleNearest24(src.data(), src.size(), out.data(), out.size(), 24, 640, 480, 320, 240));
    EXPECT_EQ(PickedImage(320, 240, [](int x, int y) { return std::pair{2 * x, 2 * y}; }), out.Contents());
    EXPECT_TRUE(out.GuardsIntact());
}

TEST_F(ReferenceTest, DoublingStepsGiveTheReplicatedPicture) {
    EXPECT_EQ(16384, ScaleStep(320, 640, kBuildStepPrecision));
    EXPECT_EQ(16384, ScaleStep(240, 480, kBuildStepPrecision));
    const std::vector<uint8_t> src = CoordinateImage(320, 240);
    GuardedBuffer scaled(OutputFrameSize(640, 480));
    GuardedBuffer replicated(OutputFrameSize(640, 480));
    ASSERT_EQ(0, oracle::ScaleNearest24(src.data(), src.size(), scaled.data(), scaled.size(), 24, 320, 240, 640, 480));
    ASSERT_EQ(0, oracle::ReplicatePixels24(src.data(), src.size(), replicated.data(), replicated.size(), 24, 320, 240,
                                           2, 2));
    EXPECT_EQ(scaled.Contents(), replicated.Contents());
    EXPECT_EQ(PickedImage(640, 480, [](int x, int y) { return std::pair{x / 2, y / 2}; }), scaled.Contents());
}

TEST_F(ReferenceTest, ReplicationMakesBlocksAndByOneCopies) {
    const std::vector<uint8_t> src = CoordinateImage(7, 5);
    GuardedBuffer same(OutputFrameSize(7, 5), 0xCD);
    ASSERT_EQ(0, oracle::ReplicatePixels24(src.data(), src.size(), same.data(), same.size(), 24, 7, 5, 1, 1));
    EXPECT_TRUE(std::equal(src.begin(), src.end(), same.data()));
    // Rows are packed at 3*width; the rest of the DIB size is cleared.
    EXPECT_TRUE(std::all_of(same.data() + src.size(), same.data() + same.size(), [](uint8_t b) { return b == 0; }));

    GuardedBuffer blocks(OutputFrameSize(21, 10));
    ASSERT_EQ(0, oracle::ReplicatePixels24(src.data(), src.size(), blocks.data(), blocks.size(), 24, 7, 5, 3, 2));
    std::vector<uint8_t> expected = PickedImage(21, 10, [](int x, int y) { return std::pair{x / 3, y / 2}; });
    expected.resize(blocks.size());  // the cleared end of the DIB size
    EXPECT_EQ(expected, blocks.Contents());
    EXPECT_TRUE(same.GuardsIntact() && blocks.GuardsIntact());
}

TEST_F(ReferenceTest, OutputRoutinesRefuseSmallBuffersAndLowBitDepths) {
    const std::vector<uint8_t> src = CoordinateImage(8, 8);
    GuardedBuffer out(OutputFrameSize(5, 3), 0xCD);
    const std::vector<uint8_t> untouched = out.Contents();
    EXPECT_EQ(-2, oracle::ScaleNearest24(src.data(), src.size(), out.data(), out.size() - 1, 24, 8, 8, 5, 3));
    EXPECT_EQ(-2, oracle::ScaleNearest24(src.data(), src.size() - 1, out.data(), out.size(), 24, 8, 8, 5, 3));
    EXPECT_EQ(-2, oracle::ReplicatePixels24(src.data(), src.size(), out.data(), out.size(), 24, 8, 8, 1, 1));
    EXPECT_EQ(untouched, out.Contents());

    EXPECT_EQ(-1, oracle::ScaleNearest24(src.data(), src.size(), out.data(), out.size(), 16, 8, 8, 5, 3));
    EXPECT_TRUE(std::all_of(out.data(), out.data() + out.size(), [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(out.GuardsIntact());
}

// 640/309 = 2.0711974..., times 32768 = 67868.9968. The spacing of single
// precision numbers there is 1/128 of a step unit, so the stored quotient
// rounds up to exactly 67869; in double the product truncates to 67868.
// Column 281 then lands on 281*67869/32768 = 582.006 or 281*67868/32768 = 581.998.
TEST_F(ReferenceTest, StepPrecisionOfEachBuild) {
    EXPECT_EQ(67869, ScaleStep(640, 309, StepPrecision::kSingle));
    EXPECT_EQ(67868, ScaleStep(640, 309, StepPrecision::kDouble));
    const std::vector<uint8_t> src = CoordinateImage(640, 1);
    GuardedBuffer out(OutputFrameSize(309, 1));
    ASSERT_EQ(0, oracle::ScaleNearest24(src.data(), src.size(), out.data(), out.size(), 24, 640, 1, 309, 1));
    const int expected = kBuildStepPrecision == StepPrecision::kSingle ? 582 : 581;
    EXPECT_EQ(Coordinates(expected, 0), PixelAt(out.data(), 309, 281, 0));
}

TEST_F(ReferenceTest, I420FourByTwoSharesChromaOverBothRowsAndFlips) {
    const uint8_t i420[12] = {10, 11, 12, 13, 14, 15, 16, 17, 20, 21, 30, 31};
    GuardedBuffer yuy2(16);
    ASSERT_TRUE(oracle::I420ToYuy2(i420, sizeof i420, 4, 2, yuy2.data(), yuy2.size()));
    const std::vector<uint8_t> first = {10, 20, 11, 30, 12, 21, 13, 31};
    const std::vector<uint8_t> second = {14, 20, 15, 30, 16, 21, 17, 31};
    std::vector<uint8_t> rows = first;
    rows.insert(rows.end(), second.begin(), second.end());
    EXPECT_EQ(rows, yuy2.Contents());

    oracle::FlipRowsInPlace(yuy2.data(), 8, 2);
    rows = second;
    rows.insert(rows.end(), first.begin(), first.end());
    EXPECT_EQ(rows, yuy2.Contents());

    GuardedBuffer untouched(16);
    EXPECT_FALSE(oracle::I420ToYuy2(i420, sizeof i420 - 1, 4, 2, untouched.data(), untouched.size()));
    EXPECT_FALSE(oracle::I420ToYuy2(i420, sizeof i420, 4, 2, untouched.data(), 15));
    EXPECT_EQ(std::vector<uint8_t>(16, 0xCD), untouched.Contents());
    EXPECT_TRUE(yuy2.GuardsIntact() && untouched.GuardsIntact());
}

TEST_F(ReferenceTest, OddI420SizesStayInsideTheImage) {
    // 3 by 3: the walk's second row pair would store into a fourth row.
    std::vector<uint8_t> i420(InputFrameSize(Subtype::kI420, 3, 3), 7);
    GuardedBuffer yuy2(18);
    ASSERT_TRUE(oracle::I420ToYuy2(i420.data(), i420.size(), 3, 3, yuy2.data(), yuy2.size()));
    EXPECT_TRUE(yuy2.GuardsIntact());
    EXPECT_FALSE(oracle::I420ToYuy2(i420.data(), i420.size() - 1, 3, 3, yuy2.data(), yuy2.size()));
}

TEST_F(ReferenceTest, UyvyLengthSixSwapsTwoWholeGroups) {
    GuardedBuffer buffer(8);
    const uint8_t uyvy[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(buffer.data(), uyvy, 8);
    ASSERT_TRUE(oracle::UyvyToYuy2(buffer.data(), 6, 8));
    EXPECT_EQ((std::vector<uint8_t>{2, 1, 4, 3, 6, 5, 8, 7}), buffer.Contents());
    // The second group would reach past a capacity of 7.
    EXPECT_FALSE(oracle::UyvyToYuy2(buffer.data(), 6, 7));
    EXPECT_EQ((std::vector<uint8_t>{2, 1, 4, 3, 6, 5, 8, 7}), buffer.Contents());
}

}  // namespace
}  // namespace pixmorph
