// What Orvane puts on the virtual webcam's picture, read by this test as a
// second program would: a graph of its own on "Talvoro Pelloquin". Picture
// frames, animated frames, the ON toggle and every offered effect; and the
// thumbnails of the animated frames in "Frames\Temp".
#include <gtest/gtest.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "filters/virtual_camera/tests/virtual_camera_registration.h"
#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/frame_overlay.h"
#include "testing/graph_support/test_graph.h"
#include "test_devices/tests/capture_graph.h"
#include "test_signals/test_pattern.h"
#include "webcam_app/resource.h"
#include "webcam_app/tests/orvane_install.h"

namespace {

using namespace orvane_test;
using harness::FolderFiles;
using harness::ReadFileBytes;
using harness::WaitUntil;
using pixel_formats::PixelFormat;

constexpr wchar_t kCamera[] = L"Talvoro Test Camera";
constexpr int kWidth = 640, kHeight = 480;  // what the virtual webcam offers first
constexpr int kSentWidth = 320, kSentHeight = 240;  // what Orvane asks the engine for

// The virtual webcam as another program sees it.
class VirtualWebcamReader {
public:
    VirtualWebcamReader() {
        ok_ = SUCCEEDED(graph_test::BindDevice(CLSID_VideoInputDeviceCategory, L"Talvoro Pelloquin", &device_)) &&
              SUCCEEDED(graph_.Build(device_.Get())) && SUCCEEDED(graph_.Run());
    }
    ~VirtualWebcamReader() {
        if (ok_) graph_.Stop();
    }
    bool Ok() const { return ok_; }

    // The newest picture, bottom row first; empty before the first.
    std::vector<uint8_t> Latest() {
        std::vector<test_devices::ReceivedSample> samples = graph_.Samples();
        graph_.ClearSamples();
        if (!samples.empty()) last_ = std::move(samples.back().data);
        return last_;
    }

private:
    bool ok_ = false;
    ComPtr<IBaseFilter> device_;
    test_devices::CaptureGraph graph_;
    std::vector<uint8_t> last_;
};

std::optional<uint32_t> Counter(const std::vector<uint8_t>& picture) {
    return test_signals::DecodeFrameCounter(picture.data(), picture.size(), PixelFormat::kRgb24, kWidth, kHeight);
}

// Share of pixels that differ clearly from the plain test pattern of the
// same frame as the camera sent it (320 x 240, doubled on the way).
struct Difference {
    double shareChanged = 1.0;  // pixels far from the camera's picture
    double meanPerChannel = 255.0;
};

// How the picture differs from the test pattern with that counter.
Difference DifferenceFromCamera(const std::vector<uint8_t>& picture, uint32_t counter) {
    std::vector<uint8_t> sent(size_t(kSentWidth) * kSentHeight * 3);
    if (!test_signals::RenderTestPattern(counter, PixelFormat::kRgb24, kSentWidth, kSentHeight, sent.data(),
                                         sent.size()))
        return {};
    size_t changed = 0;
    uint64_t total = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t* a = &picture[(size_t(y) * kWidth + x) * 3];
            const uint8_t* b = &sent[(size_t(y / 2) * kSentWidth + x / 2) * 3];
            const int d = std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
            total += unsigned(d);
            if (d > 90) ++changed;
        }
    }
    const double pixels = double(kWidth) * kHeight;
    return {double(changed) / pixels, double(total) / (pixels * 3)};
}

bool IsPlain(const std::vector<uint8_t>& picture) {
    if (picture.size() < size_t(kWidth) * kHeight * 3) return false;
    const auto counter = Counter(picture);
    return counter && DifferenceFromCamera(picture, *counter).shareChanged < 0.03;
}

// Decorated: the camera's picture, but not plain (the code covered, much
// changed, or every pixel moved a little, as noise does).
bool IsDecorated(const std::vector<uint8_t>& picture) {
    if (picture.size() < size_t(kWidth) * kHeight * 3) return false;
    const auto counter = Counter(picture);
    if (!counter) return true;
    const Difference difference = DifferenceFromCamera(picture, *counter);
    return difference.shareChanged > 0.08 || difference.meanPerChannel > 6.0;
}

// Whether the picture (the frame file drawn at twice its size, rows bottom
// up, BGR) shows the file's pixel p in about the file's colour.
bool ShowsFilePixel(const std::vector<uint8_t>& picture, const uint8_t* rgba, size_t p, int fileWidth) {
    const int x = int(p % fileWidth) * 2, y = int(p / fileWidth) * 2;
    const uint8_t* bgr = &picture[(size_t(kHeight - 1 - y) * kWidth + x) * 3];
    return std::abs(bgr[2] - rgba[p * 4]) + std::abs(bgr[1] - rgba[p * 4 + 1]) + std::abs(bgr[0] - rgba[p * 4 + 2]) <
           60;
}

// A click on the panel's own client area, as the user's hand makes it.
void ClickClient(HWND panel, int x, int y) {
    POINT at{x, y};
    ClientToScreen(panel, &at);
    harness::MoveMouseTo(at);
    harness::PressLeftButton();
    harness::ReleaseLeftButton();
}

// Which picture of an animation a decorated virtual-webcam picture shows:
// the frame whose opaque pixels, among those where the frames differ, the
// picture matches best; -1 when none matches most of its pixels.
class AnimationMatcher {
public:
    explicit AnimationMatcher(const frame_files::FrameAnimation& animation) : animation_(animation) {
        const size_t pixels = size_t(animation.width) * animation.height;
        for (size_t p = 0; p < pixels; p += 3) {
            bool differs = false;
            for (const auto& frame : animation.frames)
                for (int c = 0; c < 4; ++c)
                    differs |= std::abs(frame.rgba[p * 4 + c] - animation.frames[0].rgba[p * 4 + c]) > 60;
            if (differs) changing_.push_back(p);
        }
    }
    size_t ChangingPixels() const { return changing_.size(); }

    int Shown(const std::vector<uint8_t>& picture) const {
        if (picture.size() < size_t(kWidth) * kHeight * 3) return -1;
        int best = -1;
        double bestShare = 0.6;
        for (size_t f = 0; f < animation_.frames.size(); ++f) {
            const std::vector<uint8_t>& rgba = animation_.frames[f].rgba;
            size_t opaque = 0, matching = 0;
            for (size_t p : changing_) {
                if (rgba[p * 4 + 3] < 255) continue;
                ++opaque;
                matching += ShowsFilePixel(picture, rgba.data(), p, animation_.width);
            }
            if (opaque >= 20 && double(matching) / opaque > bestShare) {
                bestShare = double(matching) / opaque;
                best = int(f);
            }
        }
        return best;
    }

private:
    const frame_files::FrameAnimation& animation_;
    std::vector<size_t> changing_;
};

// Share of a still frame file's opaque pixels that the picture shows in the
// file's colours (the file is drawn 1:1 on the 320 x 240 picture).
double ShareOfFrameShown(const std::vector<uint8_t>& picture, const frame_files::FrameAnimation& still) {
    if (picture.size() < size_t(kWidth) * kHeight * 3 || still.width != kSentWidth) return 0;
    const std::vector<uint8_t>& rgba = still.frames[0].rgba;
    size_t opaque = 0, matching = 0;
    for (size_t p = 0; p < size_t(still.width) * still.height; p += 7) {
        if (rgba[p * 4 + 3] < 255) continue;
        ++opaque;
        matching += ShowsFilePixel(picture, rgba.data(), p, still.width);
    }
    return opaque ? double(matching) / opaque : 0;
}

class OrvaneFrames : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(registration_.Result(), S_OK) << "registering TalvoroPelloquin.ax";
    }
    void TearDown() override { CoUninitialize(); }

    bool WaitForPicture(bool (*what)(const std::vector<uint8_t>&), VirtualWebcamReader& reader, DWORD timeoutMs) {
        return WaitUntil([&] { return what(reader.Latest()); }, timeoutMs, 100);
    }

    virtual_camera_test::ScopedVirtualCamera registration_;
};

TEST_F(OrvaneFrames, FramesOnAndEffectsReachTheVirtualWebcamsPicture) {
    OrvaneInstall orvane(L"orvane-frames");
    const double started = test_devices::Now();
    ASSERT_TRUE(orvane.Start(kCamera));
    HWND panel = orvane.Window();
    VirtualWebcamReader reader;
    ASSERT_TRUE(reader.Ok());
    ASSERT_TRUE(WaitForPicture(IsPlain, reader, 20000)) << "the virtual webcam never shows the camera";

    // A picture frame: the first entry of the list.
    ClickClient(panel, 100, 41 + 45);
    ASSERT_TRUE(WaitForPicture(IsDecorated, reader, 10000)) << "no picture frame on the picture";
    std::printf("[ figures  ] start to the first decorated picture: %.2f s\n", test_devices::Now() - started);
    // ON off: the plain picture; ON again: the frame comes back.
    orvane.Click(IDC_BTN_ON);
    ASSERT_TRUE(WaitForPicture(IsPlain, reader, 10000)) << "ON did not switch the decoration off";
    orvane.Click(IDC_BTN_ON);
    ASSERT_TRUE(WaitForPicture(IsDecorated, reader, 10000)) << "ON did not bring the decoration back";
    // The capture application's effect message is the same toggle.
    PostMessageW(panel, WM_PEER_EFFECT, 0, 0);
    ASSERT_TRUE(WaitForPicture(IsPlain, reader, 10000)) << "WM_PEER_EFFECT did not switch the decoration off";
    PostMessageW(panel, WM_PEER_EFFECT, 0, 0);
    ASSERT_TRUE(WaitForPicture(IsDecorated, reader, 10000)) << "WM_PEER_EFFECT did not bring it back";

    // The thumb at the track's end shows the list's last page: its first
    // slot is entry min(n * percent / 100, n - rows that fit).
    const std::wstring frameFolder = orvane.Folder() + L"\\Frames";
    const std::vector<std::wstring> pictures = FolderFiles(frameFolder + L"\\*.bmp");
    RECT area{};
    GetClientRect(panel, &area);
    const int rows = (area.bottom - 118) / 90, trackBottom = area.bottom - 77;
    const int percent = (trackBottom - 16 - 41) * 100 / (trackBottom - 41);
    const int first = std::max(0, std::min(int(pictures.size()) * percent / 100, int(pictures.size()) - rows));
    ASSERT_GT(first, 0) << "the list does not scroll at this height";
    ClickClient(panel, area.right - 9, trackBottom - 2);
    Sleep(300);
    ClickClient(panel, 100, 41 + 45);
    auto still = [&](size_t index) {
        const std::string bytes = ReadFileBytes(frameFolder + L"\\" + pictures[index]);
        frame_files::FrameAnimation animation;
        frame_files::DecodeFrameFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &animation);
        return animation;
    };
    const frame_files::FrameAnimation expected = still(first), top = still(0);
    EXPECT_TRUE(WaitUntil([&] { return ShareOfFrameShown(reader.Latest(), expected) > 0.9; }, 10000, 100))
        << "entry " << first << " is not on the picture";
    EXPECT_LT(ShareOfFrameShown(reader.Latest(), top), 0.9) << "the list did not scroll";

    // An animated frame, and its thumbnails written at the list's first display.
    orvane.Click(IDC_TAB_MAGIC);
    ClickClient(panel, 100, 41 + 45);
    ASSERT_TRUE(WaitForPicture(IsDecorated, reader, 10000)) << "no animated frame on the picture";
    const std::wstring frames = orvane.Folder() + L"\\Frames";
    std::vector<std::wstring> animated = FolderFiles(frames + L"\\*.gif");
    {
        // It moves: within three seconds the picture shows more than one of its frames.
        const std::string gif = ReadFileBytes(frames + L"\\" + animated[0]);
        frame_files::FrameAnimation animation;
        ASSERT_EQ(frame_files::DecodeFrameFile(reinterpret_cast<const uint8_t*>(gif.data()), gif.size(), &animation),
                  frame_files::DecodeError::None);
        ASSERT_EQ(animation.width, kSentWidth);
        ASSERT_EQ(animation.height, kSentHeight);
        ASSERT_GT(animation.frames.size(), 1u);
        const AnimationMatcher matcher(animation);
        ASSERT_GT(matcher.ChangingPixels(), 100u);
        std::set<int> seen;
        WaitUntil([&] {
            const int shown = matcher.Shown(reader.Latest());
            if (shown >= 0) seen.insert(shown);
            return seen.size() >= 2;
        }, 3000, 50);
        EXPECT_GE(seen.size(), 2u) << "the animated frame does not move";
    }
    for (const std::wstring& swf : FolderFiles(frames + L"\\*.swf")) animated.push_back(swf);
    RECT client{};
    GetClientRect(panel, &client);
    const size_t shown = std::min<size_t>(animated.size(), size_t((client.bottom - 118) / 90));
    ASSERT_GE(shown, 4u);
    for (size_t i = 0; i < shown; ++i) {
        const std::wstring thumb = frames + L"\\Temp\\" + animated[i].substr(0, animated[i].size() - 4) + L".bmp";
        std::string bytes;
        ASSERT_TRUE(WaitUntil([&] { return (bytes = ReadFileBytes(thumb)).size() == 26934; }, 5000))
            << "thumbnail of entry " << i;
        const unsigned char header[] = {'B', 'M', 0x36, 0x69, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                        112, 0, 0, 0, 80, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0};
        EXPECT_EQ(bytes.compare(0, sizeof header, reinterpret_cast<const char*>(header), sizeof header), 0);
        // The first picture of the file on white, bottom row first, blue first.
        const std::string file = ReadFileBytes(frames + L"\\" + animated[i]);
        frame_files::FrameAnimation animation;
        ASSERT_EQ(frame_files::DecodeFrameFile(reinterpret_cast<const uint8_t*>(file.data()), file.size(), &animation),
                  frame_files::DecodeError::None);
        std::vector<uint8_t> rgb(112 * 80 * 3);
        ASSERT_EQ(frame_files::RenderFirstFrame(animation, 112, 80, rgb.data(), 255, 255, 255),
                  frame_files::FirstFrameError::None);
        size_t differing = 0;
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 112; ++x) {
                const uint8_t* want = &rgb[(size_t(79 - y) * 112 + x) * 3];
                const char* got = &bytes[54 + (size_t(y) * 112 + x) * 3];
                differing += uint8_t(got[0]) != want[2] || uint8_t(got[1]) != want[1] || uint8_t(got[2]) != want[0];
            }
        }
        EXPECT_EQ(differing, 0u) << "thumbnail of " << std::string(animated[i].begin(), animated[i].end());
    }

    // Every offered effect changes the picture; Invert shows the inverted pattern.
    orvane.Click(IDC_TAB_EFFECT);
    const int offered[] = {IDC_EFFECT_MOSAIC,  IDC_EFFECT_EMBOSS,  IDC_EFFECT_SPREAD,   IDC_EFFECT_INVERT,
                           IDC_EFFECT_MIRROR,  IDC_EFFECT_GRAY,    IDC_EFFECT_ELLIPSE,  IDC_EFFECT_WALL,
                           IDC_EFFECT_IMPACT,  IDC_EFFECT_PUNCH,   IDC_EFFECT_TWIRL,    IDC_EFFECT_NOISE,
                           IDC_EFFECT_PINCH,   IDC_EFFECT_CYLINDER, IDC_EFFECT_EQUALIZE, IDC_EFFECT_ROTATEX,
                           IDC_EFFECT_ROTATEY, IDC_EFFECT_ROTATEZ};
    orvane.Click(IDC_BTN_ON);  // off: each effect must bring its own change
    ASSERT_TRUE(WaitForPicture(IsPlain, reader, 10000));
    // The list was left scrolled to its end, which places the effect panel's
    // first rows above the window; the track's top brings them back.
    ClickClient(panel, area.right - 9, 41 + 2);
    for (int id : offered) {
        HWND radio = orvane.Control(id);
        ASSERT_NE(radio, nullptr) << id;
        ASSERT_TRUE(IsWindowVisible(radio)) << id;
        // A radio outside the window's visible part would take no click: turn
        // the wheel down until the mouse would land on it.
        RECT place{};
        auto underMouse = [&] {
            GetWindowRect(radio, &place);
            return WindowFromPoint(POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2}) == radio;
        };
        for (int turn = 0; turn < 40 && !WaitUntil(underMouse, 300, 50); ++turn) {
            POINT centre{area.right / 2, area.bottom / 2};
            ClientToScreen(panel, &centre);
            PostMessageW(panel, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
        }
        ASSERT_TRUE(underMouse()) << "effect button " << id << " cannot be reached by the mouse";
        EXPECT_FALSE(harness::ReadText(radio).empty()) << "no caption from Resource.ini on " << id;
        harness::Click(radio);
        EXPECT_TRUE(WaitForPicture(IsDecorated, reader, 10000)) << "effect button " << id << " left the picture plain";
        if (id == IDC_EFFECT_INVERT) {
            EXPECT_TRUE(WaitUntil([&] {
                std::vector<uint8_t> picture = reader.Latest();
                for (uint8_t& v : picture) v = static_cast<uint8_t>(255 - v);
                return Counter(picture).has_value();
            }, 10000, 100)) << "Invert does not show the inverted pattern";
        }
    }
    // Captions come from the "Effect" section of the installed Resource.ini.
    EXPECT_EQ(harness::ReadText(orvane.Control(IDC_EFFECT_MIRROR)), L"Magical mirror");
    EXPECT_EQ(harness::ReadText(orvane.Control(IDC_EFFECT_ROTATEZ)), L"Rotate Z");
    for (int hidden : {IDC_EFFECT_DRAWRECT, IDC_EFFECT_JITTER, IDC_EFFECT_FACETRACE})
        EXPECT_FALSE(IsWindowVisible(orvane.Control(hidden))) << hidden;
    EXPECT_TRUE(orvane.Close());
}

}  // namespace
