// The 43 interface texts of Resource.ini: which section and key fill which
// slot. Portable, so the table is checked on the host too.
#pragma once

#include <cstddef>

enum TextSlot : int {
    // [tooltip]: the main window's buttons.
    kTipHelp, kTipMin, kTipClose, kTipEffect, kTipBrowse, kTipRecord, kTipSnap, kTipAutoSnap, kTipSetup, kTipPopup,
    // [ListSetting]: the settings dialog's page list and buttons.
    kListPage1, kListPage2, kListPage3, kListPage4, kListOk, kListCancel, kListApply,
    // [DeviceSetting]
    kDevVideoSetup, kDevVideoDevice, kDevVideoProp, kDevAudioSetup, kDevAudioDevice, kDevAudioProp,
    // [OtherSetting]
    kOtherWorkPath, kOtherBrowse, kOtherImageSet, kOtherImageSize, kOtherAllow,
    // [RecordSetting]
    kRecStoreFormat, kRecMpegQuality, kRecLow, kRecHigh, kRecSynchronization,
    // [SnapSetting]
    kSnapStoreFormat, kSnapJpegQuality, kSnapAutoSnapTime, kSnapTimeSelect1, kSnapTimeSelect2,
    // [OsdInformation]: on-screen texts.
    kOsdRecord, kOsdStopRecord, kOsdSnap, kOsdAutoSnap, kOsdTime,
    kTextSlotCount
};

struct TextSlotKey {
    const char* section;
    const char* key;
};

// Section and key of a slot (both empty for an index out of range).
TextSlotKey TextSlotSource(int slot);

// The slot that section/key fill, or -1 when Resource.ini has no such text.
int FindTextSlot(const char* section, const char* key);
