// Missing, cut, broken and hostile frame files: each gives an error result,
// leaves the animation empty and holds bounded memory while refusing.
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/tests/allocation_probe.h"
#include "media/frame_files/tests/frame_test_files.h"

namespace frame_files {
namespace {

using frame_test::Bytes;
constexpr size_t kMB = size_t{1} << 20;

struct Outcome {
    DecodeError error;
    size_t frames;
    size_t peak_bytes;
};

Outcome Decode(const Bytes& bytes) {
    FrameAnimation a;
    a.frames.resize(3);  // whatever was there before goes
    frame_test::ResetAllocationPeak();
    const DecodeError e = DecodeFrameFile(bytes.data(), bytes.size(), &a);
    return {e, a.frames.size(), frame_test::AllocationPeak()};
}

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

Bytes Deflate(const Bytes& raw) {
    uLongf size = compressBound(raw.size());
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, raw.data(), raw.size(), 9), Z_OK);
    out.resize(size);
    return out;
}

Bytes Cws(uint32_t declared_length, const Bytes& body) {
    Bytes b = {'C', 'W', 'S', 8, 0, 0, 0, 0};
    Put32(b, 4, declared_length);
    const Bytes packed = Deflate(body);
    b.insert(b.end(), packed.begin(), packed.end());
    return b;
}

// Offsets of the tags of an uncompressed movie: (header position, body length).
std::vector<std::pair<size_t, size_t>> SwfTags(const Bytes& swf) {
    const int rect_bits = 5 + 4 * (swf[8] >> 3);
    size_t at = 8 + (rect_bits + 7) / 8 + 4;
    std::vector<std::pair<size_t, size_t>> tags;
    while (at + 2 <= swf.size()) {
        const unsigned code_and_length = swf[at] | swf[at + 1] << 8;
        size_t length = code_and_length & 0x3F, header = 2;
        if (length == 0x3F) length = swf[at + 2] | swf[at + 3] << 8 | swf[at + 4] << 16 | swf[at + 5] << 24, header = 6;
        tags.push_back({at, length});
        at += header + length;
    }
    return tags;
}

TEST(BadFrameFiles, EmptyUnknownAndSignatureOnlyDataAreRefused) {
    for (auto decoder : {DecodeBitmapFrame, DecodeGifFrames, DecodeFlashFrames, DecodeFrameFile}) {
        FrameAnimation a;
        EXPECT_EQ(decoder(nullptr, 0, &a, {}), DecodeError::Empty);
        const uint8_t byte = 'B';
        EXPECT_EQ(decoder(&byte, 0, &a, {}), DecodeError::Empty);
    }
    EXPECT_EQ(Decode({'h', 'e', 'l', 'l', 'o'}).error, DecodeError::Unsupported);
    EXPECT_EQ(Decode({'Z', 'W', 'S', 10, 0, 0, 0, 0, 0}).error, DecodeError::Unsupported) << "LZMA movies";
    EXPECT_EQ(Decode({'B', 'M'}).error, DecodeError::Truncated);
    EXPECT_EQ(Decode({'G', 'I', 'F', '8', '9', 'a'}).error, DecodeError::Truncated);
    EXPECT_EQ(Decode({'F', 'W', 'S', 8}).error, DecodeError::Truncated);
}

TEST(BadFrameFiles, EverySampleCutShortIsTruncated) {
    for (const char* name : {"wood.bmp", "polka.bmp", "snow.bmp", "twinkle.gif", "bubbles.gif", "balloons.swf",
                             "butterflies.swf"}) {
        const Bytes whole = frame_test::ReadSample(name);
        ASSERT_GT(whole.size(), 100u) << name;
        for (size_t cut : {size_t{10}, size_t{40}, whole.size() / 2, whole.size() - 20}) {
            const Outcome o = Decode(Bytes(whole.begin(), whole.begin() + cut));
            EXPECT_EQ(o.error, DecodeError::Truncated) << name << " cut at " << cut << ": " << DecodeErrorName(o.error);
            EXPECT_EQ(o.frames, 0u);
        }
    }
}

TEST(BadFrameFiles, ImpossibleValuesAreCorruptOrUnsupported) {
    Bytes bmp = frame_test::MakeBitmap(2, 2, 24, Bytes(12, 0x40));
    bmp[28] = 0;  // no bits per pixel
    EXPECT_EQ(Decode(bmp).error, DecodeError::Corrupt);
    bmp[28] = 24, bmp[30] = 1;  // run-length compression
    EXPECT_EQ(Decode(bmp).error, DecodeError::Unsupported);

    // 3-bit codes: clear, literal 1, then 7 while the table ends at 6.
    Bytes gif = frame_test::MakeGif(4, 4, {0, 0, 0, 255, 255, 255, 9, 9, 9, 8, 8, 8}, {});
    gif.pop_back();  // the trailer
    const uint8_t image[] = {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 2, 0xCC, 0x01, 0, 0x3B};
    gif.insert(gif.end(), image, image + sizeof image);
    EXPECT_EQ(Decode(gif).error, DecodeError::Corrupt);

    Bytes swf = frame_test::ReadSample("balloons.swf");
    const auto tags = SwfTags(swf);
    ASSERT_GT(tags.size(), 2u);
    const size_t zlib_at = tags[1].first + 6 + 7;  // DefineBitsLossless2: id, format, width, height
    swf[zlib_at] ^= 0xFF, swf[zlib_at + 1] ^= 0xFF;
    EXPECT_EQ(Decode(swf).error, DecodeError::Corrupt);
}

TEST(BadFrameFiles, BitmapClaimingHugeSidesIsRefusedBeforeAllocating) {
    Bytes bmp = frame_test::MakeBitmap(2, 2, 24, Bytes(12, 0));
    Put32(bmp, 18, 30000), Put32(bmp, 22, 30000);
    Outcome o = Decode(bmp);
    EXPECT_EQ(o.error, DecodeError::TooLarge);
    EXPECT_LT(o.peak_bytes, kMB);
    Put32(bmp, 18, 4000), Put32(bmp, 22, 4000);  // within the limits, but the pixels are missing
    o = Decode(bmp);
    EXPECT_EQ(o.error, DecodeError::Truncated);
    EXPECT_LT(o.peak_bytes, kMB);
}

TEST(BadFrameFiles, GifWithThousandsOfFramesStopsAtTheMemoryLimit) {
    frame_test::GifImage dot;
    dot.width = dot.height = 1;
    dot.indices = {1};
    const std::vector<uint8_t> palette = {0, 0, 0, 255, 255, 255};
    Outcome o = Decode(frame_test::MakeGif(320, 240, palette, std::vector<frame_test::GifImage>(3000, dot)));
    EXPECT_EQ(o.error, DecodeError::TooLarge);
    EXPECT_EQ(o.frames, 0u);
    EXPECT_LT(o.peak_bytes, kMaxAnimationBytes + 4 * kMB);
    o = Decode(frame_test::MakeGif(4, 4, palette, std::vector<frame_test::GifImage>(12000, dot)));
    EXPECT_EQ(o.error, DecodeError::TooLarge) << "frame count bounded even for tiny frames";
}

TEST(BadFrameFiles, LzwDataThatNeverEndsIsReadNoFurtherThanThePictureNeeds) {
    const std::vector<uint8_t> palette = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0};
    // 4x4 image; then its data: only clear codes, megabytes of them, no end code.
    Bytes gif = frame_test::MakeGif(4, 4, palette, {});
    gif.pop_back();
    const uint8_t descriptor[] = {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 2};
    gif.insert(gif.end(), descriptor, descriptor + sizeof descriptor);
    for (int block = 0; block < 8000; ++block) {
        gif.push_back(255);
        for (int i = 0; i < 255; ++i) gif.push_back(i % 3 == 0 ? 0x24 : i % 3 == 1 ? 0x49 : 0x92);  // 3-bit 4s
    }
    gif.push_back(0);
    gif.push_back(0x3B);
    FrameAnimation a;
    EXPECT_EQ(DecodeFrameFile(gif.data(), gif.size(), &a), DecodeError::None);
    ASSERT_EQ(a.frames.size(), 1u);
    EXPECT_EQ(a.frames[0].rgba, std::vector<uint8_t>(64, 0)) << "no pixel ever arrived";

    // A complete picture whose codes go on after its last pixel.
    frame_test::GifImage red;
    red.width = red.height = 4;
    red.indices.assign(16, 2);
    Bytes full = frame_test::MakeGif(4, 4, palette, {red});
    const Bytes tail_codes(200, 0x92);
    full.insert(full.end() - 2, {static_cast<uint8_t>(tail_codes.size())});
    full.insert(full.end() - 2, tail_codes.begin(), tail_codes.end());
    ASSERT_EQ(DecodeFrameFile(full.data(), full.size(), &a), DecodeError::None);
    for (size_t i = 0; i < 16; ++i) EXPECT_EQ(a.frames[0].rgba[i * 4], 255) << "pixel " << i;
}

TEST(BadFrameFiles, ZlibBombInAFlashMovieIsRefusedWithBoundedMemory) {
    Bytes bomb = Cws(0xFFFFFFFF, Bytes(40 * kMB, 0));  // 40 kB that inflate to 40 MB
    Outcome o = Decode(bomb);
    EXPECT_EQ(o.error, DecodeError::TooLarge);
    EXPECT_LT(o.peak_bytes, kMB) << "refused from the header, nothing inflated";
    Put32(bomb, 4, static_cast<uint32_t>(30 * kMB));  // a believable length, and more data than it says
    o = Decode(bomb);
    EXPECT_NE(o.error, DecodeError::None);
    EXPECT_LT(o.peak_bytes, 50 * kMB);
}

TEST(BadFrameFiles, TagLengthsRunningPastTheEndAreRefused) {
    const Bytes swf = frame_test::ReadSample("balloons.swf");
    const auto tags = SwfTags(swf);
    ASSERT_GT(tags.size(), 10u);
    for (const auto& [at, length] : tags) {
        Bytes broken = swf;
        const size_t past_end = swf.size() - at;  // more than the bytes that follow
        if (length >= 0x3F || past_end >= 0x3F) {
            if (length < 0x3F) continue;  // a short tag cannot claim this much
            Put32(broken, at + 2, static_cast<uint32_t>(past_end));
        } else {
            broken[at] = static_cast<uint8_t>((broken[at] & 0xC0) | past_end);
        }
        EXPECT_EQ(Decode(broken).error, DecodeError::Truncated) << "tag at " << at;
    }
    Bytes huge = swf;
    Put32(huge, tags[1].first + 2, 0xFFFFFFFF);
    EXPECT_EQ(Decode(huge).error, DecodeError::Truncated);
}

TEST(BadFrameFiles, MovieWithNothingToDrawIsRefused) {
    const Bytes swf = frame_test::ReadSample("balloons.swf");
    const auto tags = SwfTags(swf);
    // Header and background colour, then one ShowFrame and End.
    Bytes movie(swf.begin(), swf.begin() + tags[1].first);
    movie.insert(movie.end(), {0x40, 0x00, 0x00, 0x00});
    Put32(movie, 4, static_cast<uint32_t>(movie.size()));
    EXPECT_EQ(Decode(movie).error, DecodeError::NothingDrawable);
}

}  // namespace
}  // namespace frame_files
