// The MPEG recording filters as their hosts see them: classes, the encoder's
// interfaces and the settings block (layout in encoder_settings.h). Shared by
// the filters and by the capture engine that builds the recording graph.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "filters/mpeg/encoder_settings.h"

// {2BE4D160-6F2E-4B3A-B0BD-E880917238DC}
static const GUID CLSID_MpegVideoEncoder = {
    0x2be4d160, 0x6f2e, 0x4b3a, {0xb0, 0xbd, 0xe8, 0x80, 0x91, 0x72, 0x38, 0xdc}};
// {2BE4D170-6F2E-4B3A-B0BD-E880917238DC}
static const GUID CLSID_MpegAudioEncoder = {
    0x2be4d170, 0x6f2e, 0x4b3a, {0xb0, 0xbd, 0xe8, 0x80, 0x91, 0x72, 0x38, 0xdc}};
// {2BE4D180-6F2E-4B3A-B0BD-E880917238DC}
static const GUID CLSID_MpegMultiplexer = {
    0x2be4d180, 0x6f2e, 0x4b3a, {0xb0, 0xbd, 0xe8, 0x80, 0x91, 0x72, 0x38, 0xdc}};
// {36A5F770-FE4C-11CE-A8ED-00AA002FEAB5}: the "dump" file sink.
static const GUID CLSID_DumpFileSink = {
    0x36a5f770, 0xfe4c, 0x11ce, {0xa8, 0xed, 0x00, 0xaa, 0x00, 0x2f, 0xea, 0xb5}};

// {2BE4D151-6F2E-4B3A-B0BD-E880917238DC}
static const GUID IID_IEncoderSettings = {
    0x2be4d151, 0x6f2e, 0x4b3a, {0xb0, 0xbd, 0xe8, 0x80, 0x91, 0x72, 0x38, 0xdc}};
// {2BE4D154-6F2E-4B3A-B0BD-E880917238DC}
static const GUID IID_IEncoderParams = {
    0x2be4d154, 0x6f2e, 0x4b3a, {0xb0, 0xbd, 0xe8, 0x80, 0x91, 0x72, 0x38, 0xdc}};

// Method order is the contract (the comment gives the vtable slot). Settings
// take effect when the encoder next starts streaming (stopped -> paused).
struct IEncoderSettings : public IUnknown {
    // 3: bytes of the settings block (864).
    virtual HRESULT STDMETHODCALLTYPE GetSettingsSize(DWORD* bytes) = 0;
    // 4, 5: 0 low, 1 normal, 2 high.
    virtual HRESULT STDMETHODCALLTYPE GetQuality(int* quality) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetQuality(int quality) = 0;
    // 6, 7: pictures per group (one I picture, then P pictures), 1..1023.
    virtual HRESULT STDMETHODCALLTYPE GetGopLength(int* pictures) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetGopLength(int pictures) = 0;
    // 8: closed groups, I/P anchor distance, B pictures between anchors.
    // The encoder codes 1, 1, 0 only; other values are E_INVALIDARG.
    virtual HRESULT STDMETHODCALLTYPE SetGroupStructure(int closedGroups, int anchorDistance, int bPictures) = 0;
    // 9
    virtual HRESULT STDMETHODCALLTYPE GetGroupStructure(int* closedGroups, int* anchorDistance, int* bPictures) = 0;
    // 10: the picture size of the connected input; VFW_E_NOT_CONNECTED before.
    virtual HRESULT STDMETHODCALLTYPE GetPictureSize(int* width, int* height) = 0;
    // 11: the bit-rate ceiling the set quality gives the connected input's
    // size and rate (bits/s); VFW_E_NOT_CONNECTED before.
    virtual HRESULT STDMETHODCALLTYPE GetBitRate(int* bitsPerSecond) = 0;
    // 12: fills the caller's kSettingsBlockSize bytes.
    virtual HRESULT STDMETHODCALLTYPE GetSettings(BYTE* block) = 0;
    // 13: takes a block from GetSettings back, perhaps with other quality
    // bits; E_INVALIDARG (nothing changes) for a block that is not one.
    virtual HRESULT STDMETHODCALLTYPE SetSettings(const BYTE* block) = 0;
};

// Parameters by number (slot 3 Get, slot 4 Set).
enum EncoderParam : int {
    kEncoderParamQuality = 1,       // as SetQuality
    kEncoderParamGopLength = 2,     // as SetGopLength
    kEncoderParamFillDropped = 96,  // 1: repeat pictures where capture lost frames; 0: code what arrives
};

struct IEncoderParams : public IUnknown {
    // 3
    virtual HRESULT STDMETHODCALLTYPE GetParam(int param, int* value) = 0;
    // 4: E_INVALIDARG for an unknown parameter or a value out of range.
    virtual HRESULT STDMETHODCALLTYPE SetParam(int param, int value) = 0;
};
