// CBasePropertyPage through IPropertyPage: first driven directly inside a
// host window, as a property frame would, then inside the system's own frame
// (OleCreatePropertyFrame).
#include <olectl.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "server_module/server_module_ids.h"
#include "server_module_loader.h"
#include "testing/window_harness/page_site.h"

namespace {

using harness::RecordingPageSite;

HWND CreateHost() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PropertyPageTestHost";
    RegisterClassW(&wc);  // a second registration fails harmlessly
    return CreateWindowW(L"PropertyPageTestHost", L"Page host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// The page's dialog is the host's only child.
HWND PageWindow(HWND host) { return GetWindow(host, GW_CHILD); }

RECT ChildRectIn(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

PageCounts CountsOf(IPropertyPage* page) {
    ComPtr<ITestPageProbe> probe;
    PageCounts counts = {};
    if (SUCCEEDED(page->QueryInterface(IID_ITestPageProbe, probe.PutVoid()))) probe->Counts(&counts);
    return counts;
}

class PropertyPageTest : public testing::Test {
protected:
    // One host for the suite: destroying a top-level window costs Wine a
    // two-second wait under a display without a window manager.
    static void SetUpTestSuite() { host_ = CreateHost(); }
    static void TearDownTestSuite() { DestroyWindow(host_); }

    void SetUp() override {
        ASSERT_TRUE(module_.Loaded()) << "test module missing";
        ASSERT_NE(nullptr, host_);
        ASSERT_EQ(S_OK, module_.Create(CLSID_TestPage, nullptr, IID_IPropertyPage, page_.PutVoid()));
        ASSERT_EQ(S_OK, module_.Create(CLSID_TestThing, nullptr, IID_ITestThing, thing_.PutVoid()));
        thing_->SetValue(42);
    }
    void TearDown() override {
        page_.Reset();
        thing_.Reset();
        EXPECT_EQ(nullptr, PageWindow(host_)) << "a page window outlived its page";
        EXPECT_EQ(S_OK, module_.CanUnloadNow()) << "a page or object was leaked";
    }
    HRESULT Connect() {
        IUnknown* objects[] = {thing_.Get()};
        return page_->SetObjects(1, objects);
    }
    HRESULT ActivateAt(int x, int y) {
        const RECT rect = {x, y, x + 300, y + 150};
        return page_->Activate(host_, &rect, TRUE);
    }
    HWND Control(int id) { return GetDlgItem(PageWindow(host_), id); }

    static HWND host_;
    ScopedCom com_{true};
    ServerModule module_;
    ComPtr<IPropertyPage> page_;
    ComPtr<ITestThing> thing_;
};

HWND PropertyPageTest::host_ = nullptr;

TEST_F(PropertyPageTest, PageInfoGivesTitleAndTheDialogsPixelSize) {
    EXPECT_EQ(E_POINTER, page_->GetPageInfo(nullptr));
    for (const CLSID* clsid : {&CLSID_TestPage, &CLSID_TestPageClassic}) {
        ComPtr<IPropertyPage> page;
        ASSERT_EQ(S_OK, module_.Create(*clsid, nullptr, IID_IPropertyPage, page.PutVoid()));
        PROPPAGEINFO info = {};
        info.cb = sizeof(info);
        ASSERT_EQ(S_OK, page->GetPageInfo(&info));
        EXPECT_STREQ(L"Test Settings", info.pszTitle);
        EXPECT_EQ(nullptr, info.pszHelpFile);
        CoTaskMemFree(info.pszTitle);
        CoTaskMemFree(info.pszDocString);
        ASSERT_GT(info.size.cx, 0);
        ASSERT_GT(info.size.cy, 0);

        // The frame control spans the template: laid out by the dialog
        // manager, it must cover exactly the reported size.
        const RECT rect = {0, 0, info.size.cx, info.size.cy};
        ASSERT_EQ(S_OK, page->Activate(host_, &rect, TRUE));
        HWND dialog = PageWindow(host_);
        const RECT frame = ChildRectIn(dialog, GetDlgItem(dialog, IDC_CORNER));
        EXPECT_EQ(0, frame.left);
        EXPECT_EQ(0, frame.top);
        EXPECT_EQ(info.size.cx, frame.right);
        EXPECT_EQ(info.size.cy, frame.bottom);
        EXPECT_EQ(S_OK, page->Deactivate());
    }
}

TEST_F(PropertyPageTest, PageSiteIsHeldOnceAndReleased) {
    RecordingPageSite site;
    EXPECT_EQ(E_UNEXPECTED, page_->SetPageSite(nullptr));
    ASSERT_EQ(S_OK, page_->SetPageSite(&site));
    EXPECT_EQ(2u, site.refs);
    EXPECT_EQ(E_UNEXPECTED, page_->SetPageSite(&site));
    EXPECT_EQ(2u, site.refs);
    EXPECT_EQ(S_OK, page_->SetPageSite(nullptr));
    EXPECT_EQ(1u, site.refs);
}

TEST_F(PropertyPageTest, SetObjectsConnectsOneObjectAndReportsTheHookResult) {
    // The page itself is no ITestThing: OnConnect's failure comes back.
    IUnknown* wrong[] = {page_.Get()};
    EXPECT_EQ(E_NOINTERFACE, page_->SetObjects(1, wrong));
    EXPECT_EQ(E_UNEXPECTED, page_->Apply());  // nothing connected to apply to
    EXPECT_EQ(E_POINTER, page_->SetObjects(1, nullptr));
    IUnknown* two[] = {thing_.Get(), thing_.Get()};
    EXPECT_EQ(E_INVALIDARG, page_->SetObjects(2, two));

    const ULONG before = thing_->AddRef() - 1;
    thing_->Release();
    ASSERT_EQ(S_OK, Connect());
    EXPECT_EQ(before + 2, thing_->AddRef());  // the page holds one reference
    thing_->Release();
    EXPECT_EQ(S_OK, page_->SetObjects(0, nullptr));
    EXPECT_EQ(before + 1, thing_->AddRef());
    thing_->Release();

    const PageCounts counts = CountsOf(page_.Get());
    EXPECT_EQ(2, counts.connects);
    EXPECT_EQ(1, counts.disconnects);
}

TEST_F(PropertyPageTest, ActivateCreatesTheDialogInsideTheFrameUntilDeactivate) {
    ASSERT_EQ(S_OK, Connect());
    ASSERT_EQ(S_OK, ActivateAt(10, 20));
    HWND dialog = PageWindow(host_);
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(10, ChildRectIn(host_, dialog).left);
    EXPECT_EQ(20, ChildRectIn(host_, dialog).top);
    BOOL ok = FALSE;
    EXPECT_EQ(42u, GetDlgItemInt(dialog, IDC_VALUE, &ok, TRUE));  // OnActivate filled it in
    EXPECT_EQ(1, CountsOf(page_.Get()).activates);
    EXPECT_EQ(E_UNEXPECTED, ActivateAt(0, 0));

    const RECT moved = {30, 40, 330, 190};
    ASSERT_EQ(S_OK, page_->Move(&moved));
    EXPECT_EQ(30, ChildRectIn(host_, dialog).left);
    EXPECT_EQ(300, ChildRectIn(host_, dialog).right - ChildRectIn(host_, dialog).left);
    ASSERT_EQ(S_OK, page_->Show(SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(E_INVALIDARG, page_->Show(SW_MAXIMIZE));
    EXPECT_EQ(E_NOTIMPL, page_->Help(L"C:\\"));

    ASSERT_EQ(S_OK, page_->Deactivate());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(1, CountsOf(page_.Get()).deactivates);
    EXPECT_EQ(1, CountsOf(page_.Get()).destroys);  // the page saw its dialog go
    EXPECT_EQ(E_UNEXPECTED, page_->Deactivate());
    EXPECT_EQ(E_UNEXPECTED, page_->Move(&moved));
    EXPECT_EQ(E_UNEXPECTED, page_->Show(SW_SHOW));

    ASSERT_EQ(S_OK, ActivateAt(0, 0));  // a page can be shown again
    EXPECT_EQ(2, CountsOf(page_.Get()).activates);
    EXPECT_EQ(S_OK, page_->Deactivate());
    EXPECT_EQ(S_OK, page_->SetObjects(0, nullptr));
}

TEST_F(PropertyPageTest, EditsMakeThePageDirtyAndApplyWritesThemBack) {
    RecordingPageSite site;
    ASSERT_EQ(S_OK, page_->SetPageSite(&site));
    ASSERT_EQ(S_OK, Connect());
    ASSERT_EQ(S_OK, ActivateAt(0, 0));
    EXPECT_EQ(S_FALSE, page_->IsPageDirty());  // filling the controls is no edit
    EXPECT_TRUE(site.changes.empty());

    SetWindowTextW(Control(IDC_VALUE), L"17");
    EXPECT_EQ(S_OK, page_->IsPageDirty());
    ASSERT_FALSE(site.changes.empty());
    EXPECT_EQ(static_cast<DWORD>(PROPPAGESTATUS_DIRTY), site.changes.back());
    EXPECT_EQ(42, thing_->Value());

    ASSERT_EQ(S_OK, page_->Apply());
    EXPECT_EQ(17, thing_->Value());
    EXPECT_EQ(S_FALSE, page_->IsPageDirty());
    thing_->SetValue(5);
    ASSERT_EQ(S_OK, page_->Apply());  // clean: nothing written
    EXPECT_EQ(5, thing_->Value());
    EXPECT_EQ(1, CountsOf(page_.Get()).applies);

    EXPECT_EQ(S_OK, page_->Deactivate());
    EXPECT_EQ(S_OK, page_->SetObjects(0, nullptr));
    EXPECT_EQ(S_OK, page_->SetPageSite(nullptr));
    EXPECT_EQ(1u, site.refs);
}

TEST_F(PropertyPageTest, DirtyStateOutlivesDeactivation) {
    ASSERT_EQ(S_OK, Connect());
    ASSERT_EQ(S_OK, ActivateAt(0, 0));
    SetWindowTextW(Control(IDC_VALUE), L"99");
    ASSERT_EQ(S_OK, page_->Deactivate());
    EXPECT_EQ(S_OK, page_->IsPageDirty());
    ASSERT_EQ(S_OK, page_->Apply());  // the frame's OK after switching pages
    EXPECT_EQ(99, thing_->Value());
    EXPECT_EQ(S_FALSE, page_->IsPageDirty());
    EXPECT_EQ(S_OK, page_->SetObjects(0, nullptr));
}

TEST_F(PropertyPageTest, TranslateAcceleratorHandlesKeysForItsOwnControls) {
    MSG msg = {};
    EXPECT_EQ(E_UNEXPECTED, page_->TranslateAccelerator(&msg));
    ASSERT_EQ(S_OK, Connect());
    ASSERT_EQ(S_OK, ActivateAt(0, 0));
    EXPECT_EQ(E_POINTER, page_->TranslateAccelerator(nullptr));

    SetFocus(Control(IDC_VALUE));
    ASSERT_EQ(Control(IDC_VALUE), GetFocus());
    msg = {Control(IDC_VALUE), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(S_OK, page_->TranslateAccelerator(&msg));
    EXPECT_EQ(Control(IDC_SECOND), GetFocus());  // the dialog manager moved on

    msg = {host_, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(S_FALSE, page_->TranslateAccelerator(&msg));  // not the page's window
    msg = {Control(IDC_VALUE), WM_PAINT, 0, 0, 0, {}};
    EXPECT_EQ(S_FALSE, page_->TranslateAccelerator(&msg));  // not a keystroke
    EXPECT_EQ(S_OK, page_->Deactivate());
    EXPECT_EQ(S_OK, page_->SetObjects(0, nullptr));
}

struct FrameSearch {
    HWND frame = nullptr;
    HWND edit = nullptr;
};

BOOL CALLBACK FindValueEdit(HWND child, LPARAM param) {
    if (GetDlgCtrlID(child) != IDC_VALUE) return TRUE;
    reinterpret_cast<FrameSearch*>(param)->edit = child;
    return FALSE;
}

BOOL CALLBACK FindFrame(HWND top, LPARAM param) {
    auto* search = reinterpret_cast<FrameSearch*>(param);
    EnumChildWindows(top, FindValueEdit, param);
    if (!search->edit) return TRUE;
    search->frame = top;
    return FALSE;
}

BOOL CALLBACK CloseWindow(HWND top, LPARAM) {
    PostMessageW(top, WM_CLOSE, 0, 0);
    return TRUE;
}

// What the driver saw of the page inside the system frame.
struct FrameObservation {
    bool found = false;
    WCHAR shown[16] = {};  // the value field as the frame first showed it
    SIZE pageSize = {};    // the page dialog's client size
};

// Finds the frame showing our page, types a value and presses OK.
void DriveFrame(DWORD frameThread, FrameObservation* seen) {
    for (int attempt = 0; attempt < 300; ++attempt) {
        FrameSearch search;
        EnumThreadWindows(frameThread, FindFrame, reinterpret_cast<LPARAM>(&search));
        if (search.frame && IsWindowVisible(search.frame)) {
            seen->found = true;
            GetWindowTextW(search.edit, seen->shown, 16);
            RECT client;
            GetClientRect(GetParent(search.edit), &client);
            seen->pageSize = {client.right, client.bottom};
            SendMessageW(search.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"64"));
            PostMessageW(GetDlgItem(search.frame, IDOK), BM_CLICK, 0, 0);
            return;
        }
        Sleep(50);
    }
    // No frame with our page: close whatever appeared so the test can fail.
    EnumThreadWindows(frameThread, CloseWindow, 0);
}

TEST_F(PropertyPageTest, SystemPropertyFrameHostsThePage) {
    ASSERT_EQ(S_OK, module_.Register());  // the frame creates pages by CLSID
    ComPtr<ISpecifyPropertyPages> specify;
    ASSERT_EQ(S_OK, thing_->QueryInterface(IID_ISpecifyPropertyPages, specify.PutVoid()));
    CAUUID pages = {};
    ASSERT_EQ(S_OK, specify->GetPages(&pages));
    PROPPAGEINFO info = {};
    ASSERT_EQ(S_OK, page_->GetPageInfo(&info));
    CoTaskMemFree(info.pszTitle);
    PageCounts before = {};
    thing_->PageTotals(&before);
    const LONG pagesBefore = thing_->LivePages();  // includes the fixture's page

    FrameObservation seen;
    std::thread driver(DriveFrame, GetCurrentThreadId(), &seen);
    IUnknown* objects[] = {thing_.Get()};
    const HRESULT hr = OleCreatePropertyFrame(host_, 0, 0, L"Test Thing", 1, objects, pages.cElems, pages.pElems,
                                              LOCALE_USER_DEFAULT, 0, nullptr);
    driver.join();
    CoTaskMemFree(pages.pElems);
    EXPECT_EQ(S_OK, module_.Unregister());

    EXPECT_EQ(S_OK, hr);
    ASSERT_TRUE(seen.found) << "no frame showed the page";
    EXPECT_STREQ(L"42", seen.shown);  // connected to the object before activation
    // The frame gives the page at least the room it asked for (Wine 8's is
    // larger: it converts the size through dialog units of another font).
    EXPECT_GE(seen.pageSize.cx, info.size.cx);
    EXPECT_GE(seen.pageSize.cy, info.size.cy);
    PageCounts after = {};
    thing_->PageTotals(&after);
    EXPECT_EQ(before.connects + 1, after.connects);
    EXPECT_EQ(before.activates + 1, after.activates);
    EXPECT_EQ(before.deactivates + 1, after.deactivates);
    EXPECT_EQ(pagesBefore, thing_->LivePages());  // the frame released its page
    // Windows' frame applies dirty pages on OK; Wine 8's never calls Apply.
    // Either way the object holds exactly what was applied.
    EXPECT_EQ(after.applies > before.applies ? 64 : 42, thing_->Value());
}

}  // namespace
