// Class identifiers of the test devices and the camera's property page. Device i of a kind is its own class, so that binding a device
// moniker creates a device that knows its index without any extra data:
// the family's GUIDs differ only in the last byte, which is the index.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <strmif.h>

#include "test_devices/device_config.h"

#define TEST_CAMERA_GUID(i) \
    {0x48d933bf, 0xe87a, 0x4afa, {0x80, 0x99, 0xea, 0x3b, 0x1a, 0x88, 0x20, (i)}}
#define TEST_MICROPHONE_GUID(i) \
    {0x25e3514a, 0x9092, 0x4756, {0xa1, 0x36, 0xdf, 0x5b, 0x02, 0x25, 0xad, (i)}}
#define TEST_DEVICE_FAMILY(G)                                                       \
    {G(0), G(1), G(2), G(3), G(4), G(5), G(6), G(7), G(8), G(9), G(10), G(11), G(12), \
     G(13), G(14), G(15)}

namespace test_devices {

inline constexpr CLSID kCameraClsids[kMaxDevicesPerKind] = TEST_DEVICE_FAMILY(TEST_CAMERA_GUID);
inline constexpr CLSID kMicrophoneClsids[kMaxDevicesPerKind] =
    TEST_DEVICE_FAMILY(TEST_MICROPHONE_GUID);

// {903373AC-A92B-4F08-A704-85007D9C36FD}
inline constexpr CLSID CLSID_TestCameraPropertyPage = {
    0x903373ac, 0xa92b, 0x4f08, {0xa7, 0x04, 0x85, 0x00, 0x7d, 0x9c, 0x36, 0xfd}};

}  // namespace test_devices
