// Preview through Korvel as the capture application drives it: build, host
// in a window, run; frames must reach the engine's renderer, rebuilds reuse
// the filters, and device changes take effect where they should.
#include <windows.h>
#include <dshow.h>

#include <cstdio>

#include "engine_test_support.h"
#include "filters/snapshot/snapshot_api.h"
#include "test_devices/test_device_client.h"
#include "test_devices/test_device_ids.h"

namespace korvel_test {
namespace {

using test_devices::ScopedTestDevices;

using KorvelPreview = EngineTest;

int SizeCount() {
    int count = -1, current = -1;
    tag_VideoSize sizes[KORVEL_MAX_VIDEO_SIZES] = {};
    return GetVideoSize(&count, &current, sizes) ? count : -1;
}

// The application's order after choosing a device.
void StartPreview(const TestWindow& window) {
    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    RECT rect = {0, 0, 320, 240};
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);
}

// The renderer shows live test-pattern frames: a number well past the start,
// and a later one half a second on.
// A loaded machine may start slowly, so the start is waited for, not timed.
void ExpectLiveFrames(IBaseFilter* renderer) {
    std::optional<uint32_t> first;
    for (int waited = 0; waited < 10000; waited += 250) {
        first = ShownFrameNumber(renderer);
        if (first && *first > 10u) break;
        PumpFor(250);
    }
    ASSERT_TRUE(first.has_value()) << "no readable picture in the renderer";
    EXPECT_GT(*first, 10u);
    PumpFor(500);
    const auto second = ShownFrameNumber(renderer);
    ASSERT_TRUE(second.has_value());
    EXPECT_GT(*second, *first);
}

TEST_F(KorvelPreview, FramesReachTheRendererAtTheCameraRate) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    ASSERT_EQ(renderers.Result(), S_OK);
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window));
    PumpFor(2000);
    ASSERT_EQ(renderers.Created(), 1);
    ASSERT_NO_FATAL_FAILURE(ExpectLiveFrames(renderers.Last().Get()));

    // Frames shown per second at the camera's default 640x480.
    const auto before = ShownFrameNumber(renderers.Last().Get());
    const DWORD start = GetTickCount();
    PumpFor(3000);
    const auto after = ShownFrameNumber(renderers.Last().Get());
    const double seconds = (GetTickCount() - start) / 1000.0;
    ASSERT_TRUE(before && after);
    const double fps = (*after - *before) / seconds;
    std::printf("preview at 640x480: %.1f frames per second reached the renderer\n", fps);
    RecordProperty("preview_fps_640x480", std::to_string(fps));
    // Liveness only: the rate itself is a measurement, and a busy machine slows it.
    EXPECT_GT(fps, 1.0);
    EXPECT_EQ(StopGraph(), 1);
}

TEST_F(KorvelPreview, RunAndStopAreIdempotent) {
    TestWindow window(320, 240);
    EXPECT_EQ(StopGraph(), 1) << "stopping a graph that never ran";
    ASSERT_NO_FATAL_FAILURE(StartPreview(window));
    EXPECT_EQ(RunGraph(), 1) << "running again changes nothing";
    EXPECT_EQ(StopGraph(), 1);
    EXPECT_EQ(StopGraph(), 1);
}

TEST_F(KorvelPreview, SecondBuildReusesEveryFilter) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    ClassSpy snapshots(CLSID_SnapshotFilter);
    ClassSpy cameras(test_devices::kCameraClsids[0]);
    ASSERT_EQ(renderers.Result(), S_OK);
    ASSERT_EQ(snapshots.Result(), S_OK);
    ASSERT_EQ(cameras.Result(), S_OK);
    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(RunPreview(), 1);
    EXPECT_EQ(renderers.Created(), 1);
    EXPECT_EQ(snapshots.Created(), 1);
    EXPECT_EQ(cameras.Created(), 1);
    TestWindow window(320, 240);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(1500);
    ASSERT_NO_FATAL_FAILURE(ExpectLiveFrames(renderers.Last().Get()));
}

// Cameras told apart by how many sizes they offer.
TEST_F(KorvelPreview, DeviceChangeTakesEffectOnlyAfterDeleteAndRebuild) {
    ScopedTestDevices devices(L"cameras=2;camera0.sizes=4;camera1.sizes=6");
    ASSERT_EQ(devices.Result(), S_OK);
    ClassSpy renderers(CLSID_VideoRendererDefault);
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window));
    EXPECT_EQ(SizeCount(), 4);

    EXPECT_EQ(SetVideoDevice(1), 1);
    EXPECT_EQ(SizeCount(), 4) << "the running preview keeps its device";
    EXPECT_EQ(DeleteVideoDevice(), 1);
    EXPECT_EQ(SizeCount(), -1) << "no capture device connected";
    ASSERT_NO_FATAL_FAILURE(StartPreview(window));
    EXPECT_EQ(SizeCount(), 6);
    PumpFor(1500);
    ASSERT_NO_FATAL_FAILURE(ExpectLiveFrames(renderers.Last().Get()));
}

// The list leaves out the nameless camera, selection counts it: list entry 1
// ("Third") is selection index 2.
TEST_F(KorvelPreview, NamelessDeviceShiftsSelectionAgainstTheList) {
    ScopedTestDevices devices(
        L"cameras=3;camera0.name=First;camera0.sizes=4;camera1.nofriendlyname=1;camera1.sizes=5;"
        L"camera2.name=Third;camera2.sizes=6");
    ASSERT_EQ(devices.Result(), S_OK);
    SetVideoDevice(1);
    ASSERT_EQ(RunPreview(), 1);
    EXPECT_EQ(SizeCount(), 5);
    SetVideoDevice(2);
    DeleteVideoDevice();
    ASSERT_EQ(RunPreview(), 1);
    EXPECT_EQ(SizeCount(), 6);
}

TEST_F(KorvelPreview, MissingDeviceFailsTheBuildAndAValidOneRecovers) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    EXPECT_EQ(SetVideoDevice(7), 1);
    EXPECT_EQ(RunPreview(), 0);
    EXPECT_EQ(RunPreview(), 0) << "still no device at index 7";
    SetVideoDevice(0);
    DeleteVideoDevice();
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window));
    PumpFor(1500);
    ASSERT_NO_FATAL_FAILURE(ExpectLiveFrames(renderers.Last().Get()));
}

TEST_F(KorvelPreview, WindowPositionNeedsAWindowFirst) {
    RECT rect = {10, 10, 110, 90};
    ASSERT_EQ(RunPreview(), 1);
    EXPECT_EQ(SetWindowPosition(&rect), 0);
    TestWindow window(320, 240);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    EXPECT_EQ(SetWindowPosition(&rect), 1);
    EXPECT_EQ(SetPlayWindow(nullptr), 1) << "a zero handle detaches and hides";
}

TEST_F(KorvelPreview, AudioIndexPastTheEndIsAcceptedAndLeavesNoAudioDevice) {
    EXPECT_EQ(SetAudioDevice(9), 1);
    EXPECT_EQ(ShowAudioCapturePropertyPage(nullptr), 0);
    ASSERT_EQ(RunPreview(), 1) << "preview needs no audio device";
}

}  // namespace
}  // namespace korvel_test
