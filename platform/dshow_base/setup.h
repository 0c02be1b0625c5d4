// Filter setup data: what AMovieDllRegisterServer2 hands to IFilterMapper2.
//
// The first five fields of AMOVIESETUP_FILTER are the classic ones, so the
// familiar brace initialisers work unchanged; the trailing extensions default
// to the classic behaviour (legacy filter category, instance named by the
// CLSID, unconditional registration).
#pragma once

#include <windows.h>
#include <strmif.h>

// Same layout and meaning as REGPINTYPES: a major type and a subtype.
typedef REGPINTYPES AMOVIESETUP_MEDIATYPE;

// Same fields as REGFILTERPINS, but the pin name is const so string literals
// initialise it without a cast.
struct AMOVIESETUP_PIN {
    const WCHAR* strName;
    BOOL bRendered;
    BOOL bOutput;
    BOOL bZero;
    BOOL bMany;
    const CLSID* clsConnectsToFilter;
    const WCHAR* strConnectsToPin;
    UINT nMediaTypes;
    const AMOVIESETUP_MEDIATYPE* lpMediaType;
};

// Flags for AMOVIESETUP_FILTER::flags.
enum : DWORD {
    // Stand-in for a system filter: register only where no other module
    // serves this CLSID yet, and on unregistration remove only what points to
    // this module.
    AMSETUP_ONLY_IF_NOT_REGISTERED = 0x1,
};

struct AMOVIESETUP_FILTER {
    const CLSID* clsID;
    const WCHAR* strName;  // friendly name shown by the device enumerator
    DWORD dwMerit;
    UINT nPins;
    const AMOVIESETUP_PIN* lpPin;

    // Filter category to register into; null means CLSID_LegacyAmFilterCategory.
    // Capture devices use CLSID_VideoInputDeviceCategory / CLSID_AudioInputDeviceCategory.
    const CLSID* category = nullptr;
    // Instance key name inside the category; null means the CLSID string.
    const WCHAR* instanceName = nullptr;
    DWORD flags = 0;  // AMSETUP_*
};
