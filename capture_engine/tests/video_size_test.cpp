// Capture sizes through Korvel: the listing of the current subtype's sizes
// with its bounds and odd devices, and size changes that rebuild and restart
// the preview by themselves.
#include <windows.h>
#include <dshow.h>

#include <ostream>
#include <vector>

#include "engine_test_support.h"
#include "test_devices/test_device_client.h"

// Found by argument lookup: the record lives in the global namespace.
bool operator==(const tag_VideoSize& a, const tag_VideoSize& b) {
    return a.width == b.width && a.height == b.height;
}
void PrintTo(const tag_VideoSize& size, std::ostream* out) { *out << size.width << "x" << size.height; }

namespace korvel_test {
namespace {

using test_devices::ScopedTestDevices;

using KorvelVideoSize = EngineTest;

struct Listing {
    int result = -1;
    int count = -1;
    int current = -1;
    std::vector<tag_VideoSize> sizes;
    bool tailUntouched = true;  // nothing written past the 20 entries
};

Listing ListSizes() {
    Listing listing;
    tag_VideoSize buffer[KORVEL_MAX_VIDEO_SIZES + 12];
    for (auto& s : buffer) s = {-7, -7};
    listing.result = GetVideoSize(&listing.count, &listing.current, buffer);
    for (int i = 0; i < listing.count && i < KORVEL_MAX_VIDEO_SIZES; ++i) listing.sizes.push_back(buffer[i]);
    for (size_t i = KORVEL_MAX_VIDEO_SIZES; i < std::size(buffer); ++i)
        listing.tailUntouched = listing.tailUntouched && buffer[i].width == -7 && buffer[i].height == -7;
    return listing;
}

// Size of the picture the renderer receives.
tag_VideoSize RendererSize(IBaseFilter* renderer) {
    ComPtr<IBasicVideo> video;
    long width = 0, height = 0;
    if (renderer && SUCCEEDED(renderer->QueryInterface(IID_IBasicVideo, video.PutVoid())))
        video->GetVideoSize(&width, &height);
    return {int(width), int(height)};
}

TEST_F(KorvelVideoSize, NothingToListBeforeAPreviewIsConnected) {
    const Listing listing = ListSizes();
    EXPECT_EQ(listing.result, 0);
    EXPECT_EQ(listing.count, 0);
    EXPECT_EQ(listing.current, 0);
    tag_VideoSize size = {320, 240};
    EXPECT_EQ(SetVideoSize(&size), 0);
}

TEST_F(KorvelVideoSize, ListsTheCurrentSubtypesSizesInDeviceOrder) {
    ASSERT_EQ(RunPreview(), 1);
    const Listing listing = ListSizes();
    ASSERT_EQ(listing.result, 1);
    const std::vector<tag_VideoSize> expected = {{160, 120}, {320, 240}, {640, 480}, {1280, 720}};
    EXPECT_EQ(listing.sizes, expected) << "RGB24 entries only, though YUY2 and I420 are offered too";
    EXPECT_EQ(listing.current, 2) << "the camera starts at 640x480";
}

TEST_F(KorvelVideoSize, SizeChangeRebuildsRunsAndIsListedAsCurrent) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    TestWindow window(320, 240);
    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    RECT rect = {0, 0, 320, 240};
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);

    tag_VideoSize small = {320, 240};
    EXPECT_EQ(SetVideoSize(&small), 1);
    EXPECT_EQ(ListSizes().current, 1);
    EXPECT_EQ(RendererSize(renderers.Last().Get()), small);
    PumpFor(1500);
    const auto frame = ShownFrameNumber(renderers.Last().Get());
    ASSERT_TRUE(frame.has_value()) << "running again without being asked";
    EXPECT_GT(*frame, 10u);
    EXPECT_EQ(renderers.Created(), 1);
}

TEST_F(KorvelVideoSize, RefusedSizeFailsButThePreviewComesBack) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    // In a window, where a renderer that keeps no copy of its picture shows it.
    TestWindow window(320, 240);
    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    RECT rect = {0, 0, 320, 240};
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);
    tag_VideoSize odd = {333, 222};
    EXPECT_EQ(SetVideoSize(&odd), 0);
    EXPECT_EQ(ListSizes().current, 2) << "still 640x480";
    PumpFor(1500);
    EXPECT_TRUE(ShownFrameNumber(renderers.Last().Get()).has_value());
    tag_VideoSize valid = {160, 120};
    EXPECT_EQ(SetVideoSize(&valid), 1) << "the next valid call works";
    EXPECT_EQ(ListSizes().current, 0);
}

TEST_F(KorvelVideoSize, AtMostTwentySizesAreWritten) {
    ScopedTestDevices devices(L"camera0.sizes=25");
    ASSERT_EQ(devices.Result(), S_OK);
    ASSERT_EQ(RunPreview(), 1);
    Listing listing = ListSizes();
    ASSERT_EQ(listing.result, 1);
    EXPECT_EQ(listing.count, KORVEL_MAX_VIDEO_SIZES);
    EXPECT_TRUE(listing.tailUntouched);
    EXPECT_EQ(listing.sizes[19], (tag_VideoSize{128, 96})) << "the device's 20th size";

    // A current size beyond the twentieth is not among those listed.
    tag_VideoSize late = {240, 180};
    ASSERT_EQ(SetVideoSize(&late), 1);
    listing = ListSizes();
    EXPECT_EQ(listing.count, KORVEL_MAX_VIDEO_SIZES);
    EXPECT_EQ(listing.current, 0);
}

TEST_F(KorvelVideoSize, CapabilityRecordsOfAnotherSizeAreNotRead) {
    ScopedTestDevices devices(L"camera0.capssize=96");
    ASSERT_EQ(devices.Result(), S_OK);
    ASSERT_EQ(RunPreview(), 1);
    const Listing listing = ListSizes();
    EXPECT_EQ(listing.result, 1);
    EXPECT_EQ(listing.count, 0);
    EXPECT_EQ(listing.current, 0);
}

}  // namespace
}  // namespace korvel_test
