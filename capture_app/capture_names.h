// Names of snapshot and recording files, made from the local time. Portable.
#pragma once

#include <string>

struct LocalTimeFields {
    int year, month, day, hour, minute, second;
};

// folder + "\" + year month day hour minute second as plain decimals without
// leading zeros + extension: 2007-10-31 01:59:44 gives "\2007103115944".
std::wstring TimeStampedName(const std::wstring& folder, const LocalTimeFields& time, const wchar_t* extension);

// ".bmp" for a non-zero image type, ".jpg" otherwise.
const wchar_t* SnapshotExtension(int imageType);
// ".avi" for record type exactly 1, ".mpg" for any other value.
const wchar_t* RecordExtension(int recordType);
