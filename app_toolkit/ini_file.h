// CIniFile: one settings file, loaded whole into an ordered map, looked up by
// section and key, changed, and written whole. Text is narrow, in the ANSI
// code page; callers convert wide strings at the boundary.
//
// An object serves one Load or one Save; the programs never keep one open.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app_toolkit/ini_core.h"

class CIniFile {
public:
    explicit CIniFile(std::string fileName);

    // False when the file cannot be opened or yields no entry at all.
    bool Load();

    // Copies the value, or an empty string when there is none, into buffer.
    // A value longer than the buffer is cut at a character boundary.
    void GetValue(std::string_view key, std::string_view section, char* buffer, size_t bufferSize) const;
    template <size_t N>
    void GetValue(std::string_view key, std::string_view section, char (&buffer)[N]) const {
        GetValue(key, section, buffer, N);
    }

    void SetValue(std::string_view value, std::string_view section, std::string_view key);

    // Replaces the file's contents with the map; false when it cannot be written.
    bool Save();

    const ini::EntryMap& Entries() const { return m_entries; }
    const std::string& FileName() const { return m_fileName; }

private:
    ini::EntryMap m_entries;
    std::string m_fileName;
    std::string m_currentSection;  // header last written by Save
};
