#include "capture_app/skin_layout.h"

#include "capture_app/resource.h"

namespace {

// Frame margins around the preview: the top bar, the side borders and the bottom bar.
constexpr int kSideBorder = 21;
constexpr int kTopBar = 35;
constexpr int kBottomBar = 94;

SkinPiece Block(const wchar_t* file, int x, int y, int w, int h) { return {file, x, y, w, h, 0, 0, false}; }
SkinPiece TileX(const wchar_t* file, int y, int w, int h, int from, int to) { return {file, 0, y, w, h, from, to, false}; }
SkinPiece TileY(const wchar_t* file, int x, int w, int h, int from, int to) { return {file, x, 0, w, h, from, to, true}; }

void AddNarrowBar(const LayoutRect& c, int mid, std::vector<SkinPiece>* pieces) {
    const int y = c.bottom - kBottomBar;
    pieces->push_back(Block(L"\\bottom\\BottomLeft11.BMP", c.left, y, 20, 94));
    pieces->push_back(Block(L"\\bottom\\BottomLeft2.BMP", 20, y, 88, 94));
    pieces->push_back(Block(L"\\bottom\\BottomCenter2.BMP", mid - 103, y, 205, 94));
    pieces->push_back(TileX(L"\\bottom\\BottomFill2.BMP", y, 2, 94, 108, mid - 103));
    pieces->push_back(TileX(L"\\bottom\\BottomFill2.BMP", y, 2, 94, mid + 102, c.right - 111));
    pieces->push_back(Block(L"\\bottom\\BottomRight1.BMP", c.right - 25, y, 25, 94));
    pieces->push_back(Block(L"\\bottom\\BottomRight2.BMP", c.right - 111, y, 94, 94));
}

void AddWideBar(const LayoutRect& c, int mid, std::vector<SkinPiece>* pieces) {
    const int y = c.bottom - kBottomBar;
    pieces->push_back(Block(L"\\bottom\\BottomLeft11.BMP", c.left, y, 20, 94));
    pieces->push_back(Block(L"\\bottom\\BottomLeft2.BMP", mid - 274, y, 88, 94));
    pieces->push_back(TileX(L"\\bottom\\BottomFill1.BMP", y, 2, 94, 20, mid - 274));
    pieces->push_back(Block(L"\\bottom\\BottomRight1.BMP", c.right - 25, y, 25, 94));
    pieces->push_back(Block(L"\\bottom\\BottomRight2.BMP", mid + 186, y, 94, 94));
    pieces->push_back(TileX(L"\\bottom\\BottomFill1.BMP", y, 2, 94, mid + 280, c.right - 25));
    pieces->push_back(Block(L"\\bottom\\BottomCenter1.BMP", mid - 150, y, 288, 94));
    pieces->push_back(TileX(L"\\bottom\\BottomFill2.BMP", y, 2, 94, mid - 186, mid - 150));
    pieces->push_back(TileX(L"\\bottom\\BottomFill2.BMP", y, 2, 94, mid + 138, mid + 186));
}

}  // namespace

LayoutRect PreviewRect(const LayoutRect& c) {
    return {c.left + kSideBorder, c.top + kTopBar, c.right - kSideBorder, c.bottom - kBottomBar};
}

bool IsNarrowBar(const LayoutRect& client) { return client.right < kWideBarMinWidth; }

std::vector<ControlPlacement> ButtonPlacements(const LayoutRect& c) {
    const int mid = c.right / 2;
    return {
        {IDC_BTN_HELP, {c.right - 67, c.top + 7}},
        {IDC_BTN_MIN, {c.right - 49, c.top + 7}},
        {IDC_BTN_CLOSE, {c.right - 29, c.top + 8}},
        {IDC_BTN_EFFECT, {c.left + 21, c.bottom - 94}},
        {IDC_BTN_BROWSE, {mid - 150, c.bottom - 48}},
        {IDC_BTN_RECORD, {mid - 101, c.bottom - 48}},
        {IDC_BTN_SNAP, {mid - 25, c.bottom - 60}},
        {IDC_BTN_AUTOSNAP, {mid + 22, c.bottom - 48}},
        {IDC_BTN_SETUP, {mid + 112, c.bottom - 48}},
        {IDC_BTN_POPUP, {c.right - 30, c.bottom - 28}},
        {IDC_BTN_LOGO, {21, c.top + 1}},
        {IDC_COMBO_SIZE, {c.right - 130, c.bottom - 90}},
    };
}

std::vector<ControlPlacement> InitialButtonPlacements() {
    return {
        {IDC_BTN_HELP, {613, 7}},    {IDC_BTN_MIN, {631, 7}},      {IDC_BTN_CLOSE, {651, 8}},
        {IDC_BTN_EFFECT, {21, 522}}, {IDC_BTN_BROWSE, {190, 566}}, {IDC_BTN_RECORD, {239, 566}},
        {IDC_BTN_SNAP, {315, 554}},  {IDC_BTN_AUTOSNAP, {362, 566}}, {IDC_BTN_SETUP, {452, 566}},
        {IDC_BTN_POPUP, {651, 586}},
    };
}

std::vector<SkinPiece> FramePieces(const LayoutRect& c) {
    const int mid = c.right / 2;
    std::vector<SkinPiece> pieces = {
        Block(L"\\top\\TopLeft.BMP", c.left, c.top, 21, 36),
        TileX(L"\\top\\TopCenter.BMP", c.top, 2, 36, 295, c.right - 70),
        Block(L"\\top\\TopRight.BMP", c.right - 70, c.top, 70, 36),
        Block(L"\\top\\About.BMP", c.left + 21, c.top, 274, 35),
        TileY(L"\\center\\CenterLeft2.BMP", c.left, 21, 2, c.top + 36, c.bottom - 93),
        TileY(L"\\center\\CenterRight2.BMP", c.right - 21, 21, 2, c.top + 36, c.bottom - 93),
    };
    if (IsNarrowBar(c))
        AddNarrowBar(c, mid, &pieces);
    else
        AddWideBar(c, mid, &pieces);
    pieces.push_back(Block(L"\\bottom\\Effect.BMP", c.left, c.bottom - kBottomBar, 75, 26));
    return pieces;
}

std::vector<LayoutPoint> PieceBlocks(const SkinPiece& piece) {
    if (piece.start == piece.end) return {{piece.x, piece.y}};
    std::vector<LayoutPoint> blocks;
    for (int at = piece.start; at < piece.end; at += 2)
        blocks.push_back(piece.vertical ? LayoutPoint{piece.x, at} : LayoutPoint{at, piece.y});
    return blocks;
}

ResizeZone HitTestResizeZone(const LayoutRect& w, LayoutPoint p) {
    constexpr int kGrip = 20;
    if (p.x < w.left || p.x >= w.right || p.y < w.top || p.y >= w.bottom) return ResizeZone::kNone;
    const bool rightStrip = p.x >= w.right - kGrip;
    const bool bottomStrip = p.y >= w.bottom - kGrip;
    if (rightStrip && bottomStrip) return ResizeZone::kBottomRight;
    if (rightStrip) return ResizeZone::kRight;
    if (bottomStrip) return ResizeZone::kBottom;
    return ResizeZone::kNone;
}

PeerPositionParams PackPostedPosition(const LayoutRect& w) {
    // Unsigned arithmetic: negative co-ordinates (a window partly off screen)
    // wrap as the receiver expects instead of overflowing.
    const auto hi = [](int v) { return static_cast<std::uint32_t>(v) << 16; };
    return {hi(w.left) | (static_cast<std::uint32_t>(w.top) & 0xFFFFu),
            hi(w.right) | (static_cast<std::uint32_t>(w.bottom) & 0xFFFFu)};
}

PeerPositionParams PackSentPosition(const LayoutRect& w) {
    const auto pack = [](int high, int low) {
        return static_cast<std::uint32_t>(high) * 65536u + static_cast<std::uint32_t>(low);
    };
    return {pack(w.left, w.top), pack(w.right, w.bottom)};
}
