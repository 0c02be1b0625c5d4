// Geometry of the skinned main window: the preview rectangle, where frame
// pieces and buttons go, the resize zones and the packed window rectangle
// sent to the peer. Pure arithmetic on client/window rectangles. Portable.
#pragma once

#include <cstdint>
#include <vector>

struct LayoutRect {
    int left, top, right, bottom;
};
struct LayoutPoint {
    int x, y;
};

// Clients narrower than this get the narrow bottom bar without Browse and Setup.
inline constexpr int kWideBarMinWidth = 561;
// The size list runs from 130 px left of the client's right edge up to the
// bottom bar's right border piece (25 px), whatever the dialog font makes of
// the template's width.
inline constexpr int kSizeComboWidth = 105;
// Smallest window the user can size it to.
inline constexpr int kMinTrackWidth = 455;
inline constexpr int kMinTrackHeight = 353;

// The part of the client area the video covers; the skin never paints there.
LayoutRect PreviewRect(const LayoutRect& client);

bool IsNarrowBar(const LayoutRect& client);

struct ControlPlacement {
    int id;
    LayoutPoint position;
};

// Top-left corners of every control for a client rectangle, in LayoutButtons order.
std::vector<ControlPlacement> ButtonPlacements(const LayoutRect& client);
// Where the command buttons sit before the first paint.
std::vector<ControlPlacement> InitialButtonPlacements();

// One frame bitmap blit. start == end: one block at (x, y); otherwise blocks
// every 2 pixels from start up to end (exclusive) along x, or along y when
// vertical, the other co-ordinate fixed.
struct SkinPiece {
    const wchar_t* file;  // below the skin folder, beginning with a backslash
    int x, y, width, height;
    int start, end;
    bool vertical;
};

// Every piece in drawing order, the narrow or wide bottom bar by width.
std::vector<SkinPiece> FramePieces(const LayoutRect& client);

// Top-left corners every block of a piece is copied to.
std::vector<LayoutPoint> PieceBlocks(const SkinPiece& piece);

enum class ResizeZone { kNone, kRight, kBottom, kBottomRight };

// Which resize zone a screen point falls in, for the window rectangle.
ResizeZone HitTestResizeZone(const LayoutRect& window, LayoutPoint screen);

// WM_PEER_POSITION's wParam (left, top) and lParam (right, bottom).
struct PeerPositionParams {
    std::uint32_t wParam, lParam;
};
// Posted after WM_SIZE: top and bottom cut to their low 16 bits.
PeerPositionParams PackPostedPosition(const LayoutRect& window);
// Sent after WM_MOVE: coordinate * 65536 + coordinate, unmasked.
PeerPositionParams PackSentPosition(const LayoutRect& window);
