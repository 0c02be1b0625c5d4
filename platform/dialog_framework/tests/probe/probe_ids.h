// Resource and control ids of the framework's probe dialog.
#pragma once

#define IDD_PROBE 200
#define IDD_PROBE_PAGE 201
#define IDS_ABOUT_PROBE 101
#define IDR_PROBE_MENU 131
#define IDM_PROBE_SHOW 32775
#define IDM_PROBE_EXIT 32779

#define IDC_STATUS 1100
#define IDC_COUNT 1101
#define IDC_CHECK 1102
#define IDC_LEFT 1103
#define IDC_RIGHT 1104
#define IDC_CHOICE 1105
#define IDC_LIST 1106
#define IDC_EDIT 1107
#define IDC_SLIDER 1108
#define IDC_ASK 1109
#define IDC_FINISH 1110
#define IDC_PAGE_FRAME 1111
#define IDC_PAGE_BUTTON 1201

#define IDM_ABOUT_PROBE 0x0010
#define WM_PROBE_DOUBLE (WM_APP + 5)
#define PROBE_FINISH_RESULT 77
