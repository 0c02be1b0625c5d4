// Korvel, the capture engine: a flat interface over a capture graph (preview,
// recording, snapshots) and a playback graph. Plain types only; every export
// returns 1 on success and 0 on failure, and is called from the one thread
// that called Graph_Initialize.
#pragma once

#include <windows.h>

#include "capture_engine/video_size_record.h"

#ifdef KORVEL_BUILDING
#define KORVEL_API extern "C"  // exported by Korvel.def under plain names
#else
#define KORVEL_API extern "C" __declspec(dllimport)
#endif


// Room the callers give the device-name list, in UTF-16 units; the engine
// writes no more than this, terminator included.
#define KORVEL_DEVICE_LIST_UNITS 512
// Most sizes GetVideoSize writes into the caller's array.
#define KORVEL_MAX_VIDEO_SIZES 20
// Window message the playback graph's notify window receives (WM_USER + 1000).
#define KORVEL_WM_GRAPH_NOTIFY 2024

// Life cycle and devices.
KORVEL_API int WINAPI Graph_Initialize();
KORVEL_API int WINAPI Graph_Uninitialize();
// names: "Name1\nName2\n\0" in at most KORVEL_DEVICE_LIST_UNITS units.
KORVEL_API int WINAPI GetCaptureVideoDev(unsigned short* count, wchar_t* names);
KORVEL_API int WINAPI GetCaptureAudioDev(unsigned short* count, wchar_t* names);
KORVEL_API int WINAPI SetVideoDevice(int index);
KORVEL_API int WINAPI SetAudioDevice(int index);
KORVEL_API int WINAPI DeleteVideoDevice();
KORVEL_API int WINAPI TearDownGraph();

// Preview and size.
KORVEL_API int WINAPI RunPreview();
KORVEL_API int WINAPI RunPreviewEx();
KORVEL_API int WINAPI RunGraph();
KORVEL_API int WINAPI StopGraph();
KORVEL_API int WINAPI SetPlayWindow(HWND window);
KORVEL_API int WINAPI SetWindowPosition(const RECT* rect);
// sizes must hold KORVEL_MAX_VIDEO_SIZES entries.
KORVEL_API int WINAPI GetVideoSize(int* count, int* currentIndex, tag_VideoSize* sizes);
KORVEL_API int WINAPI SetVideoSize(const tag_VideoSize* size);
KORVEL_API int WINAPI SetVideoSizeEx(const tag_VideoSize* captureSize, const tag_VideoSize* outputSize);

// Recording (format 1: AVI, anything else: MPEG) and stills.
KORVEL_API int WINAPI RunRecord(const wchar_t* fileName, int format, int mpegQuality, int withAudio);
KORVEL_API int WINAPI StopRecord();
KORVEL_API int WINAPI CaptureBitmap(const wchar_t* fileName, int bitmap, int quality);
KORVEL_API int WINAPI ShowVideoCpaturePropertyPage(HWND owner);
KORVEL_API int WINAPI ShowAudioCapturePropertyPage(HWND owner);

// Playback of a media file; times in whole seconds.
KORVEL_API int WINAPI RenderMediaFile(const wchar_t* fileName);
KORVEL_API int WINAPI RunGraph2();
KORVEL_API int WINAPI PauseGraph2();
KORVEL_API int WINAPI StopGraph2();
KORVEL_API int WINAPI SetPlayWindow2(HWND window);
KORVEL_API int WINAPI SetPlayWindowPosition2(const RECT* rect);
KORVEL_API int WINAPI TearDownGraph2();
KORVEL_API int WINAPI GetStopTime2(int* seconds);
KORVEL_API int WINAPI GetCurTime2(int* seconds);
KORVEL_API int WINAPI SetCurTime2(int currentSeconds, int stopSeconds);
KORVEL_API int WINAPI GetEventCode2(long* eventCode);
