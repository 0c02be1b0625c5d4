#include "app_toolkit/tests/bitmap_files.h"

#include <vector>

bool WriteTwoToneBitmap(LPCWSTR path, int width, int height, COLORREF top, COLORREF bottom) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    for (int row = 0; row < height; ++row) {
        // Rows are stored bottom-up.
        const COLORREF colour = (height - 1 - row) < height / 2 ? top : bottom;
        BYTE* p = &pixels[static_cast<size_t>(row) * stride];
        for (int x = 0; x < width; ++x) {
            p[3 * x] = GetBValue(colour);
            p[3 * x + 1] = GetGValue(colour);
            p[3 * x + 2] = GetRValue(colour);
        }
    }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());

    HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, &file, sizeof file, &written, nullptr) && WriteFile(h, &info, sizeof info, &written, nullptr) &&
              WriteFile(h, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(h);
    return ok;
}
