// The camera test's JPEG snapshots as ffmpeg decoded them (decode-jpegs),
// against the BMP snapshot of the same frame: same size, the same picture
// within JPEG's error, and the frame counter still readable.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "pixel_formats/pixel_format.h"
#include "testing/graph_support/test_files.h"
#include "test_signals/test_pattern.h"

namespace snapshot_test {

using graph_test::ReadWholeFile;
using graph_test::BmpFile;
using graph_test::LoadBmp;
using graph_test::BmpFrameCounter;
namespace {

std::vector<std::string> BmpStems(const std::string& folder) {
    std::vector<std::string> stems;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\camera-*.bmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return stems;
    do {
        const std::string name = found.cFileName;
        stems.push_back(folder + "\\" + name.substr(0, name.size() - 4));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return stems;
}

// ffmpeg's rows are packed; the DIB rules our readers follow pad them to 4 bytes.
std::vector<uint8_t> PadRows(const std::vector<uint8_t>& packed, int width, int height) {
    const size_t row = static_cast<size_t>(width) * 3;
    const size_t stride = pixel_formats::DefaultStride(pixel_formats::PixelFormat::kRgb24, width);
    std::vector<uint8_t> padded(stride * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) std::copy_n(&packed[y * row], row, &padded[y * stride]);
    return padded;
}

TEST(SnapshotJpegPixels, DecodedJpegsMatchTheBmpOfTheSameFrame) {
    const char* folder = std::getenv("SNAPSHOT_TEST_OUT");
    ASSERT_TRUE(folder) << "SNAPSHOT_TEST_OUT not set";
    const std::vector<std::string> stems = BmpStems(folder);
    ASSERT_FALSE(stems.empty()) << "snapshot_camera_test left no snapshots in " << folder;
    for (const std::string& stem : stems) {
        SCOPED_TRACE(stem);
        BmpFile bmp;
        ASSERT_TRUE(LoadBmp(stem + ".bmp", &bmp));
        const int width = bmp.info.biWidth, height = bmp.info.biHeight;
        std::vector<uint8_t> raw;
        ASSERT_TRUE(ReadWholeFile(stem + ".bgr", &raw)) << "ffmpeg left no decoded picture";
        ASSERT_EQ(static_cast<size_t>(width) * height * 3, raw.size());
        const std::vector<uint8_t> decoded = PadRows(raw, width, height);

        // Same picture: the BMP is bottom-up, the decoded rows top-down.
        const size_t stride = decoded.size() / height;
        double error = 0;
        for (int y = 0; y < height; ++y) {
            const uint8_t* a = &decoded[y * stride];
            const uint8_t* b = &bmp.pixels[(height - 1 - y) * stride];
            for (int i = 0; i < width * 3; ++i) error += std::abs(a[i] - b[i]);
        }
        error /= static_cast<double>(width) * height * 3;
        std::printf("%s: mean absolute error %.2f per channel\n", stem.c_str(), error);
        EXPECT_LT(error, 6.0) << "quality 90 should stay close to the frame";

        const auto counter = test_signals::DecodeFrameCounter(decoded.data(), decoded.size(),
                                                              pixel_formats::PixelFormat::kRgb24, width, -height);
        ASSERT_TRUE(counter.has_value()) << "no frame counter in the decoded JPEG";
        EXPECT_EQ(BmpFrameCounter(bmp), counter);
    }
}

}  // namespace
}  // namespace snapshot_test
