#include "app_toolkit/ini_core.h"

#include <cstring>
#include <initializer_list>

namespace ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    size_t begin = 0;
    while (begin < s.size() && IsBlank(s[begin])) ++begin;
    size_t end = s.size();
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

// Header when the first '[' and the last ']' both exist and are not "[]"
// side by side; a ']' before the '[' makes the rest of the line the name.
bool HeaderName(std::string_view line, std::string_view* name) {
    const size_t open = line.find('[');
    const size_t close = line.rfind(']');
    if (open == std::string_view::npos || close == std::string_view::npos || close == open + 1) return false;
    *name = close > open ? line.substr(open + 1, close - open - 1) : line.substr(open + 1);
    return true;
}

// Markers are tried in a fixed order and the first kind found anywhere wins,
// even when a later kind sits earlier in the value.
std::string_view CutInlineComment(std::string_view value) {
    size_t start = 0;
    while (start < value.size() && IsBlank(value[start])) ++start;
    for (std::string_view marker : {"\t#", " #", "\t//", " //"}) {
        const size_t at = value.find(marker, start);
        if (at != std::string_view::npos) return value.substr(0, at);
    }
    return value;
}

}  // namespace

std::string CompositeKey(std::string_view section, std::string_view key) {
    std::string composite;
    composite.reserve(section.size() + kKeySeparator.size() + key.size());
    composite.append(section).append(kKeySeparator).append(key);
    return composite;
}

bool SplitCompositeKey(std::string_view composite, std::string* section, std::string* key) {
    const size_t at = composite.find(kKeySeparator);
    if (at == std::string_view::npos) return false;
    section->assign(composite.substr(0, at));
    key->assign(composite.substr(at + kKeySeparator.size()));
    return true;
}

std::string FromTextMode(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text.push_back(bytes[i]);
    }
    return text;
}

std::string ToTextMode(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') bytes.push_back('\r');
        bytes.push_back(c);
    }
    return bytes;
}

void ParseLine(std::string_view line, std::string* openSection, EntryMap* entries) {
    std::string_view header;
    if (HeaderName(line, &header)) {
        openSection->assign(header);
        return;
    }
    if (openSection->empty()) return;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;
    const std::string_view key = TrimBlanks(line.substr(0, equals));
    if (key.empty()) return;
    const std::string_view value = TrimBlanks(CutInlineComment(line.substr(equals + 1)));
    if (value.empty()) return;  // an earlier value of the key stays
    (*entries)[CompositeKey(*openSection, key)] = std::string(value);
}

size_t ParseText(std::string_view text, EntryMap* entries) {
    std::string openSection;
    size_t lines = 0;
    size_t begin = 0;
    for (;;) {
        const size_t end = text.find('\n', begin);
        ParseLine(text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin),
                  &openSection, entries);
        ++lines;
        if (end == std::string_view::npos) return lines;
        begin = end + 1;
    }
}

std::string SerializeText(const EntryMap& entries, std::string* currentSection) {
    std::string text;
    std::string section, key;
    for (const auto& [composite, value] : entries) {
        SplitCompositeKey(composite, &section, &key);  // every map key came from CompositeKey
        if (section != *currentSection) {
            *currentSection = section;
            text.append("[").append(section).append("]\n");
        }
        text.append(key).append("=").append(value).append("\n");
    }
    return text;
}

size_t FittingLength(std::string_view text, size_t capacity, LeadByteTest isLeadByte) {
    if (capacity == 0) return 0;
    const size_t room = capacity - 1;
    size_t length = 0;
    while (length < text.size()) {
        size_t step = 1;
        if (isLeadByte && isLeadByte(static_cast<unsigned char>(text[length])) && length + 1 < text.size()) step = 2;
        if (length + step > room) break;
        length += step;
    }
    return length;
}

void CopyCut(std::string_view text, char* buffer, size_t capacity, LeadByteTest isLeadByte) {
    if (capacity == 0) return;
    const size_t length = FittingLength(text, capacity, isLeadByte);
    if (length > 0) std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace ini
