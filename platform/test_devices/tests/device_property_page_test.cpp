// The camera's property page, shown the way capture applications show it:
// ISpecifyPropertyPages and OleCreatePropertyFrame, operated from a second
// thread while the frame runs its modal loop.
#include <dshow.h>
#include <olectl.h>

#include <string>

#include "capture_graph.h"
#include "com_test.h"
#include "device_listing.h"
#include "dshow_base/media_type.h"
#include "test_devices/camera_page_resources.h"
#include "test_devices/test_device_ids.h"

namespace test_devices {
namespace {

using PropertyPage = ComTest;

struct FrameSearch {
    HWND frame = nullptr;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (IsWindowVisible(hwnd) && std::wstring(cls) == L"#32770") {
        reinterpret_cast<FrameSearch*>(param)->frame = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct PageControls {
    HWND format = nullptr;
    HWND rate = nullptr;
    HWND status = nullptr;
};

BOOL CALLBACK FindControls(HWND hwnd, LPARAM param) {
    auto* controls = reinterpret_cast<PageControls*>(param);
    if (GetDlgCtrlID(hwnd) == IDC_CAMERA_FORMAT) controls->format = hwnd;
    if (GetDlgCtrlID(hwnd) == IDC_CAMERA_RATE) controls->rate = hwnd;
    if (GetDlgCtrlID(hwnd) == IDC_CAMERA_STATUS) controls->status = hwnd;
    return TRUE;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, 128);
    return text;
}

// Plays the user: waits for the frame, reads the format line, picks
// 10 frames per second (third entry), reads the page again and presses OK.
struct User {
    DWORD uiThread = 0;
    std::wstring formatText;
    std::wstring rateAfterChoice;
    std::wstring statusAfterChoice;
    bool pressedOk = false;

    static DWORD WINAPI Run(void* self) {
        static_cast<User*>(self)->Act();
        return 0;
    }

    void Act() {
        FrameSearch search;
        PageControls controls;
        for (int i = 0; i < 200 && !(search.frame && controls.status); ++i) {
            Sleep(50);
            search = FrameSearch();
            EnumThreadWindows(uiThread, FindDialog, reinterpret_cast<LPARAM>(&search));
            if (search.frame) EnumChildWindows(search.frame, FindControls, reinterpret_cast<LPARAM>(&controls));
        }
        if (!search.frame) return;
        if (controls.status) {
            formatText = TextOf(controls.format);
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(controls.rate, CB_SETCURSEL, 2, 0, SMTO_BLOCK, 5000, &ignored);
            // What the combo box tells its dialog when the user picks an entry.
            SendMessageTimeoutW(GetParent(controls.rate), WM_COMMAND,
                                MAKEWPARAM(IDC_CAMERA_RATE, CBN_SELCHANGE),
                                reinterpret_cast<LPARAM>(controls.rate), SMTO_BLOCK, 5000, &ignored);
            rateAfterChoice = TextOf(controls.rate);
            statusAfterChoice = TextOf(controls.status);
        }
        pressedOk = PostMessageW(search.frame, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(GetDlgItem(search.frame, IDOK))) != FALSE;
    }
};

// Shows the camera's pages in a property frame while `user` operates it.
HRESULT ShowPages(IBaseFilter* camera, User* user) {
    ComPtr<ISpecifyPropertyPages> specify;
    RETURN_IF_FAILED(camera->QueryInterface(IID_ISpecifyPropertyPages, specify.PutVoid()));
    CAUUID pages = {};
    RETURN_IF_FAILED(specify->GetPages(&pages));
    user->uiThread = GetCurrentThreadId();
    const HANDLE thread = CreateThread(nullptr, 0, User::Run, user, 0, nullptr);
    IUnknown* object = camera;  // borrowed for the call; the caller keeps it alive
    HRESULT hr = thread ? OleCreatePropertyFrame(nullptr, 30, 30, L"Camera", 1, &object, pages.cElems,
                                                 pages.pElems, 0, 0, nullptr)
                        : HRESULT_FROM_WIN32(GetLastError());
    if (thread) {
        WaitForSingleObject(thread, 15000);
        CloseHandle(thread);
    }
    CoTaskMemFree(pages.pElems);
    return hr;
}

REFERENCE_TIME FrameInterval(IAMStreamConfig* config) {
    AM_MEDIA_TYPE* type = nullptr;
    if (FAILED(config->GetFormat(&type))) return 0;
    const REFERENCE_TIME interval = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat)->AvgTimePerFrame;
    DeleteMediaType(type);
    return interval;
}

TEST_F(PropertyPage, CameraNamesItsPageWithTitleAndSize) {
    ComPtr<IBaseFilter> camera;
    ASSERT_EQ(CreateTestDevice(CLSID_VideoInputDeviceCategory, 0, &camera), S_OK);
    ComPtr<ISpecifyPropertyPages> specify;
    ASSERT_EQ(camera.As(&specify), S_OK);
    CAUUID pages = {};
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_TRUE(IsEqualGUID(pages.pElems[0], CLSID_TestCameraPropertyPage));
    CoTaskMemFree(pages.pElems);

    ComPtr<IPropertyPage> page;
    ASSERT_EQ(CoCreateInstance(CLSID_TestCameraPropertyPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                               page.PutVoid()),
              S_OK);
    PROPPAGEINFO info = {};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.pszTitle), L"Test Camera");
    EXPECT_GT(info.size.cx, 100);
    EXPECT_GT(info.size.cy, 40);
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);
}

TEST_F(PropertyPage, FrameShowsTheFormatAndChangesTheRate) {
    ComPtr<IBaseFilter> camera;
    ASSERT_EQ(CreateTestDevice(CLSID_VideoInputDeviceCategory, 0, &camera), S_OK);
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(CapturePin(camera.Get(), &config), S_OK);
    ASSERT_EQ(FrameInterval(config.Get()), 333333);

    User user;
    EXPECT_EQ(ShowPages(camera.Get(), &user), S_OK);
    EXPECT_TRUE(user.pressedOk);
    EXPECT_EQ(user.formatText, L"640 x 480 RGB24");
    EXPECT_EQ(user.rateAfterChoice, L"10 frames per second");
    EXPECT_EQ(user.statusAfterChoice, L"");
    EXPECT_EQ(FrameInterval(config.Get()), 1000000);
}

TEST_F(PropertyPage, RunningCameraKeepsItsRateAndSaysWhy) {
    ComPtr<IBaseFilter> camera;
    ASSERT_EQ(CreateTestDevice(CLSID_VideoInputDeviceCategory, 0, &camera), S_OK);
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(CapturePin(camera.Get(), &config), S_OK);
    CaptureGraph graph;
    ASSERT_EQ(graph.Build(camera.Get()), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));

    User user;
    EXPECT_EQ(ShowPages(camera.Get(), &user), S_OK);
    EXPECT_EQ(graph.Stop(), S_OK);
    EXPECT_TRUE(user.pressedOk);
    EXPECT_EQ(user.rateAfterChoice, L"30 frames per second");
    EXPECT_EQ(user.statusAfterChoice, L"Stop the camera to change its frame rate.");
    EXPECT_EQ(FrameInterval(config.Get()), 333333);
}

}  // namespace
}  // namespace test_devices
