// Entry points every filter module exports (see filter_module.def).
#include <windows.h>

#include "dshow_base/factory.h"
#include "dshow_base/module.h"

namespace {
void RunInitRoutines(BOOL loading) {
    for (int i = 0; i < g_cTemplates; ++i) {
        const CFactoryTemplate& t = g_Templates[i];
        if (t.m_lpfnInit) t.m_lpfnInit(loading, t.m_ClsID);
    }
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        SetModuleInstance(instance);
        RunInitRoutines(TRUE);
        break;
    case DLL_PROCESS_DETACH:
        RunInitRoutines(FALSE);
        break;
    default:
        break;
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (int i = 0; i < g_cTemplates; ++i) {
        if (g_Templates[i].IsClassID(clsid)) return CreateClassFactory(&g_Templates[i], riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return (CBaseObject::ObjectsActive() == 0 && ModuleLockCount() == 0) ? S_OK : S_FALSE;
}
