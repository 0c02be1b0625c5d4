#include "capture_app/skin_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

#include "capture_app/resource.h"

namespace {

LayoutPoint PlaceOf(const std::vector<ControlPlacement>& places, int id) {
    for (const ControlPlacement& p : places)
        if (p.id == id) return p.position;
    ADD_FAILURE() << "no placement for " << id;
    return {-1, -1};
}

bool HasPiece(const std::vector<SkinPiece>& pieces, const wchar_t* file) {
    return std::any_of(pieces.begin(), pieces.end(), [&](const SkinPiece& p) { return std::wcscmp(p.file, file) == 0; });
}

const SkinPiece& FirstPiece(const std::vector<SkinPiece>& pieces, const wchar_t* file) {
    return *std::find_if(pieces.begin(), pieces.end(), [&](const SkinPiece& p) { return std::wcscmp(p.file, file) == 0; });
}

TEST(SkinLayout, PreviewLeavesTheFrameMarginsAround) {
    const LayoutRect preview = PreviewRect({0, 0, 681, 615});
    EXPECT_EQ(preview.left, 21);
    EXPECT_EQ(preview.top, 35);
    EXPECT_EQ(preview.right, 660);
    EXPECT_EQ(preview.bottom, 521);
}

TEST(SkinLayout, NarrowBarBelow561HidesBrowseAndSetupPieces) {
    EXPECT_TRUE(IsNarrowBar({0, 0, 560, 400}));
    EXPECT_FALSE(IsNarrowBar({0, 0, 561, 400}));
    const auto narrow = FramePieces({0, 0, 560, 400});
    EXPECT_TRUE(HasPiece(narrow, L"\\bottom\\BottomCenter2.BMP"));
    EXPECT_FALSE(HasPiece(narrow, L"\\bottom\\BottomCenter1.BMP"));
    const auto wide = FramePieces({0, 0, 561, 400});
    EXPECT_TRUE(HasPiece(wide, L"\\bottom\\BottomCenter1.BMP"));
    EXPECT_FALSE(HasPiece(wide, L"\\bottom\\BottomCenter2.BMP"));
}

TEST(SkinLayout, WideBarCentresOnHalfTheClientWidth) {
    const auto pieces = FramePieces({0, 0, 681, 615});
    const SkinPiece& centre = FirstPiece(pieces, L"\\bottom\\BottomCenter1.BMP");
    EXPECT_EQ(centre.x, 340 - 150);
    EXPECT_EQ(centre.y, 615 - 94);
    EXPECT_EQ(centre.width, 288);
    const SkinPiece& right = FirstPiece(pieces, L"\\bottom\\BottomRight2.BMP");
    EXPECT_EQ(right.x, 340 + 186);
    // Effect's plate is the last piece, over the bottom bar's corner.
    EXPECT_EQ(std::wcscmp(pieces.back().file, L"\\bottom\\Effect.BMP"), 0);
    EXPECT_EQ(pieces.back().y, 615 - 94);
}

TEST(SkinLayout, TilesStepTwoPixelsUpToTheirEnd) {
    const auto pieces = FramePieces({0, 0, 600, 400});
    const SkinPiece& top = FirstPiece(pieces, L"\\top\\TopCenter.BMP");
    const auto blocks = PieceBlocks(top);
    ASSERT_FALSE(blocks.empty());
    EXPECT_EQ(blocks.front().x, 295);
    EXPECT_EQ(blocks.back().x, 529);  // last step below 600 - 70
    EXPECT_EQ(blocks.size(), static_cast<size_t>((530 - 295) / 2 + 1));
    const SkinPiece& left = FirstPiece(pieces, L"\\center\\CenterLeft2.BMP");
    const auto down = PieceBlocks(left);
    EXPECT_EQ(down.front().y, 36);
    EXPECT_EQ(down.front().x, 0);
    EXPECT_LT(down.back().y, 400 - 93);
}

TEST(SkinLayout, TileWhoseStartIsNotBelowItsEndDrawsNothing) {
    // At the minimum width the top fill starts past the right corner's place.
    const auto pieces = FramePieces({0, 0, 300, 300});
    const SkinPiece& top = FirstPiece(pieces, L"\\top\\TopCenter.BMP");
    EXPECT_TRUE(PieceBlocks(top).empty());
    const SkinPiece block{L"x", 5, 7, 2, 2, 0, 0, false};
    ASSERT_EQ(PieceBlocks(block).size(), 1u);
    EXPECT_EQ(PieceBlocks(block)[0].x, 5);
}

TEST(SkinLayout, ButtonsFollowTheRightEdgeAndTheCentre) {
    const auto places = ButtonPlacements({0, 0, 681, 615});
    EXPECT_EQ(PlaceOf(places, IDC_BTN_CLOSE).x, 652);
    EXPECT_EQ(PlaceOf(places, IDC_BTN_CLOSE).y, 8);
    EXPECT_EQ(PlaceOf(places, IDC_BTN_SNAP).x, 340 - 25);
    EXPECT_EQ(PlaceOf(places, IDC_BTN_SNAP).y, 615 - 60);
    EXPECT_EQ(PlaceOf(places, IDC_BTN_POPUP).x, 651);
    EXPECT_EQ(PlaceOf(places, IDC_COMBO_SIZE).y, 615 - 90);
    EXPECT_EQ(PlaceOf(places, IDC_BTN_LOGO).x, 21);
    EXPECT_EQ(places.size(), 12u);
    EXPECT_EQ(InitialButtonPlacements().size(), 10u);
}

TEST(SkinLayout, ResizeZonesOnlyRightBottomAndTheCorner) {
    const LayoutRect w{100, 50, 600, 450};
    EXPECT_EQ(HitTestResizeZone(w, {599, 449}), ResizeZone::kBottomRight);
    EXPECT_EQ(HitTestResizeZone(w, {580, 430}), ResizeZone::kBottomRight);
    EXPECT_EQ(HitTestResizeZone(w, {579, 430}), ResizeZone::kBottom);
    EXPECT_EQ(HitTestResizeZone(w, {580, 429}), ResizeZone::kRight);
    EXPECT_EQ(HitTestResizeZone(w, {590, 50}), ResizeZone::kRight);
    EXPECT_EQ(HitTestResizeZone(w, {100, 440}), ResizeZone::kBottom);
    EXPECT_EQ(HitTestResizeZone(w, {105, 60}), ResizeZone::kNone);   // left and top edges do not resize
    EXPECT_EQ(HitTestResizeZone(w, {579, 429}), ResizeZone::kNone);
    EXPECT_EQ(HitTestResizeZone(w, {600, 449}), ResizeZone::kNone);  // outside
}

TEST(SkinLayout, PeerPositionPostedCutsLowWordsSentDoesNot) {
    const LayoutRect w{10, 20, 700, 600};
    const PeerPositionParams posted = PackPostedPosition(w);
    EXPECT_EQ(posted.wParam, 10u * 65536u + 20u);
    EXPECT_EQ(posted.lParam, 700u * 65536u + 600u);
    EXPECT_EQ(PackSentPosition(w).wParam, posted.wParam);
    // A window above the screen: the posted top keeps 16 bits, the sent one borrows from left.
    const LayoutRect above{10, -5, 700, 600};
    EXPECT_EQ(PackPostedPosition(above).wParam, 10u * 65536u + 0xFFFBu);
    EXPECT_EQ(PackSentPosition(above).wParam, 9u * 65536u + 0xFFFBu);
}

}  // namespace
