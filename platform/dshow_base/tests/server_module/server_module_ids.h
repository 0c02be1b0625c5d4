// Identities shared by the test COM server (server_module.ax) and the tests
// that load it: CLSIDs, test interfaces and resource IDs.
#pragma once

#include <windows.h>
#include <objbase.h>

#define IDD_TEST_PAGE 100
#define IDD_TEST_PAGE_CLASSIC 101
#define IDS_TEST_PAGE_TITLE 102
#define IDC_VALUE 1001
#define IDC_SECOND 1002
#define IDC_CORNER 1003

#ifndef RC_INVOKED

// A trivial object, registered as a legacy filter.
inline constexpr CLSID CLSID_TestThing = {0x72ef86c5, 0x59b6, 0x4221, {0x99, 0x54, 0xef, 0x54, 0xc3, 0x05, 0x83, 0x43}};
// Registered as a video capture device.
inline constexpr CLSID CLSID_TestCamera = {0x98a9a489, 0xdb11, 0x4290, {0xa8, 0xf6, 0x45, 0xc3, 0x47, 0x3f, 0x9a, 0xea}};
// A stand-in that registers only where no other module serves its CLSID.
inline constexpr CLSID CLSID_TestStandIn = {0x8978a1dc, 0x47cd, 0x43a2, {0xad, 0x6f, 0x95, 0x74, 0x17, 0x5b, 0xbc, 0xbb}};
// Its creation function reports failure after constructing the object.
inline constexpr CLSID CLSID_TestRefusing = {0x8f6538aa, 0xb287, 0x47a9, {0x8a, 0xd5, 0x20, 0xab, 0x35, 0xe4, 0x7d, 0x09}};
// Property pages over a DIALOGEX and a classic DIALOG template.
inline constexpr CLSID CLSID_TestPage = {0xfaf45698, 0xcd2d, 0x4ae6, {0x86, 0xe3, 0xbc, 0xcd, 0xb2, 0x7b, 0x05, 0xc0}};
inline constexpr CLSID CLSID_TestPageClassic = {0x619cb4eb, 0xdb59, 0x4f4b, {0x80, 0x70, 0x50, 0xf4, 0xc3, 0x5c, 0x72, 0x20}};

// Media type of the test filter's pin: unique, so matching finds only it.
inline constexpr GUID MEDIATYPE_TestMajor = {0x107acef6, 0xbe36, 0x4bfc, {0x96, 0x7b, 0x94, 0x06, 0x03, 0xb8, 0x3d, 0xf1}};
inline constexpr GUID MEDIASUBTYPE_TestMinor = {0xedf00ad0, 0xe8fd, 0x42f2, {0xaf, 0x51, 0x35, 0x94, 0xfd, 0x61, 0x97, 0x4a}};

inline constexpr IID IID_ITestThing = {0x767852d1, 0x49ef, 0x455c, {0x98, 0xa5, 0xf6, 0xcb, 0xa0, 0xa6, 0x57, 0xf8}};
inline constexpr IID IID_ITestPageProbe = {0x05419f0f, 0xf7cc, 0x44a0, {0x98, 0xfa, 0x9c, 0xfa, 0xd8, 0x00, 0x0a, 0x7a}};

inline constexpr WCHAR kTestThingName[] = L"Test Thing";
inline constexpr WCHAR kTestCameraName[] = L"Test Camera";
inline constexpr WCHAR kTestCameraInstance[] = L"Test Camera Instance";
inline constexpr WCHAR kTestStandInName[] = L"Test Stand-in";

struct PageCounts {
    LONG connects, disconnects, activates, deactivates, applies, destroys;
};

struct ITestThing : IUnknown {
    virtual LONG STDMETHODCALLTYPE Value() = 0;
    virtual void STDMETHODCALLTYPE SetValue(LONG value) = 0;
    // How often the module's init routine ran for this class with TRUE.
    virtual LONG STDMETHODCALLTYPE LoadInits() = 0;
    // Hook calls summed over every test page of the module, and pages alive.
    virtual void STDMETHODCALLTYPE PageTotals(PageCounts* counts) = 0;
    virtual LONG STDMETHODCALLTYPE LivePages() = 0;
};

struct ITestPageProbe : IUnknown {
    virtual void STDMETHODCALLTYPE Counts(PageCounts* counts) = 0;
    virtual void STDMETHODCALLTYPE MarkDirty() = 0;
};

#endif  // RC_INVOKED
