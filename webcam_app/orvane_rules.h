// Orvane's arithmetic and list rules, free of any window code: the device
// chooser's list, the skin folders, the panel's scroll bar and list geometry,
// the capture application's position message and the thumbnail file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

// The virtual webcam's own device, never offered as the picture's source.
inline constexpr wchar_t kVirtualDeviceName[] = L"Talvoro Pelloquin";

// The engine's device list "Name1\nName2\n\0" as names; characters after the
// last line feed are no name. Reads at most `units` characters.
std::vector<std::wstring> SplitDeviceList(const wchar_t* buffer, size_t units);

// The chooser's entries and, for each, the device's index in the engine's order.
struct ChooserList {
    std::vector<std::wstring> shown;
    std::vector<int> engineIndex;
};
ChooserList BuildChooserList(const std::vector<std::wstring>& devices);

// Skin folder below the application folder for a skin index. An index
// outside 0..2 (only a stored negative one) draws with the first skin.
const wchar_t* SkinFolder(int skin);
// The Skin button's rule: signed remainder, so a negative index stays negative.
int NextSkin(int skin);

// List area and scroll bar of a client area of height h.
inline constexpr int kListTop = 41;
inline constexpr int kListLeft = 36;
inline constexpr int kEntryPitch = 90;
inline constexpr int kThumbHeight = 16;
int ListHeight(int clientHeight);            // h - 118
int TrackBottom(int clientHeight);           // h - 77
int RowsThatFit(int clientHeight);
// The thumb's top for a pointer at y, kept on the track.
int ClampThumb(int y, int trackBottom);
int PercentOfThumb(int thumbY, int trackBottom);
int ThumbOfPercent(int clientHeight, int percent);
// First visible entry of a list of n entries.
int FirstVisible(int n, int percent, int rowsThatFit);
// Top of the effect panel of height h inside the list area.
int PanelTop(int panelHeight, int listHeight, int percent);

// The capture application's window rectangle as its message packs it.
struct PeerPosition {
    int right;
    int top;
    int bottom;
};
PeerPosition DecodePeerPosition(uint32_t wParam, uint32_t lParam);
// Close enough to dock: the capture window's right edge within 20 pixels of our left.
bool DocksAt(int peerRight, int ourLeft);

// Where a point of the window rectangle (l, t, r, b) acts as a frame.
enum class HitZone { kNone, kBottom, kCaption };
HitZone HitTestZone(int l, int t, int r, int b, int x, int y);

// The file kind that "+" lists: by the last three letters, case-sensitive.
enum class FrameKind { kNone, kPicture, kGif, kFlash };
FrameKind KindOfAddedFile(const std::wstring& name);

// Thumbnail of an animated frame.
inline constexpr int kThumbWidth = 112;
inline constexpr int kThumbHeightPx = 80;
inline constexpr size_t kThumbPixelBytes = kThumbWidth * kThumbHeightPx * 3;
inline constexpr size_t kThumbFileBytes = kThumbPixelBytes + 54;
// Swaps red and blue of the engine's top-down buffer in place.
void SwapRedBlue(uint8_t* pixels, size_t count);
// The whole bitmap file for a top-down blue-green-red buffer.
std::vector<uint8_t> ThumbnailFile(const uint8_t* bgrTopDown);
// The thumbnail's name for a frame file name (its last four characters cut).
std::wstring ThumbnailName(const std::wstring& frameName);

}  // namespace orvane
