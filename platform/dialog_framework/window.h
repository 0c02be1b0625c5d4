// CWnd: a window whose messages reach a C++ object. Messages are handled by
// overriding the typed On... handlers (each default passes the message on to
// the window's previous procedure, see Default) or by entries added with the
// Map... calls, which are looked at first. WM_COMMAND and WM_NOTIFY from
// controls go to command and notify entries (or an OnCommand / OnNotify
// override); WM_DRAWITEM is passed on to the owner-drawn control's DrawItem.
//
// A window gets its object in one of three ways: CreateEx, SubclassWindow
// (e.g. a control of a dialog template, SubclassDlgItem) or, for dialogs,
// CDialog. The object is kept in a window property, so any window class and
// its own user data are left alone. The object must outlive its window or
// destroy it first; when the window goes (WM_NCDESTROY) the object lets go of
// it and PostNcDestroy runs.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "dialog_framework/geometry.h"
#include "dialog_framework/window_handle.h"

class CWnd : public CWindow {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // A window still alive is destroyed when made by CreateEx or Create,
    // handed back to its previous procedure when subclassed.
    virtual ~CWnd();

    // The object receiving the window's messages, nullptr when there is none.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Wraps a handle without receiving its messages.
    BOOL Attach(HWND hwnd);
    HWND Detach();

    // Receives the window's messages from now on (PreSubclassWindow first).
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, HWND parent);
    HWND UnsubclassWindow();

    // className nullptr: the framework's own class (double clicks, arrow cursor).
    // A system class (a tooltip, a button) is subclassed right after creation.
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                  int height, HWND parent, UINT_PTR idOrMenu = 0, LPVOID param = nullptr);
    BOOL DestroyWindow();

    // Message map entries; handlers are members of the derived class.
    template <class T>
    void MapCommand(UINT id, UINT code, void (T::*handler)()) {
        T* self = static_cast<T*>(this);
        m_commandMap.push_back({id, code, [self, handler] { (self->*handler)(); }});
    }
    template <class T>
    void MapClicked(UINT id, void (T::*handler)()) { MapCommand(id, BN_CLICKED, handler); }
    template <class T>
    void MapNotify(UINT id, UINT code, LRESULT (T::*handler)(NMHDR*)) {
        T* self = static_cast<T*>(this);
        m_notifyMap.push_back({id, code, [self, handler](NMHDR* h) { return (self->*handler)(h); }});
    }
    template <class T>
    void MapMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
        T* self = static_cast<T*>(this);
        m_messageMap.push_back({message, [self, handler](WPARAM w, LPARAM l) { return (self->*handler)(w, l); }});
    }

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's previous procedure (DefWindowProc for the framework's class).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes the message being handled on to DefWindowProc unchanged.
    LRESULT Default();
    // The message being handled (a mapped handler's command id is in wParam).
    const MSG& GetCurrentMessage() const { return m_current; }

    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}

    // Control notifications; return TRUE when handled. The defaults look up the map.
    virtual BOOL OnCommand(UINT notifyCode, UINT id, HWND control);
    virtual BOOL OnNotify(UINT id, NMHDR* header, LRESULT* result);
    // Called on an owner-drawn control when its parent gets WM_DRAWITEM.
    virtual void DrawItem(DRAWITEMSTRUCT* item) { (void)item; }

    virtual int OnCreate(CREATESTRUCTW* create) { (void)create; return static_cast<int>(Default()); }
    virtual void OnDestroy() { Default(); }
    virtual void OnClose() { Default(); }
    virtual void OnPaint() { Default(); }
    virtual BOOL OnEraseBkgnd(HDC dc) { (void)dc; return static_cast<BOOL>(Default()); }
    virtual void OnTimer(UINT_PTR id) { (void)id; Default(); }
    virtual void OnSize(UINT type, int cx, int cy) { (void)type; (void)cx; (void)cy; Default(); }
    virtual void OnMove(int x, int y) { (void)x; (void)y; Default(); }
    virtual LRESULT OnNcHitTest(CPoint screenPoint) { (void)screenPoint; return Default(); }
    virtual void OnGetMinMaxInfo(MINMAXINFO* info) { (void)info; Default(); }
    virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) {
        (void)window; (void)hitTest; (void)message;
        return static_cast<BOOL>(Default());
    }
    virtual void OnMouseMove(UINT flags, CPoint point) { (void)flags; (void)point; Default(); }
    virtual void OnMouseLeave() { Default(); }
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint screenPoint) {
        (void)flags; (void)delta; (void)screenPoint;
        return static_cast<BOOL>(Default());
    }
    virtual void OnLButtonDown(UINT flags, CPoint point) { (void)flags; (void)point; Default(); }
    virtual void OnLButtonUp(UINT flags, CPoint point) { (void)flags; (void)point; Default(); }
    virtual void OnLButtonDblClk(UINT flags, CPoint point) { (void)flags; (void)point; Default(); }
    virtual void OnRButtonDown(UINT flags, CPoint point) { (void)flags; (void)point; Default(); }
    virtual void OnRButtonUp(UINT flags, CPoint point) { (void)flags; (void)point; Default(); }
    virtual void OnSetFocus(HWND oldFocus) { (void)oldFocus; Default(); }
    virtual void OnKillFocus(HWND newFocus) { (void)newFocus; Default(); }
    virtual void OnEnable(BOOL enabled) { (void)enabled; Default(); }
    virtual void OnSysCommand(UINT id, LPARAM lParam) { (void)id; (void)lParam; Default(); }
    virtual HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
    virtual BOOL OnHelpInfo(HELPINFO* info) { (void)info; return static_cast<BOOL>(Default()); }

private:
    struct CommandEntry { UINT id, code; std::function<void()> handler; };
    struct NotifyEntry { UINT id, code; std::function<LRESULT(NMHDR*)> handler; };
    struct MessageEntry { UINT message; std::function<LRESULT(WPARAM, LPARAM)> handler; };

    static LRESULT CALLBACK RoutedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Starts routing hwnd's messages here; superProc receives what is passed on.
    void BeginRouting(HWND hwnd, WNDPROC superProc);
    // Takes the procedure back out when it is still on top (always when the
    // window is going) and lets go of the window.
    void EndRouting(bool windowGoing);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool DispatchTyped(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool DispatchMapped(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    WNDPROC m_superProc = nullptr;
    bool m_routed = false;       // messages come here
    bool m_procSwapped = false;  // RoutedProc replaced the window's procedure
    bool m_ownsWindow = false;   // made by this object: destroyed with it
    MSG m_current{};
    std::vector<CommandEntry> m_commandMap;
    std::vector<NotifyEntry> m_notifyMap;
    std::vector<MessageEntry> m_messageMap;

    friend class CDialog;
};
