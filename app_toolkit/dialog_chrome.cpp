#include "app_toolkit/dialog_chrome.h"

#include "dialog_framework/device_context.h"
#include "dialog_framework/geometry.h"
#include "dialog_framework/menu.h"
#include "dialog_framework/wide_string.h"

void AppendAboutItem(CWindow& window, UINT textId, UINT commandId) {
    CMenu systemMenu = window.GetSystemMenu(FALSE);
    if (!systemMenu.GetSafeHmenu()) return;
    CString about;
    if (!about.LoadString(textId) || about.IsEmpty()) return;
    systemMenu.AppendMenu(MF_SEPARATOR);
    systemMenu.AppendMenu(MF_STRING, commandId, about);
}

bool PaintMinimisedIcon(CWindow& window, HICON icon) {
    if (!window.IsIconic()) return false;
    CPaintDC dc(window.m_hWnd);
    CRect client;
    window.GetClientRect(&client);
    const int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, icon);
    return true;
}
