// The whole pipeline, run by the reference and by the fast path alike: row
// order, top-down YUV, padded and long samples, odd sizes, and every refusal.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <utility>
#include <random>
#include <vector>

#include "filters/pixmorph/colorspaceconverter_reference.h"
#include "filters/pixmorph/tests/pixmorph_test_util.h"

namespace pixmorph {
namespace {

using testing::Bgr;
using testing::GuardedBuffer;
using testing::GuardedWork;
using testing::PixelAt;

using Pipeline = Status (*)(const InputFrame&, const WorkBuffers&, const OutputFrame&);
struct NamedPipeline {
    const char* name;
    Pipeline run;
};

constexpr Subtype kYuvSubtypes[] = {Subtype::kI420, Subtype::kYuy2, Subtype::kYuyv, Subtype::kUyvy};

class PipelineTest : public ::testing::TestWithParam<NamedPipeline> {
protected:
    void SetUp() override { InitYuvTables(); }

    // Runs one frame in guarded buffers of the least accepted sizes.
    std::vector<uint8_t> Run(const std::vector<uint8_t>& frame, Subtype subtype, int width, int height, int mx = 1,
                             int my = 1, uint8_t work_fill = 0xCD) {
        GuardedBuffer in(frame.size());
        if (!frame.empty()) std::memcpy(in.data(), frame.data(), frame.size());
        GuardedWork work(subtype, width, height, work_fill);
        const int rows = height < 0 ? -height : height;
        GuardedBuffer out(OutputFrameSize(width * mx, rows * my));
        const InputFrame input{in.data(), in.size(), subtype, width, height};
        EXPECT_EQ(Status::kOk, GetParam().run(input, work.Buffers(), testing::MultipleMode(out, width, height, mx, my)));
        EXPECT_TRUE(in.GuardsIntact() && work.GuardsIntact() && out.GuardsIntact());
        return out.Contents();
    }
};

std::vector<uint8_t> RandomFrame(Subtype subtype, int width, int height, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> frame(InputFrameSize(subtype, width, height));
    testing::FillRandom(frame.data(), frame.size(), rng);
    return frame;
}

TEST_P(PipelineTest, YuvFramesComeOutBottomUp) {
    // Top row mid grey, bottom row black luma, neutral chroma throughout.
    const std::vector<uint8_t> frames[] = {
        {128, 128, 0, 0, 128, 128},                 // I420
        {128, 128, 128, 128, 0, 128, 0, 128},       // YUY2
        {128, 128, 128, 128, 0, 128, 0, 128},       // YUYV
        {128, 128, 128, 128, 128, 0, 128, 0},       // UYVY
    };
    for (int i = 0; i < 4; ++i) {
        const std::vector<uint8_t> out = Run(frames[i], kYuvSubtypes[i], 2, 2);
        EXPECT_EQ((Bgr{0, 0, 1}), PixelAt(out.data(), 2, 1, 0)) << i;
        EXPECT_EQ((Bgr{128, 127, 129}), PixelAt(out.data(), 2, 0, 1)) << i;
    }
}

// YUV frames are top-down whatever the sign of biHeight: a negative height
// must give the picture of the positive one, not a negative byte count.
TEST_P(PipelineTest, TopDownYuvHeightsGiveTheSamePicture) {
    for (const Subtype subtype : kYuvSubtypes) {
        const std::vector<uint8_t> frame = RandomFrame(subtype, 6, 4, 11);
        EXPECT_EQ(Run(frame, subtype, 6, 4, 2, 1), Run(frame, subtype, 6, -4, 2, 1)) << int(subtype);
    }
}

TEST_P(PipelineTest, Rgb24PassesInItsOwnRowOrder) {
    const std::vector<uint8_t> frame = RandomFrame(Subtype::kRgb24, 5, 3, 12);
    for (const int height : {3, -3}) {
        const std::vector<uint8_t> out = Run(frame, Subtype::kRgb24, 5, height);
        EXPECT_TRUE(std::equal(frame.begin(), frame.end(), out.begin())) << height;
    }
}

TEST_P(PipelineTest, Yuy2RowPaddingIsDropped) {
    const int width = 6, height = 4, pitch = 16;
    const std::vector<uint8_t> packed = RandomFrame(Subtype::kYuy2, width, height, 13);
    std::vector<uint8_t> padded(pitch * height, 0xEE);
    for (int r = 0; r < height; ++r) std::memcpy(&padded[r * pitch], &packed[r * 2 * width], 2 * width);
    EXPECT_EQ(Run(packed, Subtype::kYuy2, width, height), Run(padded, Subtype::kYuy2, width, height));
}

TEST_P(PipelineTest, BytesAfterTheFrameAreIgnored) {
    for (const Subtype subtype : {Subtype::kUyvy, Subtype::kI420, Subtype::kRgb24}) {
        std::vector<uint8_t> frame = RandomFrame(subtype, 6, 2, 14);
        const std::vector<uint8_t> exact = Run(frame, subtype, 6, 2);
        frame.insert(frame.end(), {1, 2, 3, 4, 5});
        EXPECT_EQ(exact, Run(frame, subtype, 6, 2)) << int(subtype);
    }
}

// Odd sizes have no settled picture, but it must come from the frame alone,
// not from whatever the work buffers held before.
TEST_P(PipelineTest, OddSizesDependOnTheFrameOnly) {
    for (const Subtype subtype : kYuvSubtypes) {
        for (const auto& [w, h] : {std::pair{5, 3}, std::pair{3, 4}, std::pair{4, 3}, std::pair{1, 1}}) {
            const std::vector<uint8_t> frame = RandomFrame(subtype, w, h, 15);
            EXPECT_EQ(Run(frame, subtype, w, h, 1, 1, 0x00), Run(frame, subtype, w, h, 1, 1, 0xFF))
                << int(subtype) << ' ' << w << 'x' << h;
        }
    }
}

// A frame of least accepted sizes, to be spoiled one field at a time; a
// refusal must leave every buffer as it was.
struct FrameCase {
    FrameCase(Subtype subtype, int width, int height)
        : in(InputFrameSize(subtype, width, height), 0x11),
          work(subtype, width, height),
          out(OutputFrameSize(width, height > 0 ? height : -height)),
          input{in.data(), in.size(), subtype, width, height},
          buffers(work.Buffers()),
          output(testing::MultipleMode(out, width, height, 1, 1)) {}

    GuardedBuffer in;
    GuardedWork work;
    GuardedBuffer out;
    InputFrame input;
    WorkBuffers buffers;
    OutputFrame output;
};

template <typename Spoil>
Status RunSpoiled(Pipeline run, Subtype subtype, Spoil spoil) {
    FrameCase s(subtype, 6, 4);
    spoil(s);
    const std::vector<uint8_t> yuy2 = s.work.yuy2.Contents(), rgb = s.work.rgb.Contents(), out = s.out.Contents();
    const Status status = run(s.input, s.buffers, s.output);
    EXPECT_EQ(yuy2, s.work.yuy2.Contents());
    EXPECT_EQ(rgb, s.work.rgb.Contents());
    EXPECT_EQ(out, s.out.Contents());
    return status;
}

TEST_P(PipelineTest, ShortFramesAndBuffersAreRefused) {
    const Pipeline run = GetParam().run;
    for (const Subtype subtype : {Subtype::kRgb24, Subtype::kI420, Subtype::kYuy2, Subtype::kYuyv, Subtype::kUyvy}) {
        SCOPED_TRACE(int(subtype));
        {
            FrameCase fits(subtype, 6, 4);
            EXPECT_EQ(Status::kOk, run(fits.input, fits.buffers, fits.output));
        }
        EXPECT_EQ(Status::kShortInput, RunSpoiled(run, subtype, [](FrameCase& s) { --s.input.length; }));
        EXPECT_EQ(Status::kWorkTooSmall, RunSpoiled(run, subtype, [](FrameCase& s) { --s.buffers.rgb_capacity; }));
        EXPECT_EQ(Status::kOutputTooSmall, RunSpoiled(run, subtype, [](FrameCase& s) { --s.output.capacity; }));
        if (subtype != Subtype::kRgb24) {
            EXPECT_EQ(Status::kWorkTooSmall, RunSpoiled(run, subtype, [](FrameCase& s) { --s.buffers.yuy2_capacity; }));
        }
    }
    // 24-bit input never touches the YUY2 work buffer.
    FrameCase rgb(Subtype::kRgb24, 6, 4);
    EXPECT_EQ(Status::kOk, run(rgb.input, {nullptr, 0, rgb.buffers.rgb, rgb.buffers.rgb_capacity}, rgb.output));
}

TEST_P(PipelineTest, SizesOutsideTheLimitsAreRefused) {
    const Pipeline run = GetParam().run;
    const Subtype yuy2 = Subtype::kYuy2;
    EXPECT_EQ(Status::kBadSize, RunSpoiled(run, yuy2, [](FrameCase& s) { s.input.width = 0; }));
    EXPECT_EQ(Status::kBadSize, RunSpoiled(run, yuy2, [](FrameCase& s) { s.input.height = 0; }));
    EXPECT_EQ(Status::kBadSize, RunSpoiled(run, yuy2, [](FrameCase& s) { s.input.width = -6; }));
    EXPECT_EQ(Status::kBadSize, RunSpoiled(run, yuy2, [](FrameCase& s) { s.input.height = -kMaxDimension - 1; }));
    EXPECT_EQ(Status::kBadSize, RunSpoiled(run, yuy2, [](FrameCase& s) { s.input.height = INT_MIN; }));
    EXPECT_EQ(Status::kBadSize, RunSpoiled(run, yuy2, [](FrameCase& s) { s.output.multiple_x = 0; }));
    EXPECT_EQ(Status::kBadSize, RunSpoiled(run, yuy2, [](FrameCase& s) { s.output.multiple_y = kMaxDimension / 4 + 1; }));
    EXPECT_EQ(Status::kSizeMismatch, RunSpoiled(run, yuy2, [](FrameCase& s) { s.output.width = 12; }));
    EXPECT_EQ(Status::kSizeMismatch, RunSpoiled(run, yuy2, [](FrameCase& s) { s.output.multiple_y = 2; }));
    auto size_mode = [](int w, int h) {
        return [w, h](FrameCase& s) { s.output = {s.out.data(), s.out.size(), ScaleMode::kSize, w, h, 1, 1}; };
    };
    EXPECT_EQ(Status::kBadSize, RunSpoiled(run, yuy2, size_mode(0, 2)));
    EXPECT_EQ(Status::kBadSize, RunSpoiled(run, yuy2, size_mode(3, kMaxDimension + 1)));
    EXPECT_EQ(Status::kOutputTooSmall, RunSpoiled(run, yuy2, size_mode(7, 4)));
    EXPECT_EQ(Status::kBadArgument, RunSpoiled(run, yuy2, [](FrameCase& s) { s.input.subtype = static_cast<Subtype>(9); }));
    EXPECT_EQ(Status::kBadArgument, RunSpoiled(run, yuy2, [](FrameCase& s) { s.output.mode = static_cast<ScaleMode>(2); }));
    EXPECT_EQ(Status::kBadArgument, RunSpoiled(run, yuy2, [](FrameCase& s) { s.input.data = nullptr; }));
    EXPECT_EQ(Status::kWorkTooSmall, RunSpoiled(run, yuy2, [](FrameCase& s) { s.buffers.rgb = nullptr; }));
}

TEST(FrameSizes, AreZeroOutsideTheLimits) {
    for (const Subtype subtype : {Subtype::kRgb24, Subtype::kI420, Subtype::kUyvy}) {
        for (const auto& [w, h] : {std::pair{0, 4}, std::pair{-3, 4}, std::pair{4, 0}, std::pair{4, INT_MIN},
                                   std::pair{kMaxDimension + 1, 1}, std::pair{1, -kMaxDimension - 1}}) {
            EXPECT_EQ(0u, InputFrameSize(subtype, w, h)) << w << 'x' << h;
            EXPECT_EQ(0u, Yuy2WorkSize(subtype, w, h)) << w << 'x' << h;
            EXPECT_EQ(0u, RgbWorkSize(w, h)) << w << 'x' << h;
            EXPECT_EQ(0u, OutputFrameSize(w, h)) << w << 'x' << h;
        }
    }
    // Within the limits |height| counts.
    EXPECT_EQ(InputFrameSize(Subtype::kI420, 640, 480), InputFrameSize(Subtype::kI420, 640, -480));
    EXPECT_EQ(460800u, InputFrameSize(Subtype::kI420, 640, 480));
    // 3 by 3: int(13.5) = 13, the V plane at 13*5/6 = 10, then 2 by 2 pairs read.
    EXPECT_EQ(14u, InputFrameSize(Subtype::kI420, 3, 3));
    EXPECT_EQ(230400u, OutputFrameSize(320, 240));
    EXPECT_EQ(48u, OutputFrameSize(5, 3));  // rows of 15 bytes padded to 16
}

const NamedPipeline kPipelines[] = {{"Reference", oracle::ConvertFrame}, {"Fast", ConvertFrame}};
INSTANTIATE_TEST_SUITE_P(Both, PipelineTest, ::testing::ValuesIn(kPipelines),
                         [](const ::testing::TestParamInfo<NamedPipeline>& info) { return info.param.name; });

}  // namespace
}  // namespace pixmorph
