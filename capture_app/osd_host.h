// The main dialog's side of the on-screen displays: creating and styling a
// COsd as the main window wants it, and the calls it makes on one. Kept in
// one file so the dialog builds before and after the displays exist.
#pragma once

#include "dialog_framework/wide_string.h"

class COsd;
class CWnd;

// A display over owner's client area: shown for 1 s, green plate, font 5 %
// of the client height within 5..50 pixels, "黑体" in the GB2312 set.
// nullptr when the program is built without on-screen displays.
COsd* CreateStyledOsd(CWnd* owner);
void DestroyOsd(COsd* osd);
// Margins of the text: top 80 when the owner is visible, else 40.
void SetOsdMargins(COsd* osd, bool ownerVisible);
void OsdShowText(COsd* osd, const CString& text);
// Shows the display again without a new text, restarting its hide timer.
void OsdShowAgain(COsd* osd);
void OsdLayOutIfVisible(COsd* osd);
void OsdFollowOwnerSize(COsd* osd);
void OsdFollowOwnerMove(COsd* osd);
