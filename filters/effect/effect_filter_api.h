// The effect filter as its hosts see it: class and control interface.
// Shared by the filter and by the virtual webcam engine that forwards to it.
#pragma once

#include <windows.h>
#include <objbase.h>

// {EFCE3213-5048-45C7-B510-689BE1ECEA44}
static const GUID CLSID_EffectFilter = {
    0xefce3213, 0x5048, 0x45c7, {0xb5, 0x10, 0x68, 0x9b, 0xe1, 0xec, 0xea, 0x44}};
// {B4A56433-93C9-4A5E-A03C-15C45896143B}
static const GUID IID_IEffectControl = {
    0xb4a56433, 0x93c9, 0x4a5e, {0xa0, 0x3c, 0x15, 0xc4, 0x58, 0x96, 0x14, 0x3b}};

// Highest effect code; 0 shows the camera picture unchanged.
constexpr int kEffectCodeCount = 21;

// Method order is the contract: hosts call by vtable slot (3 is the first
// method below). Each call replaces whatever decoration is shown.
struct IEffectControl : public IUnknown {
    // 0 = none, 1..kEffectCodeCount an effect; anything else E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE SetEffectType(int code) = 0;
    // The code last set by SetEffectType, or -1 while a frame file is shown.
    virtual HRESULT STDMETHODCALLTYPE GetEffectType(int* code) = 0;
    // Fills buffer (width * height * 3 bytes, R G B, top row first, rows
    // packed) with the file's first picture scaled to width x height; its
    // transparent parts take the colour (red, green, blue).
    virtual HRESULT STDMETHODCALLTYPE GetFirstFrame(const wchar_t* file, int width, int height,
                                                    BYTE* buffer, int red, int green,
                                                    int blue) = 0;
    // Picture frames laid over the camera picture; the two ints are reserved
    // and must be 0 (hosts pass 0, 0).
    virtual HRESULT STDMETHODCALLTYPE SetStaticFrame(const wchar_t* file, int reserved1,
                                                     int reserved2) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetGifFrame(const wchar_t* file, int reserved1,
                                                  int reserved2) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFlashFrame(const wchar_t* file, int reserved1,
                                                    int reserved2) = 0;
};
