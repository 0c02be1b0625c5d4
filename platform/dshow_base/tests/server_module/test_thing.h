// The test server's objects: a trivial aggregatable COM object and its property page.
#pragma once

#include "dshow_base/factory.h"
#include "dshow_base/property_page.h"
#include "server_module_ids.h"

class CTestThing : public CUnknown, public ITestThing, public ISpecifyPropertyPages {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    // Builds an object, then reports failure: the factory must delete it.
    static CUnknown* WINAPI CreateRefusing(LPUNKNOWN outer, HRESULT* phr);
    static void CALLBACK InitRoutine(BOOL loading, const CLSID* clsid);

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    LONG STDMETHODCALLTYPE Value() override { return value_; }
    void STDMETHODCALLTYPE SetValue(LONG value) override { value_ = value; }
    LONG STDMETHODCALLTYPE LoadInits() override;
    void STDMETHODCALLTYPE PageTotals(PageCounts* counts) override;
    LONG STDMETHODCALLTYPE LivePages() override;

    STDMETHODIMP GetPages(CAUUID* pages) override;

private:
    explicit CTestThing(LPUNKNOWN outer) : CUnknown(L"Test thing", outer) {}
    LONG value_ = 0;
};

class CTestPage : public CBasePropertyPage, public ITestPageProbe {
public:
    static CUnknown* WINAPI CreateInstance(LPUNKNOWN outer, HRESULT* phr);
    static CUnknown* WINAPI CreateClassic(LPUNKNOWN outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    void STDMETHODCALLTYPE Counts(PageCounts* counts) override { *counts = counts_; }
    void STDMETHODCALLTYPE MarkDirty() override { SetDirty(); }

    HRESULT OnConnect(IUnknown* object) override;
    HRESULT OnDisconnect() override;
    HRESULT OnActivate() override;
    HRESULT OnDeactivate() override;
    HRESULT OnApplyChanges() override;
    INT_PTR OnReceiveMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    CTestPage(LPUNKNOWN outer, int dialogId);
    ~CTestPage() override;
    // Counts a hook call on this page and in the module's totals.
    static void Count(LONG PageCounts::*field, PageCounts* mine);

    ComPtr<ITestThing> thing_;
    LONG pending_ = 0;         // edited value, kept while the dialog is gone
    bool filling_ = false;     // the page itself is writing the controls
    PageCounts counts_ = {};
};
