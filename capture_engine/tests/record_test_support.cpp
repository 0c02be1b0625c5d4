#include "record_test_support.h"

namespace korvel_test {

void StartPreview(const TestWindow& window, const tag_VideoSize& size) {
    ASSERT_EQ(RunPreview(), 1);
    int count = 0, current = 0;
    tag_VideoSize sizes[KORVEL_MAX_VIDEO_SIZES];
    ASSERT_EQ(GetVideoSize(&count, &current, sizes), 1);
    if (sizes[current].width != size.width || sizes[current].height != size.height) {
        ASSERT_EQ(SetVideoSize(&size), 1);
    }
    // As the application does: the window set after the size change and
    // positioned, or the renderer's picture is hidden and cannot be read back.
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    RECT rect = {0, 0, 320, 240};
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);
}

void ExpectPreviewAdvances(const ClassSpy& renderers, DWORD milliseconds) {
    const auto before = ShownFrameNumber(renderers.Last().Get());
    PumpFor(milliseconds);
    const auto after = ShownFrameNumber(renderers.Last().Get());
    ASSERT_TRUE(before && after) << "the renderer shows the test pattern";
    EXPECT_GT(*after, *before) << "the preview runs";
}

bool FileClosed(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

void RecordFromPreview(const TestWindow& window, const ClassSpy& renderers, const Clip& clip, DWORD milliseconds,
                       const std::function<void()>& onBuilt) {
    ASSERT_EQ(RunRecord(clip.path.c_str(), clip.format, clip.quality, clip.sound ? 1 : 0), 1);
    if (onBuilt) {
        ASSERT_NO_FATAL_FAILURE(onBuilt());
    }
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    RECT rect = {0, 0, 320, 240};
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(milliseconds / 2);
    ExpectPreviewAdvances(renderers, milliseconds - milliseconds / 2);
    EXPECT_EQ(StopRecord(), 1);
    EXPECT_TRUE(FileClosed(clip.path)) << "finished when StopRecord returns";
}

void RecordClip(const Clip& clip, DWORD milliseconds, const std::function<void()>& onBuilt) {
    DeleteFileW(clip.path.c_str());
    ClassSpy renderers(CLSID_VideoRendererDefault);
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, clip.size));
    PumpFor(500);
    RecordFromPreview(window, renderers, clip, milliseconds, onBuilt);
}

}  // namespace korvel_test
