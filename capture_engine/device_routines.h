// Capture devices of a category as the system device enumerator lists them:
// their friendly names for a caller's list, and the filter of the n-th one.
// Shared by the capture engine and the virtual webcam engine.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/com_ptr.h"

namespace device_routines {

// Writes "Name\n" for every device with a friendly name, then one U+0000, into
// `names`, never more than `capacity` units: a name that would not fit with
// its line feed and the terminator ends the list there, so the listed names
// keep the indices SelectDevice gives them. *count gets the number of names.
// An empty category, or one the system cannot list, returns S_FALSE and
// leaves `names` untouched; failure to create the system device enumerator
// returns its error, also with `names` untouched.
HRESULT EnumerateDeviceNames(REFCLSID category, unsigned short* count, wchar_t* names, size_t capacity);

// Binds the `index`-th device of the category (counting every device whose
// property bag opens, named or not) into *filter. An index past the end or an
// empty category is not an error: S_OK with *filter empty.
HRESULT SelectDevice(REFCLSID category, int index, ComPtr<IBaseFilter>* filter);

// SelectDevice into an empty slot and add the device to the graph as `name`;
// a filled slot is kept. No device at the index leaves the slot empty and is
// not an error here: the first connection that needs the filter fails instead.
HRESULT AddSelectedDevice(IFilterGraph* graph, REFCLSID category, int index, LPCWSTR name,
                          ComPtr<IBaseFilter>* slot);

}  // namespace device_routines
