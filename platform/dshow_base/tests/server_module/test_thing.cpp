#include "test_thing.h"

#include <new>

namespace {
volatile LONG g_thingLoadInits = 0;
PageCounts g_pageTotals = {};  // pages run on the thread that owns their window
volatile LONG g_livePages = 0;
}

CUnknown* WINAPI CTestThing::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    CUnknown* thing = new (std::nothrow) CTestThing(outer);
    if (!thing) *phr = E_OUTOFMEMORY;
    return thing;
}

CUnknown* WINAPI CTestThing::CreateRefusing(LPUNKNOWN outer, HRESULT* phr) {
    *phr = E_ACCESSDENIED;
    return new (std::nothrow) CTestThing(outer);
}

void CALLBACK CTestThing::InitRoutine(BOOL loading, const CLSID* clsid) {
    if (loading && IsEqualCLSID(*clsid, CLSID_TestThing)) InterlockedIncrement(&g_thingLoadInits);
}

LONG STDMETHODCALLTYPE CTestThing::LoadInits() { return g_thingLoadInits; }
void STDMETHODCALLTYPE CTestThing::PageTotals(PageCounts* counts) { *counts = g_pageTotals; }
LONG STDMETHODCALLTYPE CTestThing::LivePages() { return g_livePages; }

STDMETHODIMP CTestThing::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (ppv && IsEqualIID(riid, IID_ITestThing)) return GetInterface(static_cast<ITestThing*>(this), ppv);
    if (ppv && IsEqualIID(riid, IID_ISpecifyPropertyPages)) {
        return GetInterface(static_cast<ISpecifyPropertyPages*>(this), ppv);
    }
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CTestThing::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->cElems = 1;
    pages->pElems[0] = CLSID_TestPage;
    return S_OK;
}

CUnknown* WINAPI CTestPage::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
    CUnknown* page = new (std::nothrow) CTestPage(outer, IDD_TEST_PAGE);
    if (!page) *phr = E_OUTOFMEMORY;
    return page;
}

CUnknown* WINAPI CTestPage::CreateClassic(LPUNKNOWN outer, HRESULT* phr) {
    CUnknown* page = new (std::nothrow) CTestPage(outer, IDD_TEST_PAGE_CLASSIC);
    if (!page) *phr = E_OUTOFMEMORY;
    return page;
}

CTestPage::CTestPage(LPUNKNOWN outer, int dialogId)
    : CBasePropertyPage(L"Test page", outer, dialogId, IDS_TEST_PAGE_TITLE) {
    InterlockedIncrement(&g_livePages);
}

CTestPage::~CTestPage() { InterlockedDecrement(&g_livePages); }

void CTestPage::Count(LONG PageCounts::*field, PageCounts* mine) {
    ++(mine->*field);
    ++(g_pageTotals.*field);
}

STDMETHODIMP CTestPage::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (ppv && IsEqualIID(riid, IID_ITestPageProbe)) return GetInterface(static_cast<ITestPageProbe*>(this), ppv);
    return CBasePropertyPage::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CTestPage::OnConnect(IUnknown* object) {
    Count(&PageCounts::connects, &counts_);
    RETURN_IF_FAILED(object->QueryInterface(IID_ITestThing, thing_.PutVoid()));
    pending_ = thing_->Value();
    return S_OK;
}

HRESULT CTestPage::OnDisconnect() {
    Count(&PageCounts::disconnects, &counts_);
    thing_.Reset();
    return S_OK;
}

HRESULT CTestPage::OnActivate() {
    Count(&PageCounts::activates, &counts_);
    filling_ = true;
    SetDlgItemInt(m_Dlg, IDC_VALUE, static_cast<UINT>(pending_), TRUE);
    filling_ = false;
    return S_OK;
}

HRESULT CTestPage::OnDeactivate() {
    Count(&PageCounts::deactivates, &counts_);
    return S_OK;
}

HRESULT CTestPage::OnApplyChanges() {
    Count(&PageCounts::applies, &counts_);
    if (!thing_) return E_UNEXPECTED;
    thing_->SetValue(pending_);
    return S_OK;
}

INT_PTR CTestPage::OnReceiveMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_VALUE && HIWORD(wParam) == EN_CHANGE && !filling_) {
        BOOL ok = FALSE;
        const int value = static_cast<int>(GetDlgItemInt(hwnd, IDC_VALUE, &ok, TRUE));
        if (ok) {
            pending_ = value;
            SetDirty();
        }
        return TRUE;
    }
    if (msg == WM_DESTROY) Count(&PageCounts::destroys, &counts_);
    return CBasePropertyPage::OnReceiveMessage(hwnd, msg, wParam, lParam);
}
