#include "capture_app/assets/tests/asset_files.h"

#include "capture_app/text_slots.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace assets {

const std::vector<SkinBitmap>& FramePieces() {
    static const std::vector<SkinBitmap> pieces = {
        {"top\\TopLeft.BMP", 21, 36},           {"top\\TopCenter.BMP", 2, 36},
        {"top\\TopRight.BMP", 70, 36},          {"top\\About.BMP", 274, 35},
        {"center\\CenterLeft2.BMP", 21, 2},     {"center\\CenterRight2.BMP", 21, 2},
        {"bottom\\BottomLeft11.BMP", 20, 94},   {"bottom\\BottomLeft2.BMP", 88, 94},
        {"bottom\\BottomFill1.BMP", 2, 94},     {"bottom\\BottomFill2.BMP", 2, 94},
        {"bottom\\BottomCenter1.BMP", 288, 94}, {"bottom\\BottomCenter2.BMP", 205, 94},
        {"bottom\\BottomRight1.BMP", 25, 94},   {"bottom\\BottomRight2.BMP", 94, 94},
        {"bottom\\Effect.BMP", 75, 26},
    };
    return pieces;
}

const std::vector<std::string>& ButtonNames() {
    static const std::vector<std::string> names = {"Help",   "Min",    "Close", "Effect",   "Browse",
                                                   "Record", "Snap",   "AutoSnap", "Setup", "Popup"};
    return names;
}

const std::vector<TextKey>& ResourceKeys() {
    // The program's own table: the data has to fill exactly what it reads.
    static const std::vector<TextKey> keys = [] {
        std::vector<TextKey> all;
        for (int slot = 0; slot < kTextSlotCount; ++slot) {
            const TextSlotKey source = TextSlotSource(slot);
            all.push_back({source.section, source.key});
        }
        return all;
    }();
    return keys;
}

std::string ReadBytes(const std::string& path, bool* ok) {
    std::ifstream in(path, std::ios::binary);
    if (ok) *ok = static_cast<bool>(in);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

std::uint32_t U32(const std::string& b, size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
std::uint16_t U16(const std::string& b, size_t at) {
    std::uint16_t v = 0;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}

}  // namespace

BmpFacts InspectBmp(const std::string& bytes) {
    BmpFacts facts;
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) {
        facts.problem = "no BMP file header";
        return facts;
    }
    const auto width = static_cast<std::int32_t>(U32(bytes, 18));
    const auto height = static_cast<std::int32_t>(U32(bytes, 22));
    const std::uint32_t offset = U32(bytes, 10);
    if (U32(bytes, 2) != bytes.size()) facts.problem = "file size field differs from the file";
    else if (U32(bytes, 14) != 40) facts.problem = "not a BITMAPINFOHEADER";
    else if (U16(bytes, 26) != 1 || U16(bytes, 28) != 24) facts.problem = "not 24 bits per pixel";
    else if (U32(bytes, 30) != 0) facts.problem = "compressed";
    else if (width <= 0 || height == 0) facts.problem = "empty picture";
    else {
        const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
        const size_t rows = static_cast<size_t>(height < 0 ? -height : height);
        if (offset < 54 || offset + rowBytes * rows > bytes.size()) facts.problem = "pixel data cut short";
    }
    if (!facts.problem.empty()) return facts;
    facts.valid = true;
    facts.width = width;
    facts.height = height < 0 ? -height : height;
    return facts;
}

unsigned PixelAt(const std::string& bytes, int x, int y) {
    const auto width = static_cast<std::int32_t>(U32(bytes, 18));
    const auto height = static_cast<std::int32_t>(U32(bytes, 22));
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const int row = height < 0 ? y : height - 1 - y;
    const size_t at = U32(bytes, 10) + rowBytes * static_cast<size_t>(row) + 3 * static_cast<size_t>(x);
    const auto byte = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
    return byte(at + 2) << 16 | byte(at + 1) << 8 | byte(at);
}

std::string InProgramDir(const std::string& relative) {
    std::string path = std::string(SNAPORY_DIR) + "/" + relative;
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

}  // namespace assets
