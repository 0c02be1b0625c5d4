// The capture window's three status displays as the program styles them:
// display A tells the recording state, display B snapshots and the self-timer
// countdown, the third is kept ready but unused.
#pragma once

#include <windows.h>

#include "capture_app/osd/osd.h"
#include "dialog_framework/typed_arrays.h"

using COsdArray = CTypedPtrArray<CPtrArray, COsd*>;

// Index of each display in the owner's array.
enum StatusDisplay { kRecordingDisplay = 0, kSnapshotDisplay = 1, kSpareDisplay = 2 };

// Gives the display the program's look: one second on screen, a green plate,
// the default GUI font in the GB2312 character set with the face "黑体", its
// height 5 % of the client height within 5..50 pixels.
void StyleStatusDisplay(COsd& display);

// Creates every display already listed in displays as a popup of owner,
// styles it, sets the margins (text lower down while the owner is visible)
// and lays out those already visible. False when one could not be created.
bool SetUpStatusDisplays(COsdArray& displays, HWND owner);
