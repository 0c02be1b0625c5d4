// Taking a COM class over from the in-process server that registered it,
// and giving it back exactly as it was.
//
// Taking over copies every value of the class's InprocServer32 key (with its
// type) into a key of ours, then points InprocServer32 at our module. Giving
// back puts the saved values back in place of ours and forgets the copy.
// Taking over twice keeps the first copy, so the original is never lost.
#pragma once

#include <windows.h>

namespace system_filters {

// S_FALSE when there is nothing to take: the class is not registered, or
// our module serves it already through its own registration.
HRESULT TakeOverClass(REFCLSID clsid, LPCWSTR modulePath);
// S_FALSE when the class was not taken over.
HRESULT GiveBackClass(REFCLSID clsid);
bool IsTakenOver(REFCLSID clsid);

}  // namespace system_filters
