#include "dialog_framework/menu.h"

#include "dialog_framework/application.h"

BOOL CMenu::LoadMenu(UINT id) {
    HMENU menu = ::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
    if (!menu) return FALSE;
    DestroyMenu();
    m_hMenu = menu;
    m_owned = true;
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    if (!m_owned) return FALSE;
    const BOOL destroyed = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    m_owned = false;
    return destroyed;
}
