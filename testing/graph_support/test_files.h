// The file side of the shared test support: scratch folders, the folder tests
// leave their output in, and readers for the BMP and JPEG files that filters
// and engines write. The readers use the Win32 header structures, not any
// writer's own code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>


namespace graph_test {

// A new empty folder under %TEMP%, removed with its files when done.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    // Names of everything in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

// Deletes the files of a folder (not its subfolders' contents).
void EmptyFolder(const std::string& path);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);
bool FileExists(const std::string& path);

// A file in WEBCAM_TEST_OUT (or the temporary folder), as a Windows path.
std::wstring OutputPath(const wchar_t* fileName);
// The file's bytes; empty when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::wstring& path);
bool FileExists(const std::wstring& path);

struct BmpFile {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    std::vector<uint8_t> pixels;  // from bfOffBits to the end of the file
    size_t fileBytes = 0;
};

// Reads the headers as they lie in the file; false when it is too short
// for them or does not start with "BM".
bool ParseBmp(const std::vector<uint8_t>& bytes, BmpFile* bmp);
bool LoadBmp(const std::string& path, BmpFile* bmp);

// The test pattern's frame counter in a 24-bit bottom-up BMP's pixels.
std::optional<uint32_t> BmpFrameCounter(const BmpFile& bmp);

// Size from the JPEG's start-of-frame segment; false when the data is not a
// complete JPEG (start and end markers) or has no such segment.
bool JpegDimensions(const std::vector<uint8_t>& bytes, int* width, int* height);

// Whether the platform's WIC JPEG encoder makes smaller files at a lower
// "ImageQuality", measured by encoding a noisy picture directly (Wine 8's
// encoder ignores the option; Windows' honours it).
bool PlatformJpegHonoursQuality();

// Milliseconds on the performance counter.
double NowMs();

}  // namespace graph_test
