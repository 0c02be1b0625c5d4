// Registration of a module's classes and filters.
//
// Class keys: HKCR\CLSID\{clsid} (default = template name) with InprocServer32
// (default = full module path, ThreadingModel = Both). Filters: through
// IFilterMapper2::RegisterFilter (REGFILTER2 version 1) into the template's
// category. Registering twice leaves the same state as once. Every function
// initialises COM for the calling thread if needed.
#pragma once

#include <windows.h>

#include <string>

#include "dshow_base/setup.h"

class CFactoryTemplate;

// Registers (TRUE) or unregisters (FALSE) every template of g_Templates.
// Stops at the first failure and returns it.
STDAPI AMovieDllRegisterServer2(BOOL bRegister);

// One template, served by the module at modulePath.
HRESULT RegisterTemplate(const CFactoryTemplate& tmpl, LPCWSTR modulePath);
HRESULT UnregisterTemplate(const CFactoryTemplate& tmpl, LPCWSTR modulePath);

// Registers one more instance of a device class: the system device enumerator
// lists it in `category` under friendlyName, and binding it creates `clsid`.
// Several instances of one CLSID differ by instanceName. setup supplies the
// pins (its name, category and instance fields are ignored); may be null.
HRESULT RegisterDeviceInstance(REFCLSID category, REFCLSID clsid, LPCWSTR instanceName,
                               LPCWSTR friendlyName, const AMOVIESETUP_FILTER* setup, DWORD merit);
HRESULT UnregisterDeviceInstance(REFCLSID category, REFCLSID clsid, LPCWSTR instanceName);

// Writes an instance like RegisterDeviceInstance, then removes its
// FriendlyName value, leaving CLSID and FilterData: a device entry whose
// property bag lacks "FriendlyName", as clients must tolerate.
HRESULT RegisterDeviceInstanceWithoutFriendlyName(REFCLSID category, REFCLSID clsid,
                                                  LPCWSTR instanceName,
                                                  const AMOVIESETUP_FILTER* setup, DWORD merit);

// HKCR-relative path of an instance key, CLSID\{category}\Instance\<instance>
// (instance null: the CLSID string), where the property bag's values live.
std::wstring DeviceInstanceKeyPath(REFCLSID category, REFCLSID clsid, LPCWSTR instanceName);
