// CMenu: a menu handle, owned when loaded from a resource (destroyed with the
// object), borrowed when taken from a window or as a submenu.
#pragma once

#include <windows.h>

class CMenu {
public:
    CMenu() = default;
    explicit CMenu(HMENU borrowed) : m_hMenu(borrowed) {}
    CMenu(CMenu&& other) noexcept : m_hMenu(other.m_hMenu), m_owned(other.m_owned) { other.m_owned = false; }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu() { DestroyMenu(); }

    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    BOOL LoadMenu(UINT id);  // from the program's resource module
    BOOL DestroyMenu();

    CMenu GetSubMenu(int position) const { return CMenu(::GetSubMenu(m_hMenu, position)); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr) {
        return ::AppendMenuW(m_hMenu, flags, id, text);
    }
    UINT EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_hMenu, item, enable); }
    UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND window) {
        return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, window, nullptr);
    }

private:
    HMENU m_hMenu = nullptr;
    bool m_owned = false;
};
