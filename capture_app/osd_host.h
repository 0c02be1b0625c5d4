// The main dialog's side of the on-screen displays: making the three of them
// and the calls it makes on one, so the dialog needs only this header.
#pragma once

#include <windows.h>

#include "dialog_framework/typed_arrays.h"
#include "dialog_framework/wide_string.h"

class COsd;
using COsdList = CTypedPtrArray<CPtrArray, COsd*>;

// Adds three displays over owner's client area to the list, created and
// styled as the main window wants them.
void CreateStatusDisplays(COsdList& displays, HWND owner);
// Deletes what CreateStatusDisplays made and empties the list.
void DestroyStatusDisplays(COsdList& displays);

void OsdShowText(COsd* osd, const CString& text);
// Shows the display again as it is, without activating it, and restarts its hide timer.
void OsdShowAgain(COsd* osd);
void OsdFollowOwnerSize(COsd* osd);
void OsdFollowOwnerMove(COsd* osd);
