// Korvel's converted preview with the registered converter: SetVideoSizeEx
// with the test camera at 640x480 and each enlarged size the capture
// application offers. The preview runs, the renderer receives pictures of the
// enlarged size, and a snapshot then is the converter's output for a camera
// frame, at that size.
#include <windows.h>
#include <dshow.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <vector>

#include "capture_engine/tests/engine_test_support.h"
#include "testing/window_harness/waiting.h"
#include "filters/pixmorph/colorspaceconverter.h"
#include "test_signals/test_pattern.h"

bool operator==(const tag_VideoSize& a, const tag_VideoSize& b) {
    return a.width == b.width && a.height == b.height;
}
void PrintTo(const tag_VideoSize& size, std::ostream* out) { *out << size.width << "x" << size.height; }

namespace korvel_test {
namespace {

using KorvelConvertedPreview = EngineTest;

// The capture application's interpolation sizes, in its order.
const tag_VideoSize kEnlargedSizes[] = {{1600, 1200}, {2048, 1536}, {2580, 1936},
                                        {2816, 2112}, {3264, 2448}, {3876, 2584}};

tag_VideoSize RendererSize(IBaseFilter* renderer) {
    ComPtr<IBasicVideo> video;
    long width = 0, height = 0;
    if (renderer && SUCCEEDED(renderer->QueryInterface(IID_IBasicVideo, video.PutVoid())))
        video->GetVideoSize(&width, &height);
    return {int(width), int(height)};
}

struct Bitmap {
    BITMAPINFOHEADER header = {};
    std::vector<uint8_t> pixels;
};

bool ReadBitmap(const std::wstring& path, Bitmap* bitmap) {
    std::ifstream file(path.c_str(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    BITMAPFILEHEADER fileHeader;
    if (bytes.size() < sizeof fileHeader + sizeof bitmap->header || bytes[0] != 'B' || bytes[1] != 'M') return false;
    std::memcpy(&fileHeader, bytes.data(), sizeof fileHeader);
    std::memcpy(&bitmap->header, bytes.data() + sizeof fileHeader, sizeof bitmap->header);
    if (fileHeader.bfOffBits >= bytes.size()) return false;
    bitmap->pixels.assign(bytes.begin() + fileHeader.bfOffBits, bytes.end());
    return true;
}

// The converter's picture of camera frame `n` (RGB24 640x480, bottom-up).
std::vector<uint8_t> ConvertedCameraFrame(uint32_t n, tag_VideoSize out) {
    std::vector<uint8_t> camera(640 * 480 * 3);
    if (!test_signals::RenderTestPattern(n, pixel_formats::PixelFormat::kRgb24, 640, 480, camera.data(),
                                         camera.size()))
        return {};
    std::vector<uint8_t> rgb(pixmorph::RgbWorkSize(640, 480));
    std::vector<uint8_t> picture(pixmorph::OutputFrameSize(out.width, out.height));
    const pixmorph::InputFrame in{camera.data(), camera.size(), pixmorph::Subtype::kRgb24, 640, 480};
    const pixmorph::OutputFrame o{picture.data(), picture.size(), pixmorph::ScaleMode::kSize, out.width,
                                  out.height, 1, 1};
    if (pixmorph::ConvertFrame(in, {nullptr, 0, rgb.data(), rgb.size()}, o) != pixmorph::Status::kOk) return {};
    return picture;
}

TEST_F(KorvelConvertedPreview, EachEnlargedSizeReachesTheRendererAndTheSnapshot) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    TestWindow window(320, 240);
    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    RECT rect = {0, 0, 320, 240};
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);

    const tag_VideoSize capture = {640, 480};
    for (const tag_VideoSize& size : kEnlargedSizes) {
        SCOPED_TRACE(testing::PrintToString(size));
        ASSERT_EQ(SetVideoSizeEx(&capture, &size), 1);
        EXPECT_EQ(RendererSize(renderers.Last().Get()), size);
        std::optional<uint32_t> shown;
        ASSERT_TRUE(harness::WaitUntil([&] { return (shown = ShownFrameNumber(renderers.Last().Get())).has_value(); },
                                       10000, 100))
            << "the renderer shows no camera frame";
        std::optional<uint32_t> later;
        EXPECT_TRUE(harness::WaitUntil([&] {
            later = ShownFrameNumber(renderers.Last().Get());
            return later && *later > *shown;
        }, 10000, 100)) << "the preview is not running";

        const std::wstring path = OutputPath(L"korvel-enlarged.bmp");
        DeleteFileW(path.c_str());
        ASSERT_EQ(CaptureBitmap(path.c_str(), 1, 0), 1);
        Bitmap bitmap;
        ASSERT_TRUE(ReadBitmap(path, &bitmap));
        EXPECT_EQ(size.width, bitmap.header.biWidth);
        EXPECT_EQ(size.height, std::abs(bitmap.header.biHeight));
        ASSERT_EQ(24, bitmap.header.biBitCount);

        // The frame code survives the enlargement: the snapshot is the
        // converter's own picture of that camera frame, byte for byte.
        const auto frame = test_signals::DecodeFrameCounter(bitmap.pixels.data(), bitmap.pixels.size(),
                                                            pixel_formats::PixelFormat::kRgb24, size.width,
                                                            bitmap.header.biHeight);
        ASSERT_TRUE(frame.has_value()) << "no camera frame code in the snapshot";
        const std::vector<uint8_t> expected = ConvertedCameraFrame(*frame, size);
        ASSERT_FALSE(expected.empty());
        ASSERT_GE(bitmap.pixels.size(), expected.size());
        EXPECT_EQ(0, std::memcmp(expected.data(), bitmap.pixels.data(), expected.size())) << "frame " << *frame;
        DeleteFileW(path.c_str());
    }
    EXPECT_EQ(renderers.Created(), 1) << "the renderer is reused from size to size";
}

}  // namespace
}  // namespace korvel_test
