// The fast pipeline at every instruction-set level this CPU runs, against the
// reference on random frames: every subtype, odd and even sizes, both modes,
// column patterns with and without their own kernels, padded and long samples.
// The two pipelines get differently filled work and output buffers, all with
// guard bytes, and must agree on the status and on every output byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <random>
#include <vector>

#include "filters/pixmorph/colorspaceconverter_reference.h"
#include "filters/pixmorph/tests/pixmorph_test_util.h"

namespace pixmorph {
namespace {

using testing::GuardedBuffer;
using testing::GuardedWork;

constexpr Subtype kSubtypes[] = {Subtype::kRgb24, Subtype::kI420, Subtype::kYuy2, Subtype::kYuyv, Subtype::kUyvy};

std::vector<SimdLevel> UsableLevels() {
    std::vector<SimdLevel> levels;
    for (const SimdLevel level : {SimdLevel::kScalar, SimdLevel::kSse2, SimdLevel::kSsse3, SimdLevel::kAvx2}) {
        ForceSimdLevel(level);
        if (ActiveSimdLevel() == level) levels.push_back(level);
    }
    ForceSimdLevel(SimdLevel::kAvx2);
    return levels;
}

struct Case {
    Subtype subtype;
    int width;
    int height;
    size_t length;  // actual length
    ScaleMode mode;
    int out_width;  // size mode only
    int out_height;
    int mx = 1;
    int my = 1;
};

class FastPathTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InitYuvTables();
        levels_ = UsableLevels();
    }
    void TearDown() override { ForceSimdLevel(SimdLevel::kAvx2); }

    // Output and status of one pipeline; work and output start as `fill`.
    static Status RunOne(Status (*run)(const InputFrame&, const WorkBuffers&, const OutputFrame&), const Case& c,
                         const GuardedBuffer& in, uint8_t fill, std::vector<uint8_t>* result) {
        GuardedWork work(c.subtype, c.width, c.height, fill);
        const int rows = c.height < 0 ? -c.height : c.height;
        const int ow = c.mode == ScaleMode::kMultiple ? c.width * c.mx : c.out_width;
        const int oh = c.mode == ScaleMode::kMultiple ? rows * c.my : c.out_height;
        GuardedBuffer out(OutputFrameSize(ow, oh), fill);
        const InputFrame input{in.data(), c.length, c.subtype, c.width, c.height};
        const OutputFrame output{out.data(), out.size(), c.mode, ow, oh, c.mx, c.my};
        const Status status = run(input, work.Buffers(), output);
        EXPECT_TRUE(work.GuardsIntact() && out.GuardsIntact());
        *result = out.Contents();
        return status;
    }

    // The reference once, then the fast path at every level.
    static void ExpectSame(const Case& c, uint32_t seed) {
        std::mt19937 rng(seed);
        GuardedBuffer in(c.length);
        testing::FillRandom(in.data(), in.size(), rng);
        std::vector<uint8_t> expected, got;
        const Status want = RunOne(oracle::ConvertFrame, c, in, 0x00, &expected);
        ASSERT_EQ(Status::kOk, want);
        for (const SimdLevel level : levels_) {
            ForceSimdLevel(level);
            ASSERT_EQ(want, RunOne(ConvertFrame, c, in, 0xFF, &got)) << SimdLevelName(level);
            ASSERT_EQ(expected, got) << SimdLevelName(level) << " subtype " << int(c.subtype) << ' ' << c.width
                                     << 'x' << c.height << " length " << c.length << " mode " << int(c.mode) << ' '
                                     << c.out_width << 'x' << c.out_height << " multiples " << c.mx << ',' << c.my;
            ASSERT_TRUE(in.GuardsIntact());
        }
    }

    static std::vector<SimdLevel> levels_;
};
std::vector<SimdLevel> FastPathTest::levels_;

TEST_F(FastPathTest, ForcedLevelsAreHonouredUpToTheCpu) {
    ASSERT_FALSE(levels_.empty());
    EXPECT_EQ(SimdLevel::kScalar, levels_.front());
    EXPECT_EQ(DetectedSimdLevel(), levels_.back());
#if defined(__x86_64__)
    EXPECT_GE(DetectedSimdLevel(), SimdLevel::kSse2);  // part of the 64-bit baseline
#endif
    std::string names;
    for (const SimdLevel level : levels_) names += std::string(" ") + SimdLevelName(level);
    std::printf("levels compared with the reference:%s\n", names.c_str());
}

// Widths across the kernels' block sizes (16 and 32 pixels, 64 doubled), each
// with whole-row, every-second, doubled and irregular columns.
TEST_F(FastPathTest, SweepOfWidths) {
    uint32_t seed = 1;
    for (const Subtype subtype : kSubtypes) {
        for (int width = 1; width <= 70; ++width) {
            const int height = width % 3 + 1;
            const size_t length = InputFrameSize(subtype, width, height);
            const Case cases[] = {
                {subtype, width, height, length, ScaleMode::kMultiple, 0, 0, 1, 1},
                {subtype, width, height, length, ScaleMode::kMultiple, 0, 0, 2, 2},
                {subtype, width, -height, length, ScaleMode::kSize, (width + 1) / 2, 1},
                {subtype, width, height, length, ScaleMode::kSize, width + 3, height + 1},
                {subtype, width, height, length, ScaleMode::kSize, width * 2 / 3 + 1, height},
            };
            for (const Case& c : cases) ExpectSame(c, seed++);
            if (HasFatalFailure()) return;
        }
    }
}

Case RandomCase(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Case c;
    c.subtype = kSubtypes[pick(0, 4)];
    c.width = pick(0, 3) == 0 ? pick(1, 9) : pick(1, 300);
    const int rows = pick(1, 20);
    c.height = pick(0, 4) == 0 ? -rows : rows;
    const size_t least = InputFrameSize(c.subtype, c.width, rows);
    // YUY2 rows may carry padding: the pitch is the length over the rows.
    const bool padded = (c.subtype == Subtype::kYuy2 || c.subtype == Subtype::kYuyv) && pick(0, 1);
    c.length = least + (padded ? pick(0, 6) * rows + pick(0, rows - 1) : pick(0, 1) * pick(0, 7));
    if (pick(0, 2) == 0) {
        c.mode = ScaleMode::kMultiple;
        c.mx = pick(1, 4);
        c.my = pick(1, 3);
    } else {
        c.mode = ScaleMode::kSize;
        c.out_width = pick(1, 5 * c.width / 2 + 1);
        c.out_height = pick(1, 5 * rows / 2 + 1);
    }
    return c;
}

TEST_F(FastPathTest, RandomFrames) {
    std::mt19937 rng(20240601);
    for (int i = 0; i < 400 && !HasFatalFailure(); ++i) ExpectSame(RandomCase(rng), 1000 + i);
}

// The shapes the benchmark measures, so the figures are those of exact output.
TEST_F(FastPathTest, CameraSizes) {
    const Case cases[] = {
        {Subtype::kYuy2, 640, 480, 614400, ScaleMode::kSize, 320, 240},
        {Subtype::kI420, 640, 480, 460800, ScaleMode::kSize, 640, 480},
        {Subtype::kYuy2, 320, 240, 153600, ScaleMode::kMultiple, 0, 0, 2, 2},
        {Subtype::kYuy2, 1280, 720, 1843200, ScaleMode::kSize, 640, 480},
        {Subtype::kUyvy, 176, 144, 50688, ScaleMode::kMultiple, 0, 0, 2, 3},
        {Subtype::kRgb24, 320, 240, 230400, ScaleMode::kSize, 640, 480},
    };
    uint32_t seed = 7;
    for (const Case& c : cases) ExpectSame(c, seed++);
}

}  // namespace
}  // namespace pixmorph
