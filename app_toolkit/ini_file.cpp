#include "app_toolkit/ini_file.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "app_toolkit/narrow_platform.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool ReadAll(std::FILE* f, std::string* bytes) {
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes->append(chunk, got);
    return !std::ferror(f);
}

}  // namespace

CIniFile::CIniFile(std::string fileName) : m_fileName(std::move(fileName)) {}

bool CIniFile::Load() {
    FilePtr file(ini_platform::OpenShared(m_fileName, "rb"));
    if (!file) return false;
    std::string bytes;
    if (!ReadAll(file.get(), &bytes)) return false;
    ini::ParseText(ini::FromTextMode(bytes), &m_entries);
    return !m_entries.empty();
}

void CIniFile::GetValue(std::string_view key, std::string_view section, char* buffer, size_t bufferSize) const {
    const auto found = m_entries.find(ini::CompositeKey(section, key));
    const std::string_view value = found == m_entries.end() ? std::string_view() : std::string_view(found->second);
    ini::CopyCut(value, buffer, bufferSize, ini_platform::IsAnsiLeadByte);
}

void CIniFile::SetValue(std::string_view value, std::string_view section, std::string_view key) {
    m_entries[ini::CompositeKey(section, key)] = std::string(value);
}

bool CIniFile::Save() {
    FilePtr file(ini_platform::OpenShared(m_fileName, "wb"));
    if (!file) return false;
    // Each save writes every header it needs, also when the object saves twice.
    m_currentSection.clear();
    const std::string bytes = ini::ToTextMode(ini::SerializeText(m_entries, &m_currentSection));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}
