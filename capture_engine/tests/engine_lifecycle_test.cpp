// The engine's life cycle as seen through the exports: nothing works (and
// nothing crashes) without an engine, a torn-down capture graph refuses
// every capture operation, and the calls meant to be harmless stay so.
#include <windows.h>

#include <gtest/gtest.h>

#include "capture_engine/korvel.h"

namespace {

// Every export that needs an engine or its capture graph, called with valid
// arguments; each must answer 0.
void ExpectCaptureExportsRefuse() {
    RECT rect = {0, 0, 320, 240};
    int count = -1, current = -1;
    tag_VideoSize sizes[KORVEL_MAX_VIDEO_SIZES] = {};
    tag_VideoSize size = {320, 240};
    EXPECT_EQ(RunPreview(), 0);
    EXPECT_EQ(RunPreviewEx(), 0);
    EXPECT_EQ(RunGraph(), 0);
    EXPECT_EQ(SetPlayWindow(GetDesktopWindow()), 0);
    EXPECT_EQ(SetWindowPosition(&rect), 0);
    EXPECT_EQ(GetVideoSize(&count, &current, sizes), 0);
    EXPECT_EQ(SetVideoSize(&size), 0);
    EXPECT_EQ(SetVideoSizeEx(&size, &size), 0);
    EXPECT_EQ(RunRecord(L"C:\\unused.avi", 1, 0, 0), 0);
    EXPECT_EQ(CaptureBitmap(L"C:\\unused.bmp", 1, 80), 0);
    EXPECT_EQ(ShowVideoCpaturePropertyPage(nullptr), 0);
    EXPECT_EQ(ShowAudioCapturePropertyPage(nullptr), 0);
}

TEST(KorvelWithoutEngine, EveryEngineExportAnswersZero) {
    ExpectCaptureExportsRefuse();
    int seconds = -1;
    long code = -1;
    RECT rect = {0, 0, 320, 240};
    EXPECT_EQ(SetVideoDevice(0), 0);
    EXPECT_EQ(SetAudioDevice(0), 0);
    EXPECT_EQ(DeleteVideoDevice(), 0);
    EXPECT_EQ(TearDownGraph(), 0);
    EXPECT_EQ(StopGraph(), 0);
    EXPECT_EQ(StopRecord(), 0);
    EXPECT_EQ(RenderMediaFile(L"C:\\missing.avi"), 0);
    EXPECT_EQ(RunGraph2(), 0);
    EXPECT_EQ(PauseGraph2(), 0);
    EXPECT_EQ(StopGraph2(), 0);
    EXPECT_EQ(SetPlayWindow2(GetDesktopWindow()), 0);
    EXPECT_EQ(SetPlayWindowPosition2(&rect), 0);
    EXPECT_EQ(TearDownGraph2(), 0);
    EXPECT_EQ(GetStopTime2(&seconds), 0);
    EXPECT_EQ(GetCurTime2(&seconds), 0);
    EXPECT_EQ(SetCurTime2(1, 2), 0);
    EXPECT_EQ(GetEventCode2(&code), 0);
    // Uninitialising without an engine is safe, and balanced: COM was not
    // initialised by us, so it is not uninitialised either.
    EXPECT_EQ(Graph_Uninitialize(), 1);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "no apartment was left behind";
    CoUninitialize();
}

TEST(KorvelLifecycle, InitialiseAndUninitialiseWithoutAnyGraphWork) {
    EXPECT_EQ(Graph_Initialize(), 1);
    EXPECT_EQ(Graph_Uninitialize(), 1);
    // The engine is gone again.
    EXPECT_EQ(RunPreview(), 0);
    // So is the apartment Graph_Initialize set up.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
}

TEST(KorvelLifecycle, AfterTearDownGraphCaptureExportsRefuseAndUninitialiseStaysSafe) {
    ASSERT_EQ(Graph_Initialize(), 1);
    EXPECT_EQ(TearDownGraph(), 1);
    ExpectCaptureExportsRefuse();
    // Asking nothing of the graph still succeeds.
    EXPECT_EQ(StopGraph(), 1);
    EXPECT_EQ(StopRecord(), 1);
    EXPECT_EQ(SetVideoDevice(3), 1);
    EXPECT_EQ(SetAudioDevice(0), 1);
    EXPECT_EQ(DeleteVideoDevice(), 1);
    EXPECT_EQ(TearDownGraph(), 1);
    EXPECT_EQ(Graph_Uninitialize(), 1);
}

TEST(KorvelLifecycle, NullArgumentsAreRefused) {
    ASSERT_EQ(Graph_Initialize(), 1);
    int count = 0, current = 0;
    tag_VideoSize sizes[KORVEL_MAX_VIDEO_SIZES] = {};
    wchar_t names[KORVEL_DEVICE_LIST_UNITS];
    unsigned short listed = 0;
    EXPECT_EQ(GetCaptureVideoDev(nullptr, names), 0);
    EXPECT_EQ(GetCaptureAudioDev(&listed, nullptr), 0);
    EXPECT_EQ(SetWindowPosition(nullptr), 0);
    EXPECT_EQ(GetVideoSize(nullptr, &current, sizes), 0);
    EXPECT_EQ(GetVideoSize(&count, nullptr, sizes), 0);
    EXPECT_EQ(GetVideoSize(&count, &current, nullptr), 0);
    EXPECT_EQ(SetVideoSize(nullptr), 0);
    EXPECT_EQ(SetVideoSizeEx(nullptr, sizes), 0);
    EXPECT_EQ(RunRecord(nullptr, 1, 0, 0), 0);
    EXPECT_EQ(CaptureBitmap(nullptr, 1, 0), 0);
    EXPECT_EQ(RenderMediaFile(nullptr), 0);
    EXPECT_EQ(SetPlayWindowPosition2(nullptr), 0);
    EXPECT_EQ(GetStopTime2(nullptr), 0);
    EXPECT_EQ(GetCurTime2(nullptr), 0);
    EXPECT_EQ(GetEventCode2(nullptr), 0);
    EXPECT_EQ(Graph_Uninitialize(), 1);
}

}  // namespace
