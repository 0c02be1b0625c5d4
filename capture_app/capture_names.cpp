#include "capture_app/capture_names.h"

std::wstring TimeStampedName(const std::wstring& folder, const LocalTimeFields& time, const wchar_t* extension) {
    std::wstring name = folder + L"\\";
    for (int field : {time.year, time.month, time.day, time.hour, time.minute, time.second})
        name += std::to_wstring(field);
    if (extension) name += extension;
    return name;
}

const wchar_t* SnapshotExtension(int imageType) { return imageType != 0 ? L".bmp" : L".jpg"; }

const wchar_t* RecordExtension(int recordType) { return recordType == 1 ? L".avi" : L".mpg"; }
