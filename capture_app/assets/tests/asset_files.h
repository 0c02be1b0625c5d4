// What the program expects to find beside it, as its skin painting, button
// loading and text loading look for it; and a reader for the files' bytes.
#pragma once

#include <string>
#include <vector>

namespace assets {

// A skin bitmap: path below the skin folder (backslashes) and the rectangle
// the program blits from it; buttons: the size chosen for their picture.
struct SkinBitmap {
    std::string path;
    int width;
    int height;
};

// The fifteen frame pieces at the sizes the program blits.
const std::vector<SkinBitmap>& FramePieces();

// The ten command buttons by file name stem; each has four files, stem + H/U/D/X.
const std::vector<std::string>& ButtonNames();
inline constexpr char kButtonStates[] = "HUDX";

struct TextKey {
    const char* section;
    const char* key;
};
// The 43 interface texts the program reads from Resource.ini.
const std::vector<TextKey>& ResourceKeys();

// Whole file, or empty with ok false when it cannot be read.
std::string ReadBytes(const std::string& path, bool* ok = nullptr);

// The header facts of a plain 24-bit BMP file; problem says what is wrong.
struct BmpFacts {
    bool valid = false;
    std::string problem;
    int width = 0;
    int height = 0;
};
BmpFacts InspectBmp(const std::string& bytes);

// Colour 0xRRGGBB of pixel (x, y), y counted from the top, of a file that
// InspectBmp found valid.
unsigned PixelAt(const std::string& bytes, int x, int y);

// The same path with the program folder prefixed and '\' made '/'.
std::string InProgramDir(const std::string& relative);

}  // namespace assets
