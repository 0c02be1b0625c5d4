#include "testing/graph_support/test_files.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "dshow_base/com_ptr.h"

#include "pixel_formats/pixel_format.h"
#include "test_signals/test_pattern.h"

namespace graph_test {

TempFolder::TempFolder() {
    char base[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, base);
    if (length == 0 || length >= MAX_PATH) return;
    static LONG counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = std::string(base) + "graphtest-" + std::to_string(GetCurrentProcessId()) +
                                      "-" + std::to_string(InterlockedIncrement(&counter));
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    if (path_.empty()) return;
    for (const std::string& name : Names()) {
        const std::string full = File(name);
        if (!DeleteFileA(full.c_str())) RemoveDirectoryA(full.c_str());
    }
    RemoveDirectoryA(path_.c_str());
}

std::vector<std::string> TempFolder::Names() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void EmptyFolder(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((path + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    if (ok) {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes->empty() || (ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
                                read == bytes->size());
    }
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring OutputPath(const wchar_t* fileName) {
    const char* dir = std::getenv("WEBCAM_TEST_OUT");
    if (dir) return std::wstring(dir, dir + std::strlen(dir)) + L"\\" + fileName;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + fileName;
}

std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ParseBmp(const std::vector<uint8_t>& bytes, BmpFile* bmp) {
    if (bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return false;
    std::memcpy(&bmp->file, bytes.data(), sizeof bmp->file);
    std::memcpy(&bmp->info, bytes.data() + sizeof bmp->file, sizeof bmp->info);
    if (bmp->file.bfType != 0x4D42 || bmp->file.bfOffBits > bytes.size()) return false;
    bmp->pixels.assign(bytes.begin() + bmp->file.bfOffBits, bytes.end());
    bmp->fileBytes = bytes.size();
    return true;
}

bool LoadBmp(const std::string& path, BmpFile* bmp) {
    std::vector<uint8_t> bytes;
    return ReadWholeFile(path, &bytes) && ParseBmp(bytes, bmp);
}

std::optional<uint32_t> BmpFrameCounter(const BmpFile& bmp) {
    if (bmp.info.biBitCount != 24 || bmp.info.biCompression != BI_RGB) return std::nullopt;
    return test_signals::DecodeFrameCounter(bmp.pixels.data(), bmp.pixels.size(), pixel_formats::PixelFormat::kRgb24,
                                            bmp.info.biWidth, bmp.info.biHeight);
}

bool JpegDimensions(const std::vector<uint8_t>& bytes, int* width, int* height) {
    const size_t n = bytes.size();
    if (n < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[n - 2] != 0xFF || bytes[n - 1] != 0xD9) return false;
    size_t at = 2;
    while (at + 4 <= n && bytes[at] == 0xFF) {
        const uint8_t marker = bytes[at + 1];
        const size_t length = static_cast<size_t>(bytes[at + 2]) << 8 | bytes[at + 3];
        // Baseline, extended and progressive frames: height, then width after the precision byte.
        if ((marker == 0xC0 || marker == 0xC1 || marker == 0xC2) && at + 9 <= n) {
            *height = bytes[at + 5] << 8 | bytes[at + 6];
            *width = bytes[at + 7] << 8 | bytes[at + 8];
            return true;
        }
        at += 2 + length;
    }
    return false;
}

namespace {

HRESULT EncodedSize(IWICImagingFactory* factory, const std::vector<uint8_t>& bgr, UINT side, float quality,
                    ULONGLONG* size) {
    ComPtr<IWICBitmapEncoder> encoder;
    RETURN_IF_FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.Put()));
    ComPtr<IStream> stream;
    RETURN_IF_FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    RETURN_IF_FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    RETURN_IF_FAILED(encoder->CreateNewFrame(frame.Put(), options.Put()));
    PROPBAG2 name = {};
    name.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = quality;
    RETURN_IF_FAILED(options->Write(1, &name, &value));
    RETURN_IF_FAILED(frame->Initialize(options.Get()));
    RETURN_IF_FAILED(frame->SetSize(side, side));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    RETURN_IF_FAILED(frame->SetPixelFormat(&format));
    RETURN_IF_FAILED(frame->WritePixels(side, side * 3, static_cast<UINT>(bgr.size()), const_cast<BYTE*>(bgr.data())));
    RETURN_IF_FAILED(frame->Commit());
    RETURN_IF_FAILED(encoder->Commit());
    STATSTG stat = {};
    RETURN_IF_FAILED(stream->Stat(&stat, STATFLAG_NONAME));
    *size = stat.cbSize.QuadPart;
    return S_OK;
}

}  // namespace

bool PlatformJpegHonoursQuality() {
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.PutVoid()))) {
        return false;
    }
    const UINT side = 64;
    std::vector<uint8_t> bgr(side * side * 3);
    uint32_t state = 12345;
    for (uint8_t& b : bgr) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(state >> 24);
    }
    ULONGLONG low = 0, high = 0;
    return SUCCEEDED(EncodedSize(factory.Get(), bgr, side, 0.1f, &low)) &&
           SUCCEEDED(EncodedSize(factory.Get(), bgr, side, 0.95f, &high)) && low < high;
}

double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace graph_test
