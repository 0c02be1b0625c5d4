#include "dialog_framework/window.h"

#include "dialog_framework/application.h"

namespace {

const wchar_t kObjectProp[] = L"DialogFramework.Object";
const wchar_t kSuperProp[] = L"DialogFramework.Super";
const wchar_t kClassName[] = L"DialogFrameworkWnd";

// The object CreateEx is making a window of the framework's class for; the
// window's first message arrives before CreateWindowEx returns.
thread_local CWnd* t_creating = nullptr;

HINSTANCE FrameworkModule() {
    static const HINSTANCE module = [] {
        HMODULE m = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&FrameworkModule), &m);
        return m;
    }();
    return module;
}

// Signed: points left of or above a window are negative.
CPoint ClientPoint(LPARAM l) { return CPoint(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))); }

}  // namespace

CWnd::~CWnd() {
    if (!m_hWnd) return;
    if (m_ownsWindow && ::DestroyWindow(m_hWnd)) return;  // WM_NCDESTROY let go of it
    if (m_routed) EndRouting(false);
    m_hWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != ::GetCurrentProcessId()) return nullptr;  // its property would point into another process
    return static_cast<CWnd*>(::GetPropW(hwnd, kObjectProp));
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd) return FALSE;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (m_routed) EndRouting(false);
    m_hWnd = nullptr;
    m_ownsWindow = false;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
    m_hWnd = hwnd;
    PreSubclassWindow();
    if (auto super = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kSuperProp))) {
        // RoutedProc is still in the chain, left there by an object that let
        // go while another subclass sat above it: this object takes that place.
        BeginRouting(hwnd, super);
        m_procSwapped = true;
        return TRUE;
    }
    BeginRouting(hwnd, reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)));
    if (!::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RoutedProc))) {
        EndRouting(true);
        return FALSE;
    }
    m_procSwapped = true;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id))); }

HWND CWnd::UnsubclassWindow() {
    if (!m_procSwapped) return nullptr;
    HWND hwnd = m_hWnd;
    EndRouting(false);
    return hwnd;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, UINT_PTR idOrMenu, LPVOID param) {
    if (m_hWnd) return FALSE;
    const bool ownClass = className == nullptr;
    if (ownClass) {
        static const ATOM registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = RoutedProc;
            wc.hInstance = FrameworkModule();
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = kClassName;
            return ::RegisterClassExW(&wc);
        }();
        if (!registered) return FALSE;
        className = kClassName;
        t_creating = this;
    }
    HWND hwnd = ::CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent,
                                  reinterpret_cast<HMENU>(idOrMenu), ownClass ? FrameworkModule() : AfxGetInstanceHandle(),
                                  param);
    t_creating = nullptr;
    if (!hwnd) return FALSE;
    if (!ownClass && !SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    m_ownsWindow = true;
    return TRUE;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

LRESULT CALLBACK CWnd::RoutedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd->Dispatch(message, wParam, lParam);
    auto super = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kSuperProp));
    if (!super && t_creating) {
        CWnd* wnd = t_creating;
        t_creating = nullptr;
        wnd->m_hWnd = hwnd;
        wnd->PreSubclassWindow();
        wnd->BeginRouting(hwnd, ::DefWindowProcW);
        return wnd->Dispatch(message, wParam, lParam);
    }
    return super ? ::CallWindowProcW(super, hwnd, message, wParam, lParam)
                 : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void CWnd::BeginRouting(HWND hwnd, WNDPROC superProc) {
    m_hWnd = hwnd;
    m_superProc = superProc;
    m_routed = true;
    ::SetPropW(hwnd, kObjectProp, this);
    ::SetPropW(hwnd, kSuperProp, reinterpret_cast<HANDLE>(superProc));
}

void CWnd::EndRouting(bool windowGoing) {
    HWND hwnd = m_hWnd;
    bool keepChain = false;
    if (m_procSwapped) {
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == RoutedProc)
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
        else
            keepChain = !windowGoing;  // a later subclass still calls RoutedProc, which must pass on
    }
    ::RemovePropW(hwnd, kObjectProp);
    if (!keepChain) ::RemovePropW(hwnd, kSuperProp);
    m_hWnd = nullptr;
    m_superProc = nullptr;
    m_routed = m_procSwapped = m_ownsWindow = false;
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const MSG saved = m_current;
    m_current.hwnd = m_hWnd;
    m_current.message = message;
    m_current.wParam = wParam;
    m_current.lParam = lParam;
    const LRESULT result = WindowProc(message, wParam, lParam);
    m_current = saved;
    if (message == WM_NCDESTROY && m_hWnd) {
        EndRouting(true);
        PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (DispatchMapped(message, wParam, lParam, &result)) return result;
    if (DispatchTyped(message, wParam, lParam, &result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_superProc) return ::CallWindowProcW(m_superProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

BOOL CWnd::OnCommand(UINT notifyCode, UINT id, HWND control) {
    (void)control;
    for (const CommandEntry& entry : m_commandMap) {
        if (entry.id == id && entry.code == notifyCode) {
            const auto handler = entry.handler;  // the handler may change the map
            handler();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnNotify(UINT id, NMHDR* header, LRESULT* result) {
    for (const NotifyEntry& entry : m_notifyMap) {
        if (entry.id == id && entry.code == header->code) {
            const auto handler = entry.handler;
            *result = handler(header);
            return TRUE;
        }
    }
    return FALSE;
}

bool CWnd::DispatchMapped(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    for (const MessageEntry& entry : m_messageMap) {
        if (entry.message == message) {
            const auto handler = entry.handler;
            *result = handler(wParam, lParam);
            return true;
        }
    }
    return false;
}

bool CWnd::DispatchTyped(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    switch (message) {
    case WM_CREATE: *result = OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam)); return true;
    case WM_DESTROY: OnDestroy(); return true;
    case WM_CLOSE: OnClose(); return true;
    case WM_PAINT: OnPaint(); return true;
    case WM_ERASEBKGND: *result = OnEraseBkgnd(reinterpret_cast<HDC>(wParam)); return true;
    case WM_TIMER: OnTimer(wParam); return true;
    case WM_SIZE: OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return true;
    case WM_MOVE: OnMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return true;
    case WM_NCHITTEST: *result = OnNcHitTest(ClientPoint(lParam)); return true;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return true;
    case WM_SETCURSOR:
        *result = OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
        return true;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wParam), ClientPoint(lParam)); return true;
    case WM_MOUSELEAVE: OnMouseLeave(); return true;
    case WM_MOUSEWHEEL:
        *result = OnMouseWheel(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam), ClientPoint(lParam));
        return true;
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wParam), ClientPoint(lParam)); return true;
    case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(wParam), ClientPoint(lParam)); return true;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wParam), ClientPoint(lParam)); return true;
    case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wParam), ClientPoint(lParam)); return true;
    case WM_RBUTTONUP: OnRButtonUp(static_cast<UINT>(wParam), ClientPoint(lParam)); return true;
    case WM_SETFOCUS: OnSetFocus(reinterpret_cast<HWND>(wParam)); return true;
    case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<HWND>(wParam)); return true;
    case WM_ENABLE: OnEnable(static_cast<BOOL>(wParam)); return true;
    case WM_SYSCOMMAND: OnSysCommand(static_cast<UINT>(wParam), lParam); return true;
    case WM_QUERYDRAGICON: *result = reinterpret_cast<LRESULT>(OnQueryDragIcon()); return true;
    case WM_HELP: *result = OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam)); return true;
    case WM_COMMAND:
        return OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)) != FALSE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        return OnNotify(static_cast<UINT>(header->idFrom), header, result) != FALSE;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        CWnd* control = item->CtlType == ODT_MENU ? nullptr : FromHandlePermanent(item->hwndItem);
        if (!control) return false;
        control->DrawItem(item);
        *result = TRUE;
        return true;
    }
    default: return false;
    }
}
