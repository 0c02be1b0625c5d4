// Resource and control ids of Snapory's main window and about box. The
// settings dialog keeps its own ids in settings/settings_resource.h.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_SNAPORY_DIALOG 102
#define IDR_MAINFRAME 134

// The "About" item appended to the system menu.
#define IDM_ABOUTBOX 16

#define IDC_BTN_MIN 1000
#define IDC_BTN_HELP 1002
#define IDC_BTN_CLOSE 1004
#define IDC_BTN_POPUP 1005
#define IDC_BTN_SNAP 1006
#define IDC_BTN_RECORD 1007
#define IDC_BTN_BROWSE 1008
#define IDC_BTN_EFFECT 1009
#define IDC_BTN_SETUP 1010
#define IDC_BTN_AUTOSNAP 1011
#define IDC_COMBO_SIZE 1019
#define IDC_BTN_LOGO 1022

// Private messages to the virtual webcam application's window.
#define WM_PEER_POSITION (WM_USER + 502)
#define WM_PEER_EFFECT (WM_USER + 503)
#define WM_PEER_POPUP (WM_USER + 504)
