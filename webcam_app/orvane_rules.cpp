#include "webcam_app/orvane_rules.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace orvane {

std::vector<std::wstring> SplitDeviceList(const wchar_t* buffer, size_t units) {
    std::vector<std::wstring> names;
    size_t start = 0;
    for (size_t i = 0; i < units && buffer[i]; ++i) {
        if (buffer[i] != L'\n') continue;
        names.emplace_back(buffer + start, buffer + i);
        start = i + 1;
    }
    return names;
}

ChooserList BuildChooserList(const std::vector<std::wstring>& devices) {
    ChooserList list;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (devices[i] == kVirtualDeviceName) continue;
        list.shown.push_back(devices[i]);
        list.engineIndex.push_back(static_cast<int>(i));
    }
    return list;
}

const wchar_t* SkinFolder(int skin) {
    switch (skin) {
    case 1: return L"\\Ferrow";
    case 2: return L"\\Tavel";
    default: return L"\\BaseSkin";
    }
}

int NextSkin(int skin) { return (skin + 1) % 3; }

int ListHeight(int clientHeight) { return clientHeight - 118; }
int TrackBottom(int clientHeight) { return clientHeight - 77; }
int RowsThatFit(int clientHeight) { return ListHeight(clientHeight) / kEntryPitch; }

int ClampThumb(int y, int trackBottom) {
    return std::max(kListTop, std::min(y, trackBottom - kThumbHeight));
}

int PercentOfThumb(int thumbY, int trackBottom) {
    const int track = trackBottom - kListTop;
    return track > 0 ? (thumbY - kListTop) * 100 / track : 0;
}

int ThumbOfPercent(int clientHeight, int percent) { return ListHeight(clientHeight) * percent / 100 + kListTop; }

int FirstVisible(int n, int percent, int rowsThatFit) {
    return std::max(0, std::min(n * percent / 100, n - rowsThatFit));
}

int PanelTop(int panelHeight, int listHeight, int percent) {
    const int offset = panelHeight * percent / 100;
    return offset > 0 ? -std::min(panelHeight - listHeight, offset) : 0;
}

PeerPosition DecodePeerPosition(uint32_t wParam, uint32_t lParam) {
    PeerPosition p;
    p.top = static_cast<int>(wParam & 0xFFFF);
    p.bottom = static_cast<int>(lParam & 0xFFFF);
    p.right = static_cast<int>((lParam >> 16) & 0xFFFF);
    // A window above the screen's top packs a negative top into 16 bits.
    if (p.top > p.bottom) p.top -= 65536;
    return p;
}

bool DocksAt(int peerRight, int ourLeft) { return std::abs(peerRight - ourLeft) <= 20; }

HitZone HitTestZone(int l, int t, int r, int b, int x, int y) {
    auto in = [x, y](int l2, int t2, int r2, int b2) { return x >= l2 && x < r2 && y >= t2 && y < b2; };
    if (in(l, b - 20, r - 20, b)) return HitZone::kBottom;
    if (in(l, t, l + 20, b) || in(r - 5, t, r, b)) return HitZone::kCaption;
    return HitZone::kNone;
}

FrameKind KindOfAddedFile(const std::wstring& name) {
    if (name.size() < 3) return FrameKind::kNone;
    const std::wstring tail = name.substr(name.size() - 3);
    if (tail == L"gif") return FrameKind::kGif;
    if (tail == L"swf") return FrameKind::kFlash;
    if (tail == L"bmp") return FrameKind::kPicture;
    return FrameKind::kNone;
}

void SwapRedBlue(uint8_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) std::swap(pixels[i * 3], pixels[i * 3 + 2]);
}

namespace {
void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    v[at] = x & 0xFF;
    v[at + 1] = (x >> 8) & 0xFF;
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    Put16(v, at, x & 0xFFFF);
    Put16(v, at + 2, x >> 16);
}
}  // namespace

std::vector<uint8_t> ThumbnailFile(const uint8_t* bgrTopDown) {
    std::vector<uint8_t> file(kThumbFileBytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<uint32_t>(kThumbFileBytes));
    Put32(file, 10, 54);
    Put32(file, 14, 40);
    Put32(file, 18, kThumbWidth);
    Put32(file, 22, kThumbHeightPx);
    Put16(file, 26, 1);
    Put16(file, 28, 24);
    const size_t row = kThumbWidth * 3;  // 336: a multiple of 4, no padding
    for (int y = 0; y < kThumbHeightPx; ++y)
        std::memcpy(&file[54 + row * y], bgrTopDown + row * (kThumbHeightPx - 1 - y), row);
    return file;
}

std::wstring ThumbnailName(const std::wstring& frameName) {
    return frameName.substr(0, frameName.size() >= 4 ? frameName.size() - 4 : 0) + L".bmp";
}

}  // namespace orvane
