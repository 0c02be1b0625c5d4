#include "dshow_base/property_page.h"

#include "dshow_base/module.h"

namespace {

// A dialog procedure for measuring: the page's hooks must not run for a
// window the page does not own.
INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Template size in dialog units (DLGTEMPLATE or DLGTEMPLATEEX).
bool TemplateSize(int dialogId, SIZE* units) {
    HRSRC res = FindResourceW(ModuleInstance(), MAKEINTRESOURCEW(dialogId), RT_DIALOG);
    HGLOBAL mem = res ? LoadResource(ModuleInstance(), res) : nullptr;
    const BYTE* bytes = mem ? static_cast<const BYTE*>(LockResource(mem)) : nullptr;
    if (!bytes) return false;
    const WORD* words = reinterpret_cast<const WORD*>(bytes);
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    // cx, cy follow style, extended style, item count, x and y.
    const WORD* size = reinterpret_cast<const WORD*>(bytes + (extended ? 22 : 14));
    units->cx = static_cast<SHORT>(size[0]);
    units->cy = static_cast<SHORT>(size[1]);
    return true;
}

// The template's size in pixels for the dialog's own font, as the dialog
// manager lays it out.
HRESULT DialogSizeInPixels(int dialogId, SIZE* pixels) {
    SIZE units = {};
    if (!TemplateSize(dialogId, &units)) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    HWND probe = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(dialogId), GetDesktopWindow(),
                                    InertDialogProc, 0);
    if (!probe) return E_FAIL;
    RECT rect = {0, 0, units.cx, units.cy};
    MapDialogRect(probe, &rect);
    DestroyWindow(probe);
    pixels->cx = rect.right - rect.left;
    pixels->cy = rect.bottom - rect.top;
    return S_OK;
}

LPOLESTR CoTaskMemString(LPCWSTR text) {
    const size_t bytes = (lstrlenW(text) + 1) * sizeof(WCHAR);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy) CopyMemory(copy, text, bytes);
    return copy;
}

bool IsKeyboardMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

}  // namespace

CBasePropertyPage::CBasePropertyPage(LPCTSTR name, LPUNKNOWN outer, int dialogId, int titleId)
    : CUnknown(name, outer), m_DialogId(dialogId), m_TitleId(titleId) {}

CBasePropertyPage::~CBasePropertyPage() {
    if (m_hwnd) {
        // Past this point the derived hooks are gone: detach before destroying.
        SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
        DestroyWindow(m_hwnd);
    }
}

STDMETHODIMP CBasePropertyPage::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (ppv && IsEqualIID(riid, IID_IPropertyPage)) return GetInterface(static_cast<IPropertyPage*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP CBasePropertyPage::SetPageSite(IPropertyPageSite* site) {
    if (site) {
        if (m_pPageSite) return E_UNEXPECTED;
        m_pPageSite = ComPtr<IPropertyPageSite>(site);
        return S_OK;
    }
    if (!m_pPageSite) return E_UNEXPECTED;
    m_pPageSite.Reset();
    return S_OK;
}

STDMETHODIMP CBasePropertyPage::Activate(HWND parent, LPCRECT rect, BOOL /*modal*/) {
    if (!rect) return E_POINTER;
    if (m_hwnd) return E_UNEXPECTED;
    HWND dialog = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(m_DialogId), parent, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!dialog) {
        const DWORD err = GetLastError();
        return err ? HRESULT_FROM_WIN32(err) : E_FAIL;
    }
    m_hwnd = dialog;
    HRESULT hr = OnActivate();
    if (SUCCEEDED(hr)) hr = Move(rect);
    if (FAILED(hr)) {
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
        return hr;
    }
    return Show(SW_SHOWNORMAL);
}

STDMETHODIMP CBasePropertyPage::Deactivate() {
    if (!m_hwnd) return E_UNEXPECTED;
    const HRESULT hr = OnDeactivate();
    // m_bDirty is left alone: edits made on a page the user has switched away
    // from are still applied when the frame's OK or Apply comes.
    DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    return FAILED(hr) ? hr : S_OK;
}

STDMETHODIMP CBasePropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    SIZE size = {};
    RETURN_IF_FAILED(DialogSizeInPixels(m_DialogId, &size));
    WCHAR title[256] = {};
    const LPCWSTR text = LoadStringW(ModuleInstance(), m_TitleId, title, 256) > 0 ? title : Name();
    LPOLESTR copy = CoTaskMemString(text ? text : L"");
    if (!copy) return E_OUTOFMEMORY;
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = copy;
    info->size = size;
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP CBasePropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count == 0) {
        objectSet_ = false;
        return OnDisconnect();
    }
    if (count > 1) return E_INVALIDARG;  // a page edits one filter
    if (!objects || !objects[0]) return E_POINTER;
    if (objectSet_) {
        objectSet_ = false;
        RETURN_IF_FAILED(OnDisconnect());
    }
    const HRESULT hr = OnConnect(objects[0]);
    objectSet_ = SUCCEEDED(hr);
    return hr;
}

STDMETHODIMP CBasePropertyPage::Show(UINT cmdShow) {
    if (!m_hwnd) return E_UNEXPECTED;
    if (cmdShow != SW_SHOW && cmdShow != SW_SHOWNORMAL && cmdShow != SW_HIDE) return E_INVALIDARG;
    ShowWindow(m_hwnd, static_cast<int>(cmdShow));
    InvalidateRect(m_hwnd, nullptr, TRUE);
    return S_OK;
}

STDMETHODIMP CBasePropertyPage::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (!m_hwnd) return E_UNEXPECTED;
    MoveWindow(m_hwnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP CBasePropertyPage::IsPageDirty() { return m_bDirty ? S_OK : S_FALSE; }

STDMETHODIMP CBasePropertyPage::Apply() {
    if (!objectSet_) return E_UNEXPECTED;  // nothing to apply to
    if (!m_bDirty) return S_OK;
    const HRESULT hr = OnApplyChanges();
    if (SUCCEEDED(hr)) m_bDirty = FALSE;
    return hr;
}

STDMETHODIMP CBasePropertyPage::Help(LPCOLESTR /*helpDir*/) { return E_NOTIMPL; }

STDMETHODIMP CBasePropertyPage::TranslateAccelerator(MSG* msg) {
    if (!msg) return E_POINTER;
    if (!m_hwnd) return E_UNEXPECTED;
    // Only keystrokes aimed at this page; IsDialogMessage moves focus between
    // its controls and reports whether it consumed the key.
    if (!IsKeyboardMessage(msg->message)) return S_FALSE;
    if (msg->hwnd != m_hwnd && !IsChild(m_hwnd, msg->hwnd)) return S_FALSE;
    return IsDialogMessageW(m_hwnd, msg) ? S_OK : S_FALSE;
}

INT_PTR CBasePropertyPage::OnReceiveMessage(HWND /*hwnd*/, UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    return FALSE;
}

void CBasePropertyPage::SetDirty() {
    m_bDirty = TRUE;
    if (m_pPageSite) m_pPageSite->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

INT_PTR CALLBACK CBasePropertyPage::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CBasePropertyPage* page = nullptr;
    if (msg == WM_INITDIALOG) {
        page = reinterpret_cast<CBasePropertyPage*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        page->m_Dlg = hwnd;
    } else {
        page = reinterpret_cast<CBasePropertyPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!page) return FALSE;  // messages before WM_INITDIALOG or after detaching
    const INT_PTR result = page->OnReceiveMessage(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) page->m_Dlg = nullptr;
    return result;
}
