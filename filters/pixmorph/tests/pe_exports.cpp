#include "filters/pixmorph/tests/pe_exports.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

struct Image {
    std::vector<uint8_t> bytes;
    uint32_t sections = 0;  // file offset of the section table
    uint16_t sectionCount = 0;

    bool Read32(size_t offset, uint32_t* v) const {
        if (offset + 4 > bytes.size()) return false;
        std::memcpy(v, &bytes[offset], 4);
        return true;
    }
    bool Read16(size_t offset, uint16_t* v) const {
        if (offset + 2 > bytes.size()) return false;
        std::memcpy(v, &bytes[offset], 2);
        return true;
    }
    // File offset of a relative virtual address, through the section table.
    bool Offset(uint32_t rva, size_t* offset) const {
        for (uint16_t i = 0; i < sectionCount; ++i) {
            const size_t s = sections + 40u * i;
            uint32_t virtualSize = 0, address = 0, rawSize = 0, rawPointer = 0;
            if (!Read32(s + 8, &virtualSize) || !Read32(s + 12, &address) || !Read32(s + 16, &rawSize) ||
                !Read32(s + 20, &rawPointer))
                return false;
            const uint32_t span = virtualSize > rawSize ? virtualSize : rawSize;
            if (rva >= address && rva < address + span) {
                *offset = rva - address + rawPointer;
                return *offset < bytes.size();
            }
        }
        return false;
    }
    bool String(uint32_t rva, std::string* text) const {
        size_t offset = 0;
        if (!Offset(rva, &offset)) return false;
        const auto end = std::find(bytes.begin() + offset, bytes.end(), uint8_t{0});
        if (end == bytes.end()) return false;
        text->assign(bytes.begin() + offset, end);
        return true;
    }
};

}  // namespace

bool ReadPeExports(const std::wstring& path, PeExports* exports) {
    std::ifstream file(std::string(path.begin(), path.end()), std::ios::binary);
    if (!file) return false;
    Image image;
    image.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    uint32_t pe = 0, signature = 0;
    uint16_t optionalSize = 0, magic = 0;
    if (!image.Read32(0x3C, &pe) || !image.Read32(pe, &signature) || signature != 0x00004550) return false;
    if (!image.Read16(pe + 6, &image.sectionCount) || !image.Read16(pe + 20, &optionalSize)) return false;
    const size_t optional = pe + 24;
    image.sections = static_cast<uint32_t>(optional + optionalSize);
    if (!image.Read16(optional, &magic)) return false;
    // Data directory 0 (exports) sits at 96 in a PE32 optional header, 112 in PE32+.
    uint32_t exportRva = 0;
    if (!image.Read32(optional + (magic == 0x20B ? 112 : 96), &exportRva) || exportRva == 0) return false;
    size_t directory = 0;
    uint32_t nameRva = 0, nameCount = 0, namesRva = 0;
    if (!image.Offset(exportRva, &directory) || !image.Read32(directory + 12, &nameRva) ||
        !image.Read32(directory + 24, &nameCount) || !image.Read32(directory + 32, &namesRva))
        return false;
    if (!image.String(nameRva, &exports->moduleName)) return false;
    size_t names = 0;
    if (nameCount && !image.Offset(namesRva, &names)) return false;
    exports->names.clear();
    for (uint32_t i = 0; i < nameCount; ++i) {
        uint32_t rva = 0;
        std::string name;
        if (!image.Read32(names + 4u * i, &rva) || !image.String(rva, &name)) return false;
        exports->names.push_back(name);
    }
    return true;
}
