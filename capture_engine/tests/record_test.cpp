// AVI recording through Korvel as the capture application drives it:
// preview, RunRecord, window back, run, StopRecord. The files are checked
// afterwards by ffprobe (ctest steps korvel_avi_probe_*): streams, size,
// frame count and sound length for 3 s of recording.
#include <windows.h>
#include <dshow.h>

#include "record_test_support.h"
#include "testing/window_harness/trace_window.h"

namespace korvel_test {
namespace {

using KorvelRecord = EngineTest;

void RecordAvi(const wchar_t* fileName, tag_VideoSize size, bool withSound) {
    const std::wstring path = OutputPath(fileName);
    RecordClip({path, 1, 0, size, withSound});
    EXPECT_GT(FileSize(path), 100000);
}

TEST_F(KorvelRecord, VideoOnlyAt320x240) { RecordAvi(L"korvel-320x240-video.avi", {320, 240}, false); }
TEST_F(KorvelRecord, VideoAndSoundAt320x240) { RecordAvi(L"korvel-320x240-sound.avi", {320, 240}, true); }
TEST_F(KorvelRecord, VideoOnlyAt640x480) { RecordAvi(L"korvel-640x480-video.avi", {640, 480}, false); }
TEST_F(KorvelRecord, VideoAndSoundAt640x480) { RecordAvi(L"korvel-640x480-sound.avi", {640, 480}, true); }

TEST_F(KorvelRecord, StopRecordOutsideRecordingAndTwiceIsHarmless) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {640, 480}));
    EXPECT_EQ(StopRecord(), 1) << "in preview";
    PumpFor(1200);
    const auto first = ShownFrameNumber(renderers.Last().Get());
    PumpFor(400);
    const auto second = ShownFrameNumber(renderers.Last().Get());
    ASSERT_TRUE(first && second) << "the preview kept running";
    EXPECT_GT(*second, *first);

    const std::wstring path = OutputPath(L"korvel-twice.avi");
    ASSERT_EQ(RunRecord(path.c_str(), 1, 0, 0), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(800);
    EXPECT_EQ(StopRecord(), 1);
    EXPECT_EQ(StopRecord(), 1);
    EXPECT_TRUE(FileClosed(path));
    DeleteFileW(path.c_str());
    // Preview again, as the application continues.
    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(1200);
    EXPECT_TRUE(ShownFrameNumber(renderers.Last().Get()).has_value());
}

// A name the file writer cannot use is refused before the preview is touched,
// and the next valid recording works.
TEST_F(KorvelRecord, UnusableNamesAreRefusedAndLeaveNoFile) {
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {320, 240}));
    const std::wstring missingFolder = OutputPath(L"no-such-folder\\clip.avi");
    EXPECT_EQ(RunRecord(missingFolder.c_str(), 1, 0, 0), 0);
    EXPECT_EQ(FileSize(missingFolder), -1);
    const std::wstring tooLong = OutputPath((std::wstring(300, L'a') + L".avi").c_str());
    EXPECT_EQ(RunRecord(tooLong.c_str(), 1, 0, 0), 0);
    EXPECT_EQ(RunRecord(L"", 1, 0, 0), 0);

    const std::wstring path = OutputPath(L"korvel-after-refusal.avi");
    DeleteFileW(path.c_str());
    ASSERT_EQ(RunRecord(path.c_str(), 1, 0, 0), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(1000);
    EXPECT_EQ(StopRecord(), 1);
    EXPECT_GT(FileSize(path), 10000);
    DeleteFileW(path.c_str());
}

// No audio device at the chosen index: a recording with sound fails to
// build, says why in the trace, and leaves nothing that keeps the graph from
// running: the application's RunGraph that follows shows the preview, and a
// recording without sound then works.
TEST_F(KorvelRecord, SoundWithoutAudioDeviceFailsAndThePreviewGoesOn) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    TestWindow window(320, 240);
    ASSERT_EQ(SetAudioDevice(99), 1);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {320, 240}));
    const std::wstring path = OutputPath(L"korvel-no-microphone.avi");
    DeleteFileW(path.c_str());

    {
        harness::TraceWindow trace;
        EXPECT_EQ(RunRecord(path.c_str(), 1, 0, 1), 0);
        EXPECT_TRUE(trace.HasLineWith({"m_audioCapture", "m_aviMux", "failed with HRESULT 0x80004003"}))
            << "no trace line names the audio connection";
    }
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    RECT rect = {0, 0, 320, 240};
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(800);
    ExpectPreviewAdvances(renderers, 500);
    EXPECT_EQ(StopRecord(), 1);
    EXPECT_EQ(-1, FileSize(path));

    // And once more from a fresh preview build, as after a device change.
    ASSERT_EQ(RunRecord(path.c_str(), 1, 0, 1), 0);
    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(800);
    ExpectPreviewAdvances(renderers, 500);

    RecordFromPreview(window, renderers, {path, 1, 0, {320, 240}, false}, 1200);
    EXPECT_GT(FileSize(path), 10000);
    DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace korvel_test
