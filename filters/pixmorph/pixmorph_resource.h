// Resource identifiers of the property page, shared by both modules' .rc files.
#pragma once

#define IDD_PIXMORPH_PAGE 101
#define IDS_PIXMORPH_PAGE_TITLE 102
#define IDC_OUTPUT_WIDTH 1003
#define IDC_OUTPUT_HEIGHT 1004
#define IDC_MULTIPLE_X 1005
#define IDC_MULTIPLE_Y 1006
#define IDC_SIZE_MODE 1008
#define IDC_MULTIPLE_MODE 1009
