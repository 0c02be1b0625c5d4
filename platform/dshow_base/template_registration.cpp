#include "dshow_base/class_key.h"
#include "dshow_base/com_ptr.h"
#include "dshow_base/factory.h"
#include "dshow_base/filter_registration.h"
#include "dshow_base/register.h"

namespace {
// A stand-in for a system filter keeps its hands off a class another module serves.
bool LeaveAlone(const CFactoryTemplate& tmpl, LPCWSTR modulePath) {
    const AMOVIESETUP_FILTER* setup = tmpl.m_pAMovieSetup_Filter;
    return setup && (setup->flags & AMSETUP_ONLY_IF_NOT_REGISTERED) &&
           ServedByOtherModule(*tmpl.m_ClsID, modulePath);
}
}  // namespace

HRESULT RegisterTemplate(const CFactoryTemplate& tmpl, LPCWSTR modulePath) {
    if (LeaveAlone(tmpl, modulePath)) return S_FALSE;
    RETURN_IF_FAILED(WriteClassKey(*tmpl.m_ClsID, tmpl.m_Name, modulePath));
    const AMOVIESETUP_FILTER* setup = tmpl.m_pAMovieSetup_Filter;
    if (!setup) return S_OK;
    const CLSID& clsid = setup->clsID ? *setup->clsID : *tmpl.m_ClsID;
    return RegisterFilterEntry(clsid, setup->strName ? setup->strName : tmpl.m_Name, setup->category,
                               setup->instanceName, setup, setup->dwMerit);
}

HRESULT UnregisterTemplate(const CFactoryTemplate& tmpl, LPCWSTR modulePath) {
    if (LeaveAlone(tmpl, modulePath)) return S_FALSE;
    const AMOVIESETUP_FILTER* setup = tmpl.m_pAMovieSetup_Filter;
    if (setup) {
        const CLSID& clsid = setup->clsID ? *setup->clsID : *tmpl.m_ClsID;
        RETURN_IF_FAILED(UnregisterFilterEntry(clsid, setup->category, setup->instanceName));
    }
    return DeleteClassKey(*tmpl.m_ClsID);
}
