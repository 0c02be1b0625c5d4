// Snapshot requests carried out against a kept frame of the test pattern:
// the files' headers and pixels, JPEG size and quality, and every refusal
// leaving the folder as it was.
#include <gtest/gtest.h>

#include <dshow.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "filters/snapshot/snapshot_writer.h"
#include "filters/snapshot/tests/snapshot_request.h"
#include "testing/graph_support/test_files.h"
#include "test_signals/test_pattern.h"

namespace snapshot {
namespace {

using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;
using graph_test::BmpFile;
using snapshot_test::MakeRequest;
using graph_test::TempFolder;

constexpr uint32_t kFrameNumber = 4321;

// A frame as a camera delivers it: RGB bottom-up, YUV top-down.
void KeepPattern(LatestFrame* latest, PixelFormat format, int width, int height) {
    std::vector<uint8_t> frame(pixel_formats::FrameSize(format, width, height));
    ASSERT_TRUE(test_signals::RenderTestPattern(kFrameNumber, format, width, height, frame.data(), frame.size()));
    ASSERT_TRUE(latest->Keep({format, width, height}, frame.data(), frame.size()));
}

class SnapshotWriter : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.Path().empty());
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override { CoUninitialize(); }

    std::vector<uint8_t> Jpeg(int quality) {
        const std::string path = folder_.File("q" + std::to_string(quality) + ".jpg");
        EXPECT_EQ(S_OK, WriteSnapshot(latest_, MakeRequest(path, kSnapshotJpeg, quality)));
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(graph_test::ReadWholeFile(path, &bytes));
        return bytes;
    }

    TempFolder folder_;
    LatestFrame latest_;
};

TEST_F(SnapshotWriter, BmpOfEachCameraFormatHasTheFrameSizeAndItsCounter) {
    const struct {
        PixelFormat format;
        int width, height;
    } cases[] = {{PixelFormat::kRgb24, 640, 480}, {PixelFormat::kYuy2, 640, 480},
                 {PixelFormat::kI420, 320, 240}, {PixelFormat::kRgb32, 176, 144}};
    for (const auto& c : cases) {
        SCOPED_TRACE(pixel_formats::PixelFormatName(c.format));
        KeepPattern(&latest_, c.format, c.width, c.height);
        const std::string path = folder_.File("frame.bmp");
        ASSERT_EQ(S_OK, WriteSnapshot(latest_, MakeRequest(path, kSnapshotBitmap)));
        BmpFile bmp;
        ASSERT_TRUE(graph_test::LoadBmp(path, &bmp));
        const uint32_t stride = (c.width * 3 + 3) & ~3u;
        EXPECT_EQ(bmp.fileBytes, bmp.file.bfSize);
        EXPECT_EQ(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER), bmp.file.bfOffBits);
        EXPECT_EQ(sizeof(BITMAPINFOHEADER), bmp.info.biSize);
        EXPECT_EQ(c.width, bmp.info.biWidth);
        EXPECT_EQ(c.height, bmp.info.biHeight);
        EXPECT_EQ(24, bmp.info.biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), bmp.info.biCompression);
        EXPECT_EQ(stride * c.height, bmp.info.biSizeImage);
        EXPECT_EQ(bmp.info.biSizeImage, bmp.pixels.size());
        EXPECT_EQ(kFrameNumber, graph_test::BmpFrameCounter(bmp));
    }
}

TEST_F(SnapshotWriter, JpegHasTheFrameSize) {
    KeepPattern(&latest_, PixelFormat::kYuy2, 640, 480);
    for (int quality : {0, 10, 95, 100}) {
        int width = 0, height = 0;
        ASSERT_TRUE(graph_test::JpegDimensions(Jpeg(quality), &width, &height)) << quality;
        EXPECT_EQ(640, width);
        EXPECT_EQ(480, height);
    }
}

TEST_F(SnapshotWriter, JpegShrinksWithQuality) {
    KeepPattern(&latest_, PixelFormat::kYuy2, 640, 480);
    const size_t low = Jpeg(10).size(), high = Jpeg(95).size();
    std::printf("640x480 JPEG: quality 10 %u bytes, quality 95 %u bytes\n", static_cast<unsigned>(low),
                static_cast<unsigned>(high));
    if (!graph_test::PlatformJpegHonoursQuality()) {
        GTEST_SKIP() << "this platform's WIC JPEG encoder ignores ImageQuality";
    }
    EXPECT_LT(low, high);
    // Out-of-range qualities are clamped, not refused.
    EXPECT_EQ(Jpeg(0).size(), Jpeg(-20).size());
    EXPECT_EQ(Jpeg(100).size(), Jpeg(1000).size());
    EXPECT_LT(Jpeg(0).size(), Jpeg(100).size());
}

TEST_F(SnapshotWriter, MalformedRequestsAreRefusedWithoutAFile) {
    KeepPattern(&latest_, PixelFormat::kRgb24, 160, 120);
    const std::string path = folder_.File("refused.bmp");
    SnapshotRequest request = MakeRequest(path, kSnapshotBitmap);
    request.size = 271;
    EXPECT_EQ(E_INVALIDARG, WriteSnapshot(latest_, request));
    request.size = 273;
    EXPECT_EQ(E_INVALIDARG, WriteSnapshot(latest_, request));

    request = MakeRequest(path, kSnapshotBitmap);
    std::memset(request.path, 'a', sizeof request.path);  // no terminator
    EXPECT_EQ(E_INVALIDARG, WriteSnapshot(latest_, request));
    request = MakeRequest("", kSnapshotBitmap);
    EXPECT_EQ(E_INVALIDARG, WriteSnapshot(latest_, request));

    for (uint32_t format : {0u, 3u, 0xFFFFFFFFu}) {
        EXPECT_EQ(E_INVALIDARG, WriteSnapshot(latest_, MakeRequest(path, format))) << format;
    }
    EXPECT_TRUE(folder_.Names().empty());
}

TEST_F(SnapshotWriter, NoFrameYetFailsWithoutAFile) {
    for (uint32_t format : {1u, 2u}) {
        EXPECT_EQ(VFW_E_WRONG_STATE, WriteSnapshot(latest_, MakeRequest(folder_.File("x"), format)));
    }
    EXPECT_TRUE(folder_.Names().empty());
}

TEST_F(SnapshotWriter, UnwritablePlacesFailAndLeaveNeitherFileNorTemporary) {
    KeepPattern(&latest_, PixelFormat::kRgb24, 160, 120);
    // Missing folder.
    EXPECT_TRUE(FAILED(WriteSnapshot(latest_, MakeRequest(folder_.File("missing\\a.bmp"), kSnapshotBitmap))));
    // A "folder" that is a file.
    const std::string plain = folder_.File("plain.txt");
    std::FILE* f = std::fopen(plain.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fclose(f);
    EXPECT_TRUE(FAILED(WriteSnapshot(latest_, MakeRequest(plain + "\\a.bmp", kSnapshotBitmap))));
    // The final name is a folder: the temporary gets written, the move fails.
    const std::string taken = folder_.File("taken.jpg");
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), nullptr));
    EXPECT_TRUE(FAILED(WriteSnapshot(latest_, MakeRequest(taken, kSnapshotJpeg))));
    EXPECT_TRUE(FAILED(WriteSnapshot(latest_, MakeRequest(taken, kSnapshotBitmap))));
    EXPECT_EQ((std::vector<std::string>{"plain.txt", "taken.jpg"}), folder_.Names());
}

TEST_F(SnapshotWriter, ReplacesAnExistingFileWhole) {
    const std::string path = folder_.File("same.bmp");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fputs("an older and unrelated file", f);
    std::fclose(f);
    KeepPattern(&latest_, PixelFormat::kI420, 320, 240);
    ASSERT_EQ(S_OK, WriteSnapshot(latest_, MakeRequest(path, kSnapshotBitmap)));
    BmpFile bmp;
    ASSERT_TRUE(graph_test::LoadBmp(path, &bmp));
    EXPECT_EQ(320, bmp.info.biWidth);
    EXPECT_EQ(bmp.fileBytes, bmp.file.bfSize);
    EXPECT_EQ((std::vector<std::string>{"same.bmp"}), folder_.Names());
}

TEST_F(SnapshotWriter, ABareFileNameLandsInTheCurrentFolder) {
    KeepPattern(&latest_, PixelFormat::kRgb24, 160, 120);
    char previous[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryA(MAX_PATH, previous));
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
    const HRESULT hr = WriteSnapshot(latest_, MakeRequest("bare.bmp", kSnapshotBitmap));
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(S_OK, hr);
    EXPECT_EQ((std::vector<std::string>{"bare.bmp"}), folder_.Names());
}

TEST_F(SnapshotWriter, LatencyAt640x480) {
    KeepPattern(&latest_, PixelFormat::kYuy2, 640, 480);
    for (uint32_t format : {1u, 2u}) {
        const std::string path = folder_.File(format == 1 ? "latency.bmp" : "latency.jpg");
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            const double start = graph_test::NowMs();
            ASSERT_EQ(S_OK, WriteSnapshot(latest_, MakeRequest(path, format, 90)));
            best = std::min(best, graph_test::NowMs() - start);
        }
        std::printf("640x480 YUY2 -> %s: best of 5 %.1f ms\n", format == 1 ? "BMP" : "JPEG", best);
        // Generous: a snapshot is a click, but it must not take a visible pause.
        EXPECT_LT(best, 500.0);
    }
}

}  // namespace
}  // namespace snapshot
