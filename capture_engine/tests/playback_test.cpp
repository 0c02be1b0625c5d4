// Playback of a media file through Korvel's second graph: whole-second
// positions, seeking, idempotent pause and stop, and the end of the file
// announced by message 2024 and read back as EC_COMPLETE exactly once.
// The file is made by ffmpeg in the ctest step before this one: 95.6 s of
// 80x60 test picture at 5 frames per second, in 32-bit RGB (Wine's VMR-9
// cannot allocate surfaces for 24-bit RGB).
#include <windows.h>
#include <dshow.h>

#include <vector>

#include "engine_test_support.h"

namespace korvel_test {
namespace {

using KorvelPlayback = EngineTest;

std::wstring MediaFile() { return OutputPath(L"korvel-playback.avi"); }

std::vector<long> DrainEvents() {
    std::vector<long> codes;
    long code = 0;
    while (codes.size() < 100 && GetEventCode2(&code)) codes.push_back(code);
    return codes;
}

int CurrentSecond() {
    int seconds = -1;
    return GetCurTime2(&seconds) ? seconds : -1;
}

TEST_F(KorvelPlayback, PositionsAreWholeSecondsOnlyOnceRunning) {
    ASSERT_GE(FileSize(MediaFile()), 0) << "the ctest step makes the file first";
    ASSERT_EQ(RenderMediaFile(MediaFile().c_str()), 1);
    int seconds = -1;
    EXPECT_EQ(GetCurTime2(&seconds), 0) << "no seeking interface before the first run";
    EXPECT_EQ(seconds, 0);
    EXPECT_EQ(SetCurTime2(1, 2), 0);
    EXPECT_EQ(StopGraph2(), 1) << "already stopped";

    TestWindow window(160, 120);
    ASSERT_EQ(SetPlayWindow2(window.Handle()), 1);
    RECT rect = {0, 0, 160, 120};
    EXPECT_EQ(SetPlayWindowPosition2(&rect), 1);
    ASSERT_EQ(RunGraph2(), 1);
    EXPECT_EQ(GetStopTime2(&seconds), 1);
    EXPECT_EQ(seconds, 95) << "95.6 s, truncated";

    ASSERT_EQ(SetCurTime2(10, 20), 1);
    PumpFor(1500);
    const int now = CurrentSecond();
    EXPECT_GE(now, 10);
    EXPECT_LE(now, 12);
    EXPECT_EQ(GetStopTime2(&seconds), 1);
    EXPECT_EQ(seconds, 20);
    EXPECT_EQ(TearDownGraph2(), 1);
    EXPECT_EQ(GetCurTime2(&seconds), 0);
}

TEST_F(KorvelPlayback, PauseAndStopTwiceAreHarmless) {
    ASSERT_EQ(RenderMediaFile(MediaFile().c_str()), 1);
    TestWindow window(160, 120);
    ASSERT_EQ(SetPlayWindow2(window.Handle()), 1);
    ASSERT_EQ(RunGraph2(), 1);
    PumpFor(500);
    EXPECT_EQ(PauseGraph2(), 1);
    const int paused = CurrentSecond();
    EXPECT_EQ(PauseGraph2(), 1);
    PumpFor(1200);
    EXPECT_EQ(CurrentSecond(), paused) << "no time passes in pause";
    EXPECT_EQ(StopGraph2(), 1);
    EXPECT_EQ(StopGraph2(), 1);
    EXPECT_EQ(RunGraph2(), 1) << "runs again after stop";
    EXPECT_EQ(TearDownGraph2(), 1);
}

TEST_F(KorvelPlayback, EndOfFileIsAnnouncedAndCompletesOnce) {
    ASSERT_EQ(RenderMediaFile(MediaFile().c_str()), 1);
    TestWindow window(160, 120);
    ASSERT_EQ(SetPlayWindow2(window.Handle()), 1);
    ASSERT_EQ(RunGraph2(), 1);
    ASSERT_EQ(SetCurTime2(93, 95), 1);
    // The application's way: on each message 2024, take events until none is left.
    int completes = 0, handled = 0;
    const DWORD start = GetTickCount();
    while (completes == 0 && GetTickCount() - start < 10000) {
        PumpFor(100);
        if (window.GraphNotifications() == handled) continue;
        handled = window.GraphNotifications();
        for (long code : DrainEvents()) completes += code == EC_COMPLETE;
    }
    EXPECT_EQ(completes, 1);
    EXPECT_GT(handled, 0) << "announced by message 2024";
    PumpFor(1000);
    for (long code : DrainEvents()) EXPECT_NE(code, EC_COMPLETE) << "completed a second time";
    long code = 0;
    EXPECT_EQ(GetEventCode2(&code), 0) << "queue empty";
    EXPECT_EQ(StopGraph2(), 1);
    EXPECT_EQ(TearDownGraph2(), 1);
}

// A file that cannot be rendered leaves no graph; the next file plays.
TEST_F(KorvelPlayback, MissingFileFailsAndTheNextFilePlays) {
    EXPECT_EQ(RenderMediaFile(OutputPath(L"no-such-file.avi").c_str()), 0);
    EXPECT_EQ(RunGraph2(), 0);
    EXPECT_EQ(CaptureBitmap(OutputPath(L"never.bmp").c_str(), 1, 0), 0);
    EXPECT_EQ(TearDownGraph2(), 1);
    ASSERT_EQ(RenderMediaFile(MediaFile().c_str()), 1);
    ASSERT_EQ(RunGraph2(), 1);
    int seconds = -1;
    EXPECT_EQ(GetStopTime2(&seconds), 1);
    EXPECT_EQ(seconds, 95);
}

// Rendering again without tearing down replaces the graph cleanly.
TEST_F(KorvelPlayback, RenderingAgainReplacesThePreviousGraph) {
    ASSERT_EQ(RenderMediaFile(MediaFile().c_str()), 1);
    ASSERT_EQ(RunGraph2(), 1);
    ASSERT_EQ(RenderMediaFile(MediaFile().c_str()), 1);
    int seconds = -1;
    EXPECT_EQ(GetCurTime2(&seconds), 0) << "the new graph has not run yet";
    ASSERT_EQ(RunGraph2(), 1);
    EXPECT_EQ(GetStopTime2(&seconds), 1);
    EXPECT_EQ(seconds, 95);
}

}  // namespace
}  // namespace korvel_test
