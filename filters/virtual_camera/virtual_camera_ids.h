// The virtual webcam device as other programs find it: its class and the
// friendly name under which it is listed among the video capture devices.
#pragma once

#include <windows.h>
#include <objbase.h>

// {9ECFE5F9-5EBD-4366-BDEC-FE79B28268EE}
static const GUID CLSID_VirtualCamera = {
    0x9ecfe5f9, 0x5ebd, 0x4366, {0xbd, 0xec, 0xfe, 0x79, 0xb2, 0x82, 0x68, 0xee}};

inline constexpr wchar_t kVirtualCameraName[] = L"Talvoro Pelloquin";
