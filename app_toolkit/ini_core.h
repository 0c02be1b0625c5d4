// The settings file format, free of any file or platform code: parsing text
// into the ordered entry map, writing the map back as text, and cutting a
// value to a caller's buffer. CIniFile (ini_file.h) puts files around it.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace ini {

// Section and key share one map key: section + separator + key.
inline constexpr std::string_view kKeySeparator = "_____***_______";

// Byte-wise ordered, so saving emits sections and keys in byte order.
using EntryMap = std::map<std::string, std::string>;

std::string CompositeKey(std::string_view section, std::string_view key);

// Splits a composite key at the first separator; false when it has none.
bool SplitCompositeKey(std::string_view composite, std::string* section, std::string* key);

// Reading is done on raw bytes on every platform; this is the one translation
// the C runtime's text mode would make (CR LF becomes LF, a lone CR stays).
std::string FromTextMode(std::string_view bytes);
std::string ToTextMode(std::string_view text);

// One line of the file against the section the parse has open so far.
// Updates *openSection on a header line, stores into *entries on a key line.
void ParseLine(std::string_view line, std::string* openSection, EntryMap* entries);

// Parses LF-separated text (after FromTextMode). Every piece between LFs is a
// line, the last one too, even when empty. Returns the number of lines.
size_t ParseText(std::string_view text, EntryMap* entries);

// The lines a save writes, each ending in LF. *currentSection is the header
// last written; a header is emitted whenever an entry's section differs.
std::string SerializeText(const EntryMap& entries, std::string* currentSection);

// Tells whether a byte of the narrow code page starts a two-byte character.
using LeadByteTest = bool (*)(unsigned char);

// Length of the longest prefix of text that fits a buffer of `capacity` bytes
// together with its terminating zero, never ending inside a two-byte
// character. capacity 0 leaves no room at all.
size_t FittingLength(std::string_view text, size_t capacity, LeadByteTest isLeadByte);

// Copies that prefix and the terminator into buffer (nothing when capacity is 0).
void CopyCut(std::string_view text, char* buffer, size_t capacity, LeadByteTest isLeadByte);

}  // namespace ini
