// Feeds arbitrary bytes to the settings file reader, then builds a map from
// the same bytes and checks that saving and loading it gives it back, for
// every entry the file format can carry.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>
#include <string_view>

#include "app_toolkit/ini_file.h"

namespace {

const std::filesystem::path& ScratchFile() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("ini_roundtrip_fuzzer_" + std::to_string(::getpid()) + ".ini");
    return path;
}

// Characters that matter to the format are over-represented.
char Pick(uint8_t b) {
    static constexpr std::string_view kAlphabet = " \t#/[]=_*\r\n;aAbZ0\xC4\xE3\x81\xFF";
    return b < 0xC0 ? kAlphabet[b % kAlphabet.size()] : static_cast<char>(b);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasCommentMarker(std::string_view v) {
    for (std::string_view m : {"\t#", " #", "\t//", " //"})
        if (v.find(m) != std::string_view::npos) return true;
    return false;
}

// An entry survives the file when its header and key line read back as
// written: no line ends inside, nothing trimmed or cut away, the key line is
// not taken for a header, and the section ends where its separator begins.
bool Survives(const std::string& section, const std::string& key, const std::string& value) {
    if (section.empty() || key.empty() || value.empty()) return false;
    if ((section + key + value).find('\n') != std::string::npos) return false;
    if (IsBlank(key.front()) || IsBlank(key.back()) || key.find('=') != std::string::npos) return false;
    if (IsBlank(value.front()) || IsBlank(value.back()) || HasCommentMarker(value)) return false;
    const std::string line = key + "=" + value;
    const size_t open = line.find('['), close = line.rfind(']');
    if (open != std::string::npos && close != std::string::npos && close != open + 1) return false;
    return ini::CompositeKey(section, key).find(ini::kKeySeparator) == section.size();
}

std::string Take(const uint8_t*& data, const uint8_t* end) {
    if (data == end) return {};
    const size_t length = *data++ % 9;
    std::string s;
    while (s.size() < length && data != end) s.push_back(Pick(*data++));
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Any bytes: the parser must neither crash nor store an empty value.
    ini::EntryMap parsed;
    ini::ParseText(ini::FromTextMode(std::string_view(reinterpret_cast<const char*>(data), size)), &parsed);
    for (const auto& [composite, value] : parsed)
        if (value.empty() || composite.find(ini::kKeySeparator) == std::string::npos) std::abort();

    CIniFile out(ScratchFile().string());
    const uint8_t* end = data + size;
    for (const uint8_t* p = data; p != end;) {
        const std::string section = Take(p, end), key = Take(p, end), value = Take(p, end);
        if (Survives(section, key, value)) out.SetValue(value, section, key);
    }
    if (!out.Save()) std::abort();
    CIniFile in(ScratchFile().string());
    const bool loaded = in.Load();
    if (loaded != !out.Entries().empty() || in.Entries() != out.Entries()) {
        std::fprintf(stderr, "round trip changed the map (%zu entries written, %zu read)\n",
                     out.Entries().size(), in.Entries().size());
        std::abort();
    }
    std::filesystem::remove(ScratchFile());
    return 0;
}
