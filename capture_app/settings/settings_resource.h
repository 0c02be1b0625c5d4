// Templates and control ids of the settings dialog and its four pages. Ids
// repeat between pages (each page is its own dialog), so the names carry the
// page they belong to.
#pragma once

#define IDD_SNAPORY_SETTINGS 130
#define IDD_SETTINGS_SNAP_PAGE 131
#define IDD_SETTINGS_REC_PAGE 132
#define IDD_SETTINGS_DEV_PAGE 133
#define IDD_SETTINGS_OTHER_PAGE 134

// The settings dialog (OK, Cancel and Apply keep IDOK, IDCANCEL and 3).
#define IDC_SETTINGS_APPLY 3
#define IDC_SETTINGS_PAGE_LIST 1001
#define IDC_SETTINGS_PAGE_FRAME 1015

// Snapshot page.
#define IDC_SNAP_JPEG 1002
#define IDC_SNAP_BMP 1003
#define IDC_SNAP_TIMER_10S 1005
#define IDC_SNAP_TIMER_20S 1006
#define IDC_SNAP_QUALITY 1017
#define IDC_SNAP_FORMAT_GROUP 1033
#define IDC_SNAP_QUALITY_GROUP 1034
#define IDC_SNAP_TIMER_GROUP 1035

// Recording page.
#define IDC_REC_QUALITY 1004
#define IDC_REC_MPEG 1006
#define IDC_REC_AVI 1007
#define IDC_REC_SOUND 1008
#define IDC_REC_FORMAT_GROUP 1029
#define IDC_REC_QUALITY_GROUP 1030
#define IDC_REC_LOW_LABEL 1031
#define IDC_REC_HIGH_LABEL 1032

// Device page.
#define IDC_DEV_VIDEO_COMBO 1009
#define IDC_DEV_VIDEO_PROPERTIES 1010
#define IDC_DEV_AUDIO_COMBO 1012
#define IDC_DEV_AUDIO_PROPERTIES 1013
#define IDC_DEV_AUDIO_LABEL 1018
#define IDC_DEV_VIDEO_GROUP 1023
#define IDC_DEV_VIDEO_LABEL 1024
#define IDC_DEV_AUDIO_GROUP 1025

// Other page.
#define IDC_OTHER_WORK_PATH 1014
#define IDC_OTHER_BROWSE 1016
#define IDC_OTHER_SIZE_COMBO 1019
#define IDC_OTHER_WORK_GROUP 1026
#define IDC_OTHER_IMAGE_GROUP 1027
#define IDC_OTHER_SIZE_LABEL 1028
#define IDC_OTHER_ALLOW 1038
