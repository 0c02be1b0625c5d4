// Recording as the capture application drives it, shared by the AVI and MPEG
// recording tests: preview at a size, RunRecord, the window back, RunGraph,
// StopRecord, with the preview watched while the file is written.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "engine_test_support.h"

namespace korvel_test {

// Wine's stream time starts about 200 ms after Run; recording a little
// longer gives the files the 3 s their checks expect.
constexpr DWORD kRecordMilliseconds = 3200;

// RunPreview, the window, the camera at `size`, RunGraph.
void StartPreview(const TestWindow& window, const tag_VideoSize& size);

// The preview's frame counter moves on within `milliseconds`, messages pumped.
void ExpectPreviewAdvances(const ClassSpy& renderers, DWORD milliseconds);

// True when nobody holds the file open any more: the recording is finished.
bool FileClosed(const std::wstring& path);

struct Clip {
    std::wstring path;
    int format;  // RunRecord's: 1 AVI, any other MPEG
    int quality;
    tag_VideoSize size;
    bool sound;
};

// The application's recording round for `milliseconds` from the running
// preview in `window`: RunRecord, `onBuilt`, the window back, RunGraph, the
// preview watched through `renderers`, StopRecord, and the file closed when
// StopRecord returns.
void RecordFromPreview(const TestWindow& window, const ClassSpy& renderers, const Clip& clip, DWORD milliseconds,
                       const std::function<void()>& onBuilt = {});

// The application's recording round for `milliseconds`, from a fresh preview
// at the clip's size; `onBuilt` runs between RunRecord and RunGraph. Checks
// that the preview goes on while recording and that the file is closed when
// StopRecord returns. An earlier file of that name is deleted first.
void RecordClip(const Clip& clip, DWORD milliseconds = kRecordMilliseconds,
                const std::function<void()>& onBuilt = {});

}  // namespace korvel_test
