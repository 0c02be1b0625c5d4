// HKCR\CLSID\{clsid}: the COM class registration of an in-process server.
#pragma once

#include <windows.h>

#include <string>

// Writes the default value `name`, InprocServer32 = modulePath, ThreadingModel = Both.
HRESULT WriteClassKey(REFCLSID clsid, LPCWSTR name, LPCWSTR modulePath);
HRESULT DeleteClassKey(REFCLSID clsid);
// InprocServer32's default value, or empty when the class has none.
std::wstring InprocServerOf(REFCLSID clsid);
// True when another module serves clsid in process.
bool ServedByOtherModule(REFCLSID clsid, LPCWSTR modulePath);
