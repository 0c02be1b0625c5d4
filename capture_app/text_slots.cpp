#include "capture_app/text_slots.h"

#include <cstring>

namespace {

// In TextSlot order; the keys keep Resource.ini's own spellings.
const TextSlotKey kSources[kTextSlotCount] = {
    {"tooltip", "Help"}, {"tooltip", "Min"}, {"tooltip", "Close"}, {"tooltip", "Effect"},
    {"tooltip", "Browse"}, {"tooltip", "Record"}, {"tooltip", "Snap"}, {"tooltip", "AutoSnap"},
    {"tooltip", "Setup"}, {"tooltip", "Popup"},
    {"ListSetting", "page1"}, {"ListSetting", "page2"}, {"ListSetting", "page3"}, {"ListSetting", "page4"},
    {"ListSetting", "IDOK"}, {"ListSetting", "IDCancle"}, {"ListSetting", "IDApply"},
    {"DeviceSetting", "VideoSetup"}, {"DeviceSetting", "VideoDevice"}, {"DeviceSetting", "VideoProp"},
    {"DeviceSetting", "AudioSetup"}, {"DeviceSetting", "AudioDevice"}, {"DeviceSetting", "AudioProp"},
    {"OtherSetting", "WorkPath"}, {"OtherSetting", "Browse"}, {"OtherSetting", "ImageSet"},
    {"OtherSetting", "ImageSize"}, {"OtherSetting", "Allow"},
    {"RecordSetting", "StoreFormat"}, {"RecordSetting", "MPEGQulity"}, {"RecordSetting", "Low"},
    {"RecordSetting", "Hight"}, {"RecordSetting", "synchronization"},
    {"SnapSetting", "StoreFormat"}, {"SnapSetting", "JPEGQulity"}, {"SnapSetting", "AutoSnapTime"},
    {"SnapSetting", "TimeSelect1"}, {"SnapSetting", "TimeSelect2"},
    {"OsdInformation", "Record"}, {"OsdInformation", "StopRecord"}, {"OsdInformation", "Snap"},
    {"OsdInformation", "AutoSnap"}, {"OsdInformation", "time"},
};

}  // namespace

TextSlotKey TextSlotSource(int slot) {
    if (slot < 0 || slot >= kTextSlotCount) return {"", ""};
    return kSources[slot];
}

int FindTextSlot(const char* section, const char* key) {
    if (!section || !key) return -1;
    for (int i = 0; i < kTextSlotCount; ++i) {
        if (std::strcmp(kSources[i].section, section) == 0 && std::strcmp(kSources[i].key, key) == 0) return i;
    }
    return -1;
}
