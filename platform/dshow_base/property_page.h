// Base class of a filter's property page: a dialog resource of the module
// shown inside a property frame through IPropertyPage.
//
// A page derives from CBasePropertyPage, names its dialog and title string
// resources, and fills in the hooks: OnConnect gets the object to edit,
// OnReceiveMessage handles the dialog's messages (calling SetDirty on edits),
// OnApplyChanges writes the values back.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "dshow_base/com_ptr.h"
#include "dshow_base/unknown.h"

class CBasePropertyPage : public IPropertyPage, public CUnknown {
public:
    // dialogId, titleId: DIALOG and STRINGTABLE resources of ModuleInstance().
    CBasePropertyPage(LPCTSTR name, LPUNKNOWN outer, int dialogId, int titleId);
    ~CBasePropertyPage() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT cmdShow) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDir) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;

    // Hooks for the derived page.
    virtual HRESULT OnConnect(IUnknown* object) { (void)object; return S_OK; }
    virtual HRESULT OnDisconnect() { return S_OK; }
    virtual HRESULT OnActivate() { return S_OK; }
    virtual HRESULT OnDeactivate() { return S_OK; }
    virtual HRESULT OnApplyChanges() { return S_OK; }
    // Dialog procedure body: return TRUE when the message was handled.
    virtual INT_PTR OnReceiveMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Marks the page changed and tells the frame, which enables Apply.
    void SetDirty();

    BOOL m_bDirty = FALSE;
    ComPtr<IPropertyPageSite> m_pPageSite;
    HWND m_Dlg = nullptr;   // dialog window, known from WM_INITDIALOG on
    HWND m_hwnd = nullptr;  // the page window between Activate and Deactivate
    const int m_DialogId;
    const int m_TitleId;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    bool objectSet_ = false;
};
