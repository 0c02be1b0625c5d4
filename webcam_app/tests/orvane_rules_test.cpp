// Orvane's rules on the host: the chooser's list and index mapping, the
// scroll bar's arithmetic, the peer's position message and the thumbnail file.
#include "webcam_app/orvane_rules.h"

#include <gtest/gtest.h>

namespace {

using namespace orvane;

TEST(DeviceChooser, LeavesOutTheVirtualWebcamAndMapsShownEntriesToEngineIndices) {
    const wchar_t list[] = L"Cam A\nTalvoro Pelloquin\nCam B\ntalvoro pelloquin\nhalf a name";
    const std::vector<std::wstring> devices = SplitDeviceList(list, 512);
    ASSERT_EQ(devices, (std::vector<std::wstring>{L"Cam A", L"Talvoro Pelloquin", L"Cam B", L"talvoro pelloquin"}));
    const ChooserList chooser = BuildChooserList(devices);
    EXPECT_EQ(chooser.shown, (std::vector<std::wstring>{L"Cam A", L"Cam B", L"talvoro pelloquin"}));
    EXPECT_EQ(chooser.engineIndex, (std::vector<int>{0, 2, 3}));

    // A name longer than any fixed copy buffer stays whole.
    const std::wstring longName(150, L'x');
    const std::wstring text = L"Talvoro Pelloquin\n" + longName + L"\n";
    const ChooserList second = BuildChooserList(SplitDeviceList(text.c_str(), 512));
    ASSERT_EQ(second.shown.size(), 1u);
    EXPECT_EQ(second.shown[0], longName);
    EXPECT_EQ(second.engineIndex[0], 1);
    EXPECT_TRUE(BuildChooserList(SplitDeviceList(L"", 512)).shown.empty());
}

TEST(SkinChoice, CyclesThroughThreeAndDrawsAStrayIndexWithTheFirstSkin) {
    EXPECT_EQ(NextSkin(0), 1);
    EXPECT_EQ(NextSkin(1), 2);
    EXPECT_EQ(NextSkin(2), 0);
    EXPECT_EQ(NextSkin(-5), -1);  // a stored negative index keeps counting as it did
    EXPECT_STREQ(SkinFolder(1), L"\\Ferrow");
    EXPECT_STREQ(SkinFolder(2), L"\\Tavel");
    EXPECT_STREQ(SkinFolder(-1), L"\\BaseSkin");
    EXPECT_STREQ(SkinFolder(7), L"\\BaseSkin");
}

TEST(ScrollBar, ThumbPercentAndListsFollowTheTrack) {
    const int h = 500, bottom = TrackBottom(h);  // track 41..423
    EXPECT_EQ(ClampThumb(1000, bottom), bottom - 16);
    EXPECT_EQ(ClampThumb(10, bottom), 41);
    EXPECT_EQ(PercentOfThumb(41, bottom), 0);
    EXPECT_EQ(PercentOfThumb(bottom - 16, bottom), (bottom - 16 - 41) * 100 / (bottom - 41));
    EXPECT_EQ(ThumbOfPercent(h, 50), (h - 118) / 2 + 41);
    EXPECT_EQ(RowsThatFit(h), 4);
    EXPECT_EQ(FirstVisible(13, 95, 4), 9);   // never past the last full page
    EXPECT_EQ(FirstVisible(13, 30, 4), 3);
    EXPECT_EQ(FirstVisible(3, 100, 5), 0);   // a short list never scrolls
    // The effect panel: a tall one moves up until its bottom shows; a short
    // one sits on the bottom of the list area at any position above 0.
    EXPECT_EQ(PanelTop(460, 382, 0), 0);
    EXPECT_EQ(PanelTop(460, 382, 10), -46);
    EXPECT_EQ(PanelTop(460, 382, 90), -78);
    EXPECT_EQ(PanelTop(300, 382, 10), 82);
}

TEST(PeerPosition, UnpacksRightTopBottomAndDocksWithinTwentyPixels) {
    const PeerPosition p = DecodePeerPosition((100u << 16) | 50u, (700u << 16) | 550u);
    EXPECT_EQ(p.right, 700);
    EXPECT_EQ(p.top, 50);
    EXPECT_EQ(p.bottom, 550);
    const PeerPosition above = DecodePeerPosition(65526u, 300u);  // top -10
    EXPECT_EQ(above.top, -10);
    EXPECT_TRUE(DocksAt(700, 720));
    EXPECT_TRUE(DocksAt(700, 680));
    EXPECT_FALSE(DocksAt(700, 721));
}

TEST(FrameFiles, ThumbnailFileHasTheBitmapHeaderAndBottomRowFirst) {
    std::vector<uint8_t> rgb(kThumbPixelBytes);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7 + i / 336);
    std::vector<uint8_t> bgr = rgb;
    SwapRedBlue(bgr.data(), bgr.size() / 3);
    EXPECT_EQ(bgr[0], rgb[2]);
    EXPECT_EQ(bgr[2], rgb[0]);
    const std::vector<uint8_t> file = ThumbnailFile(bgr.data());
    ASSERT_EQ(file.size(), 26934u);
    const uint8_t header[54] = {'B', 'M', 0x36, 0x69, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                112, 0, 0, 0, 80, 0, 0, 0, 1, 0, 24, 0};
    EXPECT_TRUE(std::equal(header, header + 54, file.begin()));
    // The file's first row is the picture's last.
    EXPECT_TRUE(std::equal(bgr.end() - 336, bgr.end(), file.begin() + 54));
    EXPECT_TRUE(std::equal(bgr.begin(), bgr.begin() + 336, file.end() - 336));

    EXPECT_EQ(ThumbnailName(L"heart.gif"), L"heart.bmp");
    EXPECT_EQ(KindOfAddedFile(L"e.gif"), FrameKind::kGif);
    EXPECT_EQ(KindOfAddedFile(L"X.GIF"), FrameKind::kNone);
    EXPECT_EQ(KindOfAddedFile(L"a.swf"), FrameKind::kFlash);
    EXPECT_EQ(KindOfAddedFile(L"p.bmp"), FrameKind::kPicture);
}

TEST(FrameZones, BottomEdgeResizesAndSideStripsDrag) {
    // Window (100, 50) to (290, 650).
    EXPECT_EQ(HitTestZone(100, 50, 290, 650, 150, 640), HitZone::kBottom);
    EXPECT_EQ(HitTestZone(100, 50, 290, 650, 287, 640), HitZone::kCaption);  // the bottom zone stops 20 short
    EXPECT_EQ(HitTestZone(100, 50, 290, 650, 280, 640), HitZone::kNone);
    EXPECT_EQ(HitTestZone(100, 50, 290, 650, 110, 300), HitZone::kCaption);
    EXPECT_EQ(HitTestZone(100, 50, 290, 650, 287, 300), HitZone::kCaption);
    EXPECT_EQ(HitTestZone(100, 50, 290, 650, 200, 300), HitZone::kNone);
}

}  // namespace
