// Registration of the module's own template table (g_Templates).
#include "dshow_base/register.h"

#include <string>

#include "dshow_base/com_apartment.h"
#include "dshow_base/factory.h"
#include "dshow_base/module.h"

STDAPI AMovieDllRegisterServer2(BOOL bRegister) {
    const std::wstring path = ModulePath();
    if (path.empty()) {
        const DWORD err = GetLastError();
        return err ? HRESULT_FROM_WIN32(err) : E_FAIL;
    }
    ComApartment com;  // one apartment for all the mapper calls below
    for (int i = 0; i < g_cTemplates; ++i) {
        const HRESULT hr = bRegister ? RegisterTemplate(g_Templates[i], path.c_str())
                                     : UnregisterTemplate(g_Templates[i], path.c_str());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}
