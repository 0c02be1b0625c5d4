// MPEG recording through Korvel as the capture application drives it: every
// format value but 1. The four clips are checked afterwards by ffprobe (ctest
// steps korvel_mpeg_probe_*): an MPEG-1 system stream with MPEG-1 video (and
// Layer II sound), its size, 3 s of pictures and sound starting together,
// decoding without a message. The other cases are the ways a recording
// fails, and the way back to the preview after each.
#include <windows.h>
#include <dshow.h>

#include <cstring>
#include <vector>

#include "filters/mpeg/mpeg_filters_api.h"
#include "record_test_support.h"

namespace korvel_test {
namespace {

using KorvelMpegRecord = EngineTest;

const wchar_t* const kRecordingFilters[] = {L"InfPin Filter", L"colorspace Filter", L"Encoder filter", L"MPG Mux",
                                            L"dump"};

std::vector<uint8_t> ReadFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

// A system stream that was finished: it opens with a pack and ends with the
// end code, as the multiplexer writes it only when the graph stops.
void ExpectFinishedSystemStream(const std::wstring& path) {
    const std::vector<uint8_t> bytes = ReadFile(path);
    ASSERT_GT(bytes.size(), 2048u);
    const uint8_t pack[4] = {0, 0, 1, 0xBA}, end[4] = {0, 0, 1, 0xB9};
    EXPECT_EQ(0, std::memcmp(bytes.data(), pack, 4));
    EXPECT_EQ(0, std::memcmp(bytes.data() + bytes.size() - 4, end, 4));
}

// The recording graph, seen from the encoder the engine created: the filters
// under their names, the audio encoder only for sound, the dump writing to
// the clip's file, and the encoder set up with the clip's quality.
void ExpectMpegGraph(IBaseFilter* encoder, const Clip& clip) {
    ASSERT_TRUE(encoder);
    FILTER_INFO info = {};
    ASSERT_EQ(S_OK, encoder->QueryFilterInfo(&info));
    ComPtr<IFilterGraph> graph;
    graph.Attach(info.pGraph);
    ASSERT_TRUE(graph);
    for (const wchar_t* name : kRecordingFilters) {
        ComPtr<IBaseFilter> filter;
        EXPECT_EQ(S_OK, graph->FindFilterByName(name, filter.Put())) << name;
    }
    ComPtr<IBaseFilter> audioEncoder;
    EXPECT_EQ(clip.sound, SUCCEEDED(graph->FindFilterByName(L"Audio Encoder", audioEncoder.Put())));

    ComPtr<IBaseFilter> dump;
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(S_OK, graph->FindFilterByName(L"dump", dump.Put()));
    ASSERT_EQ(S_OK, dump.As(&sink));
    LPOLESTR name = nullptr;
    ASSERT_EQ(S_OK, sink->GetCurFile(&name, nullptr));
    EXPECT_EQ(clip.path, name);
    CoTaskMemFree(name);

    ComPtr<IEncoderSettings> settings;
    ComPtr<IEncoderParams> params;
    ASSERT_EQ(S_OK, encoder->QueryInterface(IID_IEncoderSettings, settings.PutVoid()));
    ASSERT_EQ(S_OK, encoder->QueryInterface(IID_IEncoderParams, params.PutVoid()));
    int quality = -1, fillDropped = -1;
    EXPECT_EQ(S_OK, settings->GetQuality(&quality));
    EXPECT_EQ(clip.quality, quality);
    EXPECT_EQ(S_OK, params->GetParam(kEncoderParamFillDropped, &fillDropped));
    EXPECT_EQ(1, fillDropped);
}

void RecordMpeg(const wchar_t* fileName, int format, int quality, tag_VideoSize size, bool sound) {
    const Clip clip = {OutputPath(fileName), format, quality, size, sound};
    ClassSpy encoders(CLSID_MpegVideoEncoder);
    ASSERT_EQ(S_OK, encoders.Result());
    RecordClip(clip, kRecordMilliseconds, [&] { ExpectMpegGraph(encoders.Last().Get(), clip); });
    EXPECT_EQ(1, encoders.Created());
    ASSERT_NO_FATAL_FAILURE(ExpectFinishedSystemStream(clip.path));

    // Twice: nothing left to stop or remove, and the file stays as it is.
    const long long bytes = FileSize(clip.path);
    EXPECT_EQ(StopRecord(), 1);
    EXPECT_EQ(bytes, FileSize(clip.path));
}

TEST_F(KorvelMpegRecord, Format0VideoAt320x240) {
    RecordMpeg(L"korvel-mpeg-320x240-video.mpg", 0, 0, {320, 240}, false);
}
TEST_F(KorvelMpegRecord, Format2SoundAt320x240) {
    RecordMpeg(L"korvel-mpeg-320x240-sound.mpg", 2, 1, {320, 240}, true);
}
TEST_F(KorvelMpegRecord, Format7VideoAt640x480) {
    RecordMpeg(L"korvel-mpeg-640x480-video.mpg", 7, 2, {640, 480}, false);
}
TEST_F(KorvelMpegRecord, Format0SoundAt640x480) {
    RecordMpeg(L"korvel-mpeg-640x480-sound.mpg", 0, 1, {640, 480}, true);
}

// A short recording from the running preview after a failure: the engine is
// usable again.
void ExpectRecordingWorks(const TestWindow& window, const ClassSpy& renderers, const wchar_t* fileName, bool sound) {
    const std::wstring path = OutputPath(fileName);
    DeleteFileW(path.c_str());
    RecordFromPreview(window, renderers, {path, 0, 1, {320, 240}, sound}, 1200);
    ExpectFinishedSystemStream(path);
    DeleteFileW(path.c_str());
}

// Names the dump could not write are refused before the running preview is
// touched, and leave nothing behind.
TEST_F(KorvelMpegRecord, UnusableNamesAreRefusedWhileThePreviewRuns) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    TestWindow window(320, 240);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {320, 240}));
    PumpFor(600);

    const std::wstring folderAsName = OutputPath(L"korvel-folder.mpg");
    CreateDirectoryW(folderAsName.c_str(), nullptr);
    const std::wstring locked = OutputPath(L"korvel-locked.mpg");
    const HANDLE lock = CreateFileW(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(lock, "keep", 4, &written, nullptr));
    const std::wstring missingFolder = OutputPath(L"no-such-folder\\clip.mpg");
    const std::wstring tooLong = OutputPath((std::wstring(300, L'a') + L".mpg").c_str());

    EXPECT_EQ(RunRecord(nullptr, 0, 1, 0), 0);
    for (const std::wstring& name : {std::wstring(), folderAsName, locked, missingFolder, tooLong}) {
        EXPECT_EQ(RunRecord(name.c_str(), 0, 1, 1), 0) << "'" << std::string(name.begin(), name.end()) << "'";
    }
    ExpectPreviewAdvances(renderers, 500);
    EXPECT_EQ(StopRecord(), 1);
    CloseHandle(lock);
    EXPECT_EQ(4, FileSize(locked)) << "a locked file is not touched";
    EXPECT_EQ(-1, FileSize(missingFolder));
    EXPECT_TRUE(RemoveDirectoryW(folderAsName.c_str())) << "still an empty folder";
    DeleteFileW(locked.c_str());

    ExpectRecordingWorks(window, renderers, L"korvel-mpeg-after-refusal.mpg", true);
}

// The dump's folder goes away between RunRecord and RunGraph: the graph
// cannot run, no file appears, and StopRecord with the application's preview
// build brings the picture back.
TEST_F(KorvelMpegRecord, GraphThatCannotRunLeavesNoFileAndThePreviewComesBack) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    TestWindow window(320, 240);
    const std::wstring folder = OutputPath(L"korvel-vanishing");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring path = folder + L"\\clip.mpg";
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {320, 240}));

    ASSERT_EQ(RunRecord(path.c_str(), 0, 1, 1), 1);
    ASSERT_TRUE(RemoveDirectoryW(folder.c_str()));
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    EXPECT_EQ(RunGraph(), 0);
    PumpFor(300);
    EXPECT_EQ(-1, FileSize(path));
    EXPECT_EQ(StopRecord(), 1);

    ASSERT_EQ(RunPreview(), 1);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(800);
    ExpectPreviewAdvances(renderers, 500);
    ExpectRecordingWorks(window, renderers, L"korvel-mpeg-after-failed-run.mpg", true);
}

// No audio device at the chosen index: a recording with sound fails to build
// and the application's RunGraph that follows shows the preview; without
// sound the same device choice records.
TEST_F(KorvelMpegRecord, SoundWithoutAudioDeviceFailsAndThePreviewGoesOn) {
    ClassSpy renderers(CLSID_VideoRendererDefault);
    TestWindow window(320, 240);
    ASSERT_EQ(SetAudioDevice(99), 1);
    ASSERT_NO_FATAL_FAILURE(StartPreview(window, {320, 240}));
    const std::wstring path = OutputPath(L"korvel-mpeg-no-microphone.mpg");
    DeleteFileW(path.c_str());

    EXPECT_EQ(RunRecord(path.c_str(), 0, 1, 1), 0);
    ASSERT_EQ(SetPlayWindow(window.Handle()), 1);
    RECT rect = {0, 0, 320, 240};
    ASSERT_EQ(SetWindowPosition(&rect), 1);
    ASSERT_EQ(RunGraph(), 1);
    PumpFor(800);
    ExpectPreviewAdvances(renderers, 500);
    EXPECT_EQ(StopRecord(), 1);
    EXPECT_EQ(-1, FileSize(path));

    ExpectRecordingWorks(window, renderers, L"korvel-mpeg-no-microphone.mpg", false);
}

}  // namespace
}  // namespace korvel_test
