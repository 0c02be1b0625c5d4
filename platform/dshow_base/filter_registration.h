// A filter's entry in a filter category, through IFilterMapper2.
#pragma once

#include <windows.h>

#include "dshow_base/setup.h"

// Registers clsid under `name` in `category` (null: legacy filters) as instance
// `instance` (null: the CLSID string); the pins come from setup (may be null).
HRESULT RegisterFilterEntry(REFCLSID clsid, LPCWSTR name, const CLSID* category, LPCWSTR instance,
                            const AMOVIESETUP_FILTER* setup, DWORD merit);
// Removes the entry; an entry that is not there counts as removed.
HRESULT UnregisterFilterEntry(REFCLSID clsid, const CLSID* category, LPCWSTR instance);
