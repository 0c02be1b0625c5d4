// The snapshot filter as its hosts see it: class, interface and request record.
// Shared by the filter and by the engines that ask it for pictures.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstddef>
#include <cstdint>

// {CCEE5929-126A-4AF0-8535-8FA02225C4A6}
static const GUID CLSID_SnapshotFilter = {
    0xccee5929, 0x126a, 0x4af0, {0x85, 0x35, 0x8f, 0xa0, 0x22, 0x25, 0xc4, 0xa6}};
// {8CDD8EAE-ECCF-49E2-9E4F-869CE96C42C6}
static const GUID IID_ISnapshotFilter = {
    0x8cdd8eae, 0xeccf, 0x49e2, {0x9e, 0x4f, 0x86, 0x9c, 0xe9, 0x6c, 0x42, 0xc6}};

enum SnapshotFormat : uint32_t {
    kSnapshotBitmap = 1,  // 24-bit BMP
    kSnapshotJpeg = 2,
};

// The record a host fills to ask for the current frame; zero-filled before use.
#pragma pack(push, 4)
struct SnapshotRequest {
    uint32_t size;     // always sizeof(SnapshotRequest), 272
    uint32_t format;   // SnapshotFormat
    char path[260];    // ANSI code page, NUL-terminated
    int32_t quality;   // JPEG quality 0..100
};
#pragma pack(pop)
static_assert(sizeof(SnapshotRequest) == 272, "hosts and filter exchange exactly 272 bytes");
static_assert(offsetof(SnapshotRequest, quality) == 268, "quality follows the 260-byte path");

// Method order is the contract: hosts call the second method (vtable slot 4).
struct ISnapshotFilter : public IUnknown {
    // Kind of request the filter understands (1: a SnapshotRequest record).
    virtual HRESULT STDMETHODCALLTYPE GetRequestKind(int* kind) = 0;
    // kind 1: request points to a SnapshotRequest. Writes the latest frame.
    virtual HRESULT STDMETHODCALLTYPE TakeSnapshot(int kind, const SnapshotRequest* request) = 0;
};
