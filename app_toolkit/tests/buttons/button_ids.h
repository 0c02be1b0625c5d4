// Ids of the bitmap button test dialog.
#pragma once

#define IDD_BUTTONS 300
#define IDC_HOVER 1001
#define IDC_DOUBLE 1002
#define IDC_MISSING 1003
#define IDC_PARTIAL 1004
