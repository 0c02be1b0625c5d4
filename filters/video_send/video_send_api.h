// The video send filter as its hosts see it: its class. It takes no calls;
// whatever reaches its input pin goes to the virtual webcam device.
#pragma once

#include <windows.h>
#include <objbase.h>

// {65780512-FE13-12CE-A8ED-00AA002FEAB5}
static const GUID CLSID_VideoSendFilter = {
    0x65780512, 0xfe13, 0x12ce, {0xa8, 0xed, 0x00, 0xaa, 0x00, 0x2f, 0xea, 0xb5}};
