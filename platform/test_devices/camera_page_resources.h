// Resource identifiers of the camera's property page (shared with the .rc).
#pragma once

#define IDD_CAMERA_PAGE 100
#define IDS_CAMERA_PAGE_TITLE 101
#define IDC_CAMERA_FORMAT 1001
#define IDC_CAMERA_RATE 1002
#define IDC_CAMERA_STATUS 1003
