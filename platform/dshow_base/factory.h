// Factory templates: one table per module feeds both the class factory
// (DllGetClassObject) and registration (AMovieDllRegisterServer2).
//
// A filter module defines, at global scope,
//     CFactoryTemplate g_Templates[] = { {L"My Filter", &CLSID_MyFilter,
//                                         CMyFilter::CreateInstance, nullptr, &sudMyFilter}, };
//     int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);
// exports DllGetClassObject, DllCanUnloadNow, DllRegisterServer and
// DllUnregisterServer undecorated (filter_module.def), and defines
//     STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }
//     STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
// The layer provides DllMain: a module does not define its own but uses
// m_lpfnInit routines for per-class load/unload work.
#pragma once

#include <windows.h>

#include "dshow_base/setup.h"
#include "dshow_base/unknown.h"

// Creates an object; on failure returns null or sets *phr (the object, if
// any, is then deleted by the caller).
typedef CUnknown* (CALLBACK* LPFNNewCOMObject)(LPUNKNOWN outer, HRESULT* phr);
// Called with TRUE when the module loads and FALSE when it unloads.
typedef void (CALLBACK* LPFNInitRoutine)(BOOL loading, const CLSID* clsid);

class CFactoryTemplate {
public:
    LPCWSTR m_Name;  // class key's default value
    const CLSID* m_ClsID;
    LPFNNewCOMObject m_lpfnNew;
    LPFNInitRoutine m_lpfnInit;                     // may be null
    const AMOVIESETUP_FILTER* m_pAMovieSetup_Filter;  // null: a COM class only (e.g. a property page)

    BOOL IsClassID(REFCLSID clsid) const { return IsEqualCLSID(*m_ClsID, clsid); }
    // Runs m_lpfnNew; returns null with *phr set on failure.
    CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr) const;
};

// Defined by each module.
extern CFactoryTemplate g_Templates[];
extern int g_cTemplates;

// Hands out an IClassFactory for one template (what DllGetClassObject returns).
HRESULT CreateClassFactory(const CFactoryTemplate* tmpl, REFIID riid, void** ppv);

// Outstanding IClassFactory::LockServer(TRUE) calls in this module.
LONG ModuleLockCount();
