// File-side helpers of the snapshot tests: scratch folders, request records,
// and readers for the BMP and JPEG files the filter writes. The readers use
// the Win32 header structures, not the filter's own writer code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "filters/snapshot/snapshot_api.h"

namespace snapshot_test {

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

SnapshotRequest MakeRequest(const std::string& path, uint32_t format, int32_t quality = 90);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes);
bool FileExists(const std::string& path);

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

}  // namespace snapshot_test
