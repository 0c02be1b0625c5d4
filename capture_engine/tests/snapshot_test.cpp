// Stills through Korvel and the snapshot filter: BMP pixels equal to the
// test pattern frame they show, JPEG at two qualities (decoded by ffmpeg in
// the ctest step korvel_snapshot_jpeg_check against a BMP of the same
// frame), snapshots from the playback graph while a file is loaded, and
// refusals that leave no file behind.
#include <windows.h>
#include <dshow.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine_test_support.h"
#include "testing/graph_support/test_files.h"
#include "test_signals/test_pattern.h"

namespace korvel_test {
namespace {

using KorvelSnapshot = EngineTest;

struct Bitmap {
    int width = 0;
    int height = 0;  // as stored: positive is bottom-up
    int bitCount = 0;
    std::vector<uint8_t> pixels;
};

bool ReadBitmap(const std::wstring& path, Bitmap* bitmap) {
    std::ifstream file(path.c_str(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER info;
    std::memcpy(&fileHeader, bytes.data(), sizeof(fileHeader));
    std::memcpy(&info, bytes.data() + sizeof(fileHeader), sizeof(info));
    bitmap->width = info.biWidth;
    bitmap->height = info.biHeight;
    bitmap->bitCount = info.biBitCount;
    if (fileHeader.bfOffBits >= bytes.size()) return false;
    bitmap->pixels.assign(bytes.begin() + fileHeader.bfOffBits, bytes.end());
    return true;
}

// The snapshot is exactly the camera frame it carries the number of.
void ExpectTestPatternFrame(const Bitmap& bitmap, int width, int height) {
    ASSERT_EQ(bitmap.bitCount, 24);
    ASSERT_EQ(bitmap.width, width);
    ASSERT_EQ(std::abs(bitmap.height), height);
    const auto format = pixel_formats::PixelFormat::kRgb24;
    const auto frame = test_signals::DecodeFrameCounter(bitmap.pixels.data(), bitmap.pixels.size(), format,
                                                        bitmap.width, bitmap.height);
    ASSERT_TRUE(frame.has_value()) << "no test pattern frame code in the picture";
    std::vector<uint8_t> expected(size_t(width) * 3 * height + 64);
    ASSERT_TRUE(test_signals::RenderTestPattern(*frame, format, width, bitmap.height, expected.data(), expected.size()));
    const size_t frameBytes = size_t(width) * 3 * height;  // rows of these widths need no padding
    ASSERT_GE(bitmap.pixels.size(), frameBytes);
    size_t differing = 0;
    for (size_t i = 0; i < frameBytes; ++i) differing += bitmap.pixels[i] != expected[i];
    EXPECT_EQ(differing, 0u) << "of " << frameBytes << " bytes, frame " << *frame;
}

void StartPreview(const TestWindow& window, tag_VideoSize size) {
    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(SetVideoSize(&size), 1);  // runs the graph as well
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    PumpFor(1200);
}

TEST_F(KorvelSnapshot, NothingToSnapBeforeAPreview) {
    const std::wstring path = OutputPath(L"korvel-early.bmp");
    DeleteFileW(path.c_str());
    EXPECT_EQ(CaptureBitmap(path.c_str(), 1, 0), 0);
    EXPECT_EQ(FileSize(path), -1);
}

TEST_F(KorvelSnapshot, BitmapIsTheCurrentCameraFrameAtTheCaptureSize) {
    TestWindow window(320, 240);
    for (const tag_VideoSize size : {tag_VideoSize{320, 240}, tag_VideoSize{640, 480}}) {
        ASSERT_NO_FATAL_FAILURE(StartPreview(window, size));
        const std::wstring path = OutputPath(L"korvel-snapshot.bmp");
        DeleteFileW(path.c_str());
        ASSERT_EQ(CaptureBitmap(path.c_str(), 1, 0), 1);
        Bitmap bitmap;
        ASSERT_TRUE(ReadBitmap(path, &bitmap));
        ExpectTestPatternFrame(bitmap, size.width, size.height);
        ASSERT_EQ(StopGraph(), 1);  // a preview is rebuilt only while stopped
    }
}

// Any non-zero flag asks for a bitmap, whatever the name says.
TEST_F(KorvelSnapshot, EveryNonZeroFlagMeansBitmap) {
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {320, 240}));
    for (int flag : {2, -1}) {
        const std::wstring path = OutputPath(L"korvel-flag.jpg");
        DeleteFileW(path.c_str());
        ASSERT_EQ(CaptureBitmap(path.c_str(), flag, 80), 1);
        Bitmap bitmap;
        EXPECT_TRUE(ReadBitmap(path, &bitmap)) << "flag " << flag;
        DeleteFileW(path.c_str());
    }
}

// Frozen frame: the graph stops, so the BMP and both JPEGs show one frame.
TEST_F(KorvelSnapshot, JpegQualityChangesTheFileAndTheSizeMatches) {
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {320, 240}));
    ASSERT_EQ(StopGraph(), 1);
    const std::wstring reference = OutputPath(L"korvel-jpeg-reference.bmp");
    const std::wstring fine = OutputPath(L"korvel-jpeg-95.jpg");
    const std::wstring coarse = OutputPath(L"korvel-jpeg-10.jpg");
    ASSERT_EQ(CaptureBitmap(reference.c_str(), 1, 0), 1);
    ASSERT_EQ(CaptureBitmap(fine.c_str(), 0, 95), 1);
    ASSERT_EQ(CaptureBitmap(coarse.c_str(), 0, 10), 1);
    Bitmap bitmap;
    ASSERT_TRUE(ReadBitmap(reference, &bitmap));
    ExpectTestPatternFrame(bitmap, 320, 240);
    std::printf("320x240 JPEG: quality 10 %lld bytes, quality 95 %lld bytes\n", FileSize(coarse), FileSize(fine));
    EXPECT_GT(FileSize(coarse), 0);
    EXPECT_LE(FileSize(coarse), FileSize(fine));
    // Wine 8's encoder ignores the quality option; where it is honoured the
    // quality must reach it.
    if (graph_test::PlatformJpegHonoursQuality()) {
        EXPECT_LT(FileSize(coarse), FileSize(fine));
    } else {
        std::printf("this platform's WIC JPEG encoder ignores ImageQuality\n");
    }
}

// Time one CaptureBitmap takes while the preview runs at 640x480.
TEST_F(KorvelSnapshot, LatencyAt640x480) {
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {640, 480}));
    for (int bitmap : {1, 0}) {
        const std::wstring path = OutputPath(bitmap ? L"korvel-latency.bmp" : L"korvel-latency.jpg");
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        double total = 0, worst = 0;
        const int runs = 10;
        for (int i = 0; i < runs; ++i) {
            QueryPerformanceCounter(&start);
            ASSERT_EQ(CaptureBitmap(path.c_str(), bitmap, 85), 1);
            QueryPerformanceCounter(&end);
            const double ms = 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
            total += ms;
            worst = std::max(worst, ms);
            PumpFor(50);
        }
        std::printf("snapshot %s at 640x480: %.1f ms on average, %.1f ms at most\n", bitmap ? "BMP" : "JPEG",
                    total / runs, worst);
        RecordProperty(bitmap ? "snapshot_bmp_ms" : "snapshot_jpeg_ms", std::to_string(total / runs));
        EXPECT_LT(total / runs, 1000.0);
        DeleteFileW(path.c_str());
    }
}

TEST_F(KorvelSnapshot, WhileAFileIsLoadedStillsComeFromPlayback) {
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {320, 240}));
    const std::wstring path = OutputPath(L"korvel-playback-still.bmp");
    ASSERT_EQ(RenderMediaFile(OutputPath(L"korvel-playback.avi").c_str()), 1);
    TestWindow playWindow(160, 120);
    ASSERT_EQ(SetPlayWindow2(playWindow.Handle()), 1);
    ASSERT_EQ(RunGraph2(), 1);
    PumpFor(1000);
    ASSERT_EQ(CaptureBitmap(path.c_str(), 1, 0), 1);
    Bitmap bitmap;
    ASSERT_TRUE(ReadBitmap(path, &bitmap));
    EXPECT_EQ(bitmap.width, 80) << "the file's picture, not the camera's";
    EXPECT_EQ(std::abs(bitmap.height), 60);

    ASSERT_EQ(TearDownGraph2(), 1);
    ASSERT_EQ(CaptureBitmap(path.c_str(), 1, 0), 1);
    ASSERT_TRUE(ReadBitmap(path, &bitmap));
    ExpectTestPatternFrame(bitmap, 320, 240);
    DeleteFileW(path.c_str());
}

TEST_F(KorvelSnapshot, UnusableNamesFailWithoutFilesAndTheNextSnapshotWorks) {
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {320, 240}));
    const std::wstring missingFolder = OutputPath(L"no-such-folder\\still.bmp");
    EXPECT_EQ(CaptureBitmap(missingFolder.c_str(), 1, 0), 0);
    EXPECT_EQ(FileSize(missingFolder), -1);

    // 259 ANSI bytes and the terminator fit the request; one more does not.
    const std::wstring folder = OutputPath(L"");
    const std::wstring fits = folder + std::wstring(259 - folder.size() - 4, L'f') + L".bmp";
    const std::wstring tooLong = folder + std::wstring(260 - folder.size() - 4, L'g') + L".bmp";
    EXPECT_EQ(CaptureBitmap(tooLong.c_str(), 1, 0), 0);
    EXPECT_EQ(FileSize(tooLong), -1);
    EXPECT_EQ(CaptureBitmap(fits.c_str(), 1, 0), 1);
    EXPECT_GT(FileSize(fits), 320 * 240 * 3);
    DeleteFileW(fits.c_str());
    EXPECT_EQ(CaptureBitmap(L"", 1, 0), 0);

    const std::wstring path = OutputPath(L"korvel-after-refusal.bmp");
    DeleteFileW(path.c_str());
    ASSERT_EQ(CaptureBitmap(path.c_str(), 1, 0), 1);
    Bitmap bitmap;
    ASSERT_TRUE(ReadBitmap(path, &bitmap));
    ExpectTestPatternFrame(bitmap, 320, 240);
    DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace korvel_test
