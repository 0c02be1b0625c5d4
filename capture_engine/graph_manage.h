// The capture engine object: owns the capture graph (preview, recording,
// snapshots) and the playback graph, and every filter and interface in them.
// One object per process, used from the thread that created it.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "capture_engine/engine_trace.h"
#include "capture_engine/video_size_record.h"
#include "dshow_base/com_ptr.h"

// Which capture topology was built last.
enum GraphMode { GraphMode_None = 0, GraphMode_Preview = 1, GraphMode_AviRecord = 2, GraphMode_MpegRecord = 3 };
enum PlayState { PlayState_Running = 0, PlayState_Paused = 1, PlayState_Stopped = 2 };

class CGraphManage {
public:
    CGraphManage();
    virtual ~CGraphManage();
    CGraphManage(const CGraphManage&) = delete;
    CGraphManage& operator=(const CGraphManage&) = delete;

    // Devices and life cycle (graph_manage.cpp).
    void SetVideoDevice(int index) { m_videoDeviceIndex = index; }
    void SetAudioDevice(int index);
    void DeleteVideoDevice();
    void TearDownGraph();

    // Preview (preview_graph.cpp) and capture size (video_size.cpp).
    HRESULT RunPreview();
    HRESULT RunPreviewEx();
    HRESULT RunGraph();
    HRESULT StopGraph();
    HRESULT SetPlayWindow(HWND window);
    HRESULT SetWindowPosition(const RECT& rect);
    HRESULT GetVideoSize(int* count, int* currentIndex, tag_VideoSize* sizes);
    HRESULT SetVideoSize(const tag_VideoSize& size);
    HRESULT SetVideoSizeEx(const tag_VideoSize& captureSize, const tag_VideoSize& outputSize);

    // Recording (record_graph.cpp).
    HRESULT RunRecord(LPCWSTR fileName, int format, int mpegQuality, int withAudio);
    void StopRecord();

    // Stills and device pages (snapshot_pages.cpp).
    HRESULT CaptureBitmap(LPCWSTR fileName, int bitmap, int quality);
    HRESULT ShowVideoCapturePropertyPage(HWND owner);
    HRESULT ShowAudioCapturePropertyPage(HWND owner);

    // Playback (playback_graph.cpp).
    HRESULT RenderMediaFile(LPCWSTR fileName);
    HRESULT RunGraph2();
    HRESULT PauseGraph2();
    HRESULT StopGraph2();
    HRESULT SetPlayWindow2(HWND window);
    HRESULT SetPlayWindowPosition2(const RECT& rect);
    HRESULT TearDownGraph2();
    HRESULT GetStopTime2(int* seconds);
    HRESULT GetCurTime2(int* seconds);
    HRESULT SetCurTime2(int currentSeconds, int stopSeconds);
    HRESULT GetEventCode2(long* eventCode);

private:
    HRESULT CaptureMediaControl();
    HRESULT StopCapture();
    HRESULT AddPreviewSources();
    HRESULT AttachWindow(HWND window);
    void RestoreWindowRect();
    void RebuildAndRun(bool converted);
    HRESULT BuildAviRecording(LPCWSTR fileName, int withAudio);
    HRESULT ConnectAviRecording(LPCWSTR fileName, int withAudio);
    void RemoveAviFilters();
    HRESULT BuildMpegRecording(LPCWSTR fileName, int mpegQuality, int withAudio);
    HRESULT ConnectMpegRecording(LPCWSTR fileName, int withAudio);
    void RemoveMpegFilters();
    HRESULT ConnectRecordingPreview();
    HRESULT PlaybackControl();

    int m_captureRunning = 0;
    int m_audioDeviceIndex = 0;
    int m_videoDeviceIndex = 0;
    GraphMode m_graphMode = GraphMode_None;
    HWND m_playWindow = nullptr;
    RECT m_videoWindowRect = {};
    ComPtr<IGraphBuilder> m_captureGraph;
    ComPtr<IBaseFilter> m_videoCapture;
    ComPtr<IBaseFilter> m_snapshot;
    ComPtr<IBaseFilter> m_aviMux;
    ComPtr<IBaseFilter> m_tee;
    ComPtr<IBaseFilter> m_fileWriter;
    ComPtr<IBaseFilter> m_colourConverter;
    ComPtr<IBaseFilter> m_videoRenderer;
    ComPtr<IBaseFilter> m_audioCapture;
    ComPtr<IBaseFilter> m_mpegFileSink;
    ComPtr<IMediaControl> m_mediaControl;
    ComPtr<IVideoWindow> m_videoWindow;
    ComPtr<IBaseFilter> m_mpegEncoder;
    ComPtr<IBaseFilter> m_audioEncoder;
    ComPtr<IBaseFilter> m_mpegMux;
    ComPtr<IBaseFilter> m_pixmorph;
    ComPtr<IGraphBuilder> m_playGraph;
    ComPtr<IBaseFilter> m_playSnapshot;
    ComPtr<IMediaControl> m_playControl;
    ComPtr<IVideoWindow> m_playWindowIf;
    ComPtr<IMediaSeeking> m_playSeeking;
    ComPtr<IMediaEventEx> m_playEvents;
    PlayState m_playState = PlayState_Stopped;
    int m_playGraphPresent = 0;
};
