// The video encoder's output decoded by ffmpeg: pictures must come back close
// to what went in, for every input format and odd sizes, with no decoder
// complaint.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "media/mpeg1/tests/media_tools.h"
#include "media/mpeg1/tests/synthetic_video.h"
#include "media/mpeg1/video/video_encoder.h"
#include "pixel_formats/convert_frame.h"

namespace mpeg {
namespace {

using pixel_formats::PixelFormat;
using testing::SyntheticFrame;

// --- whole streams through ffmpeg -----------------------------------------

struct Encoded {
    std::vector<uint8_t> stream;
    std::vector<std::vector<uint8_t>> reference;  // I420 the decoder should give back
    int intra = 0, predicted = 0;
};

// Encodes `frames` synthetic frames delivered in `format`.
Encoded EncodeSequence(PixelFormat format, int width, int height, int frames, int quality,
                       int64_t frame_duration = 333333) {
    VideoEncoderConfig config;
    config.input = {format, width, height, 0};
    config.quality = quality;
    config.frame_duration = frame_duration;
    std::unique_ptr<VideoEncoder> encoder = VideoEncoder::Create(config);
    Encoded result;
    if (!encoder) return result;
    const size_t i420_size = pixel_formats::FrameSize(PixelFormat::kI420, width, height);
    for (int f = 0; f < frames; ++f) {
        std::vector<uint8_t> i420 = SyntheticFrame(width, height, f);
        std::vector<uint8_t> input(encoder->input_frame_size());
        std::vector<uint8_t> expected(i420_size);
        if (format == PixelFormat::kI420) {
            input = i420;
            expected = i420;
        } else {
            // What the encoder sees is the converted frame; compare against its I420 form.
            pixel_formats::ConvertFrame(i420.data(), i420.size(), PixelFormat::kI420, input.data(), input.size(),
                                        format, width, height);
            pixel_formats::ConvertFrame(input.data(), input.size(), format, expected.data(), expected.size(),
                                        PixelFormat::kI420, width, height);
        }
        EncodedPicture picture;
        EXPECT_TRUE(encoder->Encode(input.data(), input.size(), &picture));
        result.stream.insert(result.stream.end(), picture.data, picture.data + picture.size);
        (picture.type == PictureType::kIntra ? result.intra : result.predicted)++;
        result.reference.push_back(std::move(expected));
    }
    const std::vector<uint8_t> end = encoder->Finish();
    result.stream.insert(result.stream.end(), end.begin(), end.end());
    return result;
}

struct Decoded {
    std::string warnings;
    int frames = 0;
    double luma_psnr = 0, chroma_psnr = 0;  // worst frame
};

Decoded DecodeAndCompare(const Encoded& encoded, int width, int height, const std::string& name) {
    const std::string path = testing::ScratchPath(name + ".m1v");
    EXPECT_TRUE(testing::WriteFile(path, encoded.stream));
    Decoded d;
    const std::vector<uint8_t> raw = testing::DecodeVideo(path, &d.warnings);
    const size_t luma = static_cast<size_t>(width) * height;
    const size_t chroma = static_cast<size_t>((width + 1) / 2) * ((height + 1) / 2);
    const size_t frame_size = luma + 2 * chroma;
    d.frames = static_cast<int>(raw.size() / frame_size);
    d.luma_psnr = d.chroma_psnr = 99;
    for (int f = 0; f < d.frames && f < static_cast<int>(encoded.reference.size()); ++f) {
        const uint8_t* got = raw.data() + f * frame_size;
        const uint8_t* want = encoded.reference[f].data();
        d.luma_psnr = std::min(d.luma_psnr, testing::Psnr(got, want, luma));
        d.chroma_psnr = std::min(d.chroma_psnr, testing::Psnr(got + luma, want + luma, 2 * chroma));
    }
    return d;
}

TEST(VideoEncoder, QualityLevelsTradeSizeForFidelity) {
    constexpr int kW = 320, kH = 240, kFrames = 18;
    size_t sizes[3];
    double psnr[3];
    for (int q = 0; q < 3; ++q) {
        const Encoded e = EncodeSequence(PixelFormat::kI420, kW, kH, kFrames, q);
        EXPECT_EQ(e.intra, 2);  // groups of 15
        EXPECT_EQ(e.predicted, kFrames - 2);
        const Decoded d = DecodeAndCompare(e, kW, kH, "quality" + std::to_string(q));
        EXPECT_EQ(d.warnings, "");
        EXPECT_EQ(d.frames, kFrames);
        sizes[q] = e.stream.size();
        psnr[q] = d.luma_psnr;
        EXPECT_GT(d.chroma_psnr, psnr[q] - 3) << "quality " << q;
        std::printf("quality %d: %zu bytes, worst luma PSNR %.2f dB, chroma %.2f dB\n", q, sizes[q], d.luma_psnr,
                    d.chroma_psnr);
    }
    EXPECT_GE(psnr[2], 35.0);
    EXPECT_GT(psnr[2], psnr[1]);
    EXPECT_GT(psnr[1], psnr[0]);
    EXPECT_GE(psnr[0], 27.0);
    EXPECT_LT(sizes[0], sizes[1]);
    EXPECT_LT(sizes[1], sizes[2]);
}

TEST(VideoEncoder, PackedAndRgbInputsEncodeLikePlanarInput) {
    constexpr int kW = 176, kH = 144, kFrames = 6;
    for (PixelFormat format : {PixelFormat::kYuy2, PixelFormat::kRgb24}) {
        const Encoded e = EncodeSequence(format, kW, kH, kFrames, 2);
        const Decoded d = DecodeAndCompare(e, kW, kH, pixel_formats::PixelFormatName(format));
        EXPECT_EQ(d.warnings, "") << pixel_formats::PixelFormatName(format);
        EXPECT_EQ(d.frames, kFrames);
        // A bottom-up DIB read upside down would fail this by a wide margin.
        EXPECT_GE(d.luma_psnr, 35.0) << pixel_formats::PixelFormatName(format);
    }
}

TEST(VideoEncoder, SizesOffTheMacroblockGridComeBackAtTheirOwnSize) {
    const int sizes[][2] = {{50, 36}, {33, 17}, {16, 16}, {638, 30}};
    for (const auto& s : sizes) {
        const Encoded e = EncodeSequence(PixelFormat::kI420, s[0], s[1], 4, 1);
        const std::string name = std::to_string(s[0]) + "x" + std::to_string(s[1]);
        const Decoded d = DecodeAndCompare(e, s[0], s[1], name);
        EXPECT_EQ(d.warnings, "") << name;
        EXPECT_EQ(d.frames, 4) << name;
        EXPECT_GE(d.luma_psnr, 30.0) << name;
        testing::ProbeResult probe = testing::Probe(testing::ScratchPath(name + ".m1v"));
        ASSERT_EQ(probe.streams.size(), 1u) << probe.errors;
        EXPECT_EQ(probe.streams[0]["width"], std::to_string(s[0]));
        EXPECT_EQ(probe.streams[0]["height"], std::to_string(s[1]));
    }
}

TEST(VideoEncoder, FrameDurationSelectsTheNearestPictureRate) {
    const struct {
        int64_t duration;
        const char* rate;
    } cases[] = {{400000, "25/1"}, {333667, "30000/1001"}, {0, "30/1"}, {2000000, "24000/1001"}};
    for (const auto& c : cases) {
        const Encoded e = EncodeSequence(PixelFormat::kI420, 32, 32, 1, 1, c.duration);
        const std::string path = testing::ScratchPath("rate.m1v");
        testing::WriteFile(path, e.stream);
        testing::ProbeResult probe = testing::Probe(path);
        ASSERT_EQ(probe.streams.size(), 1u);
        EXPECT_EQ(probe.streams[0]["r_frame_rate"], c.rate) << c.duration;
        EXPECT_EQ(probe.streams[0]["codec_name"], "mpeg1video");
    }
}

TEST(VideoEncoder, RepeatedPicturesShowThePreviousPictureAgain) {
    constexpr int kW = 96, kH = 64;
    VideoEncoderConfig config;
    config.input = {PixelFormat::kI420, kW, kH, 0};
    config.gop_length = 4;
    auto encoder = VideoEncoder::Create(config);
    ASSERT_TRUE(encoder);
    EncodedPicture picture;
    EXPECT_FALSE(encoder->EncodeRepeat(&picture));  // nothing to repeat yet
    std::vector<uint8_t> stream;
    auto append = [&] { stream.insert(stream.end(), picture.data, picture.data + picture.size); };
    const std::vector<uint8_t> frame = SyntheticFrame(kW, kH, 0);
    ASSERT_TRUE(encoder->Encode(frame.data(), frame.size(), &picture));
    append();
    for (int i = 0; i < 5; ++i) {  // crosses a group boundary
        ASSERT_TRUE(encoder->EncodeRepeat(&picture));
        append();
        if (picture.type == PictureType::kPredicted) {
            EXPECT_LT(picture.size, 64u);
        }
    }
    EXPECT_FALSE(encoder->Encode(frame.data(), frame.size() - 1, &picture));  // short buffer
    const std::vector<uint8_t> end = encoder->Finish();
    stream.insert(stream.end(), end.begin(), end.end());

    const std::string path = testing::ScratchPath("repeat.m1v");
    testing::WriteFile(path, stream);
    std::string warnings;
    const std::vector<uint8_t> raw = testing::DecodeVideo(path, &warnings);
    EXPECT_EQ(warnings, "");
    ASSERT_EQ(raw.size(), 6 * frame.size());
    for (int f = 1; f < 6; ++f)
        EXPECT_GE(testing::Psnr(raw.data(), raw.data() + f * frame.size(), kW * kH), f == 4 ? 40.0 : 99.0) << f;
}

TEST(VideoEncoder, RefusesUnusableConfigurations) {
    VideoEncoderConfig good;
    good.input = {PixelFormat::kYuy2, 320, 240, 0};
    EXPECT_TRUE(VideoEncoder::Create(good));
    const VideoEncoderConfig bad[] = {
        {{PixelFormat::kYuy2, 0, 240, 0}, 333333, 1, 15},     {{PixelFormat::kYuy2, 320, 8, 0}, 333333, 1, 15},
        {{PixelFormat::kYuy2, 4096, 64, 0}, 333333, 1, 15},   {{PixelFormat::kYuy2, 4000, 4000, 0}, 333333, 1, 15},
        {{PixelFormat::kYuy2, 320, 240, 0}, 333333, 3, 15},   {{PixelFormat::kYuy2, 320, 240, 0}, 333333, -1, 15},
        {{PixelFormat::kYuy2, 320, 240, 0}, 333333, 1, 0},    {{PixelFormat::kYuy2, 320, 240, 100}, 333333, 1, 15},
    };
    for (const VideoEncoderConfig& c : bad) EXPECT_FALSE(VideoEncoder::Create(c)) << c.input.width << "x" << c.input.height;
}

}  // namespace
}  // namespace mpeg
