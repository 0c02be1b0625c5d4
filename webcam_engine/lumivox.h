// Lumivox, the virtual webcam engine: one graph from a real camera through
// the effect filter to the video send filter, behind eleven flat exports.
// Every export returns 1 on success and 0 on failure, and is called from the
// one thread that called Initialize_Lumivox.
#pragma once

#include <windows.h>

#include "capture_engine/video_size_record.h"

#ifdef LUMIVOX_BUILDING
#define LUMIVOX_API extern "C"  // exported by Lumivox.def under plain names
#else
#define LUMIVOX_API extern "C" __declspec(dllimport)
#endif

// Room the callers give the device-name list, in UTF-16 units; the engine
// writes no more than this, terminator included.
#define LUMIVOX_DEVICE_LIST_UNITS 512
// Most sizes GetVideoSize writes into the caller's array.
#define LUMIVOX_MAX_VIDEO_SIZES 20

LUMIVOX_API int WINAPI Initialize_Lumivox();
// The name is spelled so: it is what callers import.
LUMIVOX_API int WINAPI Unintialize_Lumivox();
// names: "Name1\nName2\n\0" in at most LUMIVOX_DEVICE_LIST_UNITS units.
LUMIVOX_API int WINAPI GetVideoCaptureDev(unsigned short* count, wchar_t* names);
LUMIVOX_API int WINAPI RenderDevice(int index);
// The RGB24 sizes of the camera; sizes must hold LUMIVOX_MAX_VIDEO_SIZES entries.
LUMIVOX_API int WINAPI GetVideoSize(int* count, int* currentIndex, tag_VideoSize* sizes);
LUMIVOX_API int WINAPI SetVideoSize(const tag_VideoSize* size);

// Passed on to the effect filter unchanged.
LUMIVOX_API int WINAPI SetEffectType(int code);
LUMIVOX_API int WINAPI SetStaticFrame(const wchar_t* fileName, int value1, int value2);
LUMIVOX_API int WINAPI SetGifFrame(const wchar_t* fileName, int value1, int value2);
LUMIVOX_API int WINAPI SetFlashFrame(const wchar_t* fileName, int value1, int value2);
LUMIVOX_API int WINAPI GetFirstFrame(const wchar_t* fileName, int width, int height, BYTE* buffer, int red,
                                     int green, int blue);
