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
// method below). Each Set call replaces whatever decoration is shown (effect
// or frame file); a refused call leaves it as it was. Calls are safe while
// the graph runs: files are read before the switch, which takes effect with
// the next frame.
//
// Frame files: BMP (8, 24 or 32 bits), GIF (every frame with its delay,
// disposal and transparency, looping) and uncompressed or zlib-compressed
// Flash movies made of bitmaps; the kind is read from the file's content, so
// the three frame calls differ only in name. The picture is stretched to the
// video size and laid over it. Transparent parts show the camera: a 32-bit
// bitmap by its alpha channel (if not all zero), any other bitmap where its
// pixels are exactly magenta (255, 0, 255), a GIF by its transparent index.
// Files above 64 MB, or decoding to more than 40 MB of pictures, are refused;
// a decoration holds at most 64 MB.
struct IEffectControl : public IUnknown {
    // 0 = none (frames pass unchanged), 1..kEffectCodeCount an effect;
    // anything else E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE SetEffectType(int code) = 0;
    // The effect shown, 0 when none, or -1 while a frame file is shown.
    virtual HRESULT STDMETHODCALLTYPE GetEffectType(int* code) = 0;
    // Fills buffer (width * height * 3 bytes, R G B, top row first, rows
    // packed) with the file's first picture scaled to width x height (each
    // 1..4096); its transparent parts take the colour (red, green, blue), each
    // 0..255 (hosts pass 255, 255, 255: white). Needs no graph. On failure
    // nothing is written.
    virtual HRESULT STDMETHODCALLTYPE GetFirstFrame(const wchar_t* file, int width, int height,
                                                    BYTE* buffer, int red, int green,
                                                    int blue) = 0;
    // speed: percent of the file's own timing, 1..1000, 0 meaning 100.
    // plays: how often an animation runs before holding its last picture,
    // 0 meaning its own looping (for ever, or once for a GIF that does not
    // loop). Still pictures ignore both. Hosts pass 0, 0. Out of range:
    // E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE SetStaticFrame(const wchar_t* file, int speed,
                                                     int plays) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetGifFrame(const wchar_t* file, int speed, int plays) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFlashFrame(const wchar_t* file, int speed, int plays) = 0;
};
