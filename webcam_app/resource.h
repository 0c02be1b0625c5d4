// Resource, control and command ids of Orvane's windows and menus.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_ORVANE_DIALOG 102
#define IDD_EFFECT_SET 130
#define IDR_TRAY_MENU 131
#define IDD_CHOSE_DEV 132
#define IDR_MAINFRAME 133

// The "About" item appended to the system menu.
#define IDM_ABOUTBOX 16

#define IDC_TAB_PICTURE 1000
#define IDC_TAB_MAGIC 1001
#define IDC_TAB_EFFECT 1002
#define IDC_BTN_CLOSE 1003
#define IDC_BTN_ADD 1004
#define IDC_BTN_SUB 1005
#define IDC_BTN_ON 1006
#define IDC_BTN_SKIN 1007
#define IDC_BTN_TOPMOST 1008
#define IDC_COMBO_DEVICE 1024
#define IDC_EFFECT_HOLDER 1035

#define IDC_EFFECT_MOSAIC 1011
#define IDC_EFFECT_DRAWRECT 1012
#define IDC_EFFECT_EMBOSS 1013
#define IDC_EFFECT_SPREAD 1014
#define IDC_EFFECT_INVERT 1015
#define IDC_EFFECT_MIRROR 1016
#define IDC_EFFECT_GRAY 1017
#define IDC_EFFECT_ELLIPSE 1018
#define IDC_EFFECT_WALL 1019
#define IDC_EFFECT_IMPACT 1020
#define IDC_EFFECT_PUNCH 1021
#define IDC_EFFECT_TWIRL 1022
#define IDC_EFFECT_NOISE 1027
#define IDC_EFFECT_JITTER 1028
#define IDC_EFFECT_PINCH 1029
#define IDC_EFFECT_CYLINDER 1030
#define IDC_EFFECT_EQUALIZE 1031
#define IDC_EFFECT_ROTATEX 1032
#define IDC_EFFECT_ROTATEY 1033
#define IDC_EFFECT_ROTATEZ 1034
#define IDC_EFFECT_FACETRACE 1036

#define ID_TRAY_SHOW 32775
#define ID_TRAY_ABOUT 32776
#define ID_TRAY_EXIT 32779
#define ID_TRAY_HELP 32781

// Private messages: the tray icon's callback and the capture application's.
#define WM_TRAY_NOTIFY (WM_USER + 501)
#define WM_PEER_POSITION (WM_USER + 502)
#define WM_PEER_EFFECT (WM_USER + 503)
#define WM_PEER_POPUP (WM_USER + 504)
// What a flat check button tells its parent on press and release.
#define WM_FLATCHECK_PRESS (WM_USER + 1111)
