// The "Video" property page driven through IPropertyPage inside a host
// window, as a property frame drives it: what it shows for a filter, how the
// mode buttons switch the boxes, and what Apply sends (or restores). Also its
// dialog resource, which both modules lay out slightly differently.
#include <gtest/gtest.h>

#include <olectl.h>

#include <string>
#include <vector>

#include "filters/pixmorph/pixmorph_properties.h"
#include "filters/pixmorph/pixmorph_resource.h"
#include "filters/pixmorph/tests/filter_test_graph.h"
#include "testing/window_harness/page_site.h"

namespace pixmorph_test {
namespace {

using harness::RecordingPageSite;

class PixmorphPage : public PixmorphGraphTest {
protected:
    // One host for the suite: destroying a top-level window costs Wine a
    // two-second wait under a display without a window manager.
    static void SetUpTestSuite() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PixmorphPageHost";
        RegisterClassW(&wc);
        host_ = CreateWindowW(L"PixmorphPageHost", L"Page host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(host_); }

    void SetUp() override {
        PixmorphGraphTest::SetUp();
        HRESULT hr = S_OK;
        CUnknown* page = CPixmorphProperties::CreateInstance(nullptr, &hr);
        ASSERT_NE(nullptr, page);
        ASSERT_EQ(S_OK, page->NonDelegatingQueryInterface(IID_IPropertyPage, page_.PutVoid()));
        ASSERT_EQ(S_OK, page_->SetPageSite(&site_));
    }
    void TearDown() override {
        if (page_) {
            page_->Deactivate();
            page_->SetObjects(0, nullptr);
            page_->SetPageSite(nullptr);
        }
        page_.Reset();
        EXPECT_EQ(1u, site_.refs) << "the page kept its site";
        PixmorphGraphTest::TearDown();
    }

    HRESULT Open() {
        IUnknown* objects[] = {filter_.Get()};
        RETURN_IF_FAILED(page_->SetObjects(1, objects));
        const RECT rect = {0, 0, 420, 260};
        return page_->Activate(host_, &rect, TRUE);
    }
    HWND Control(int id) { return GetDlgItem(GetWindow(host_, GW_CHILD), id); }
    std::wstring Text(int id) {
        WCHAR text[64] = {};
        GetWindowTextW(Control(id), text, 64);
        return text;
    }
    void Type(int id, LPCWSTR text) { SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    bool Checked(int id) { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) { return IsWindowEnabled(Control(id)) != FALSE; }
    void ExpectSizeBoxesEnabled(bool sizeMode) {
        EXPECT_EQ(sizeMode, Enabled(IDC_OUTPUT_WIDTH));
        EXPECT_EQ(sizeMode, Enabled(IDC_OUTPUT_HEIGHT));
        EXPECT_EQ(!sizeMode, Enabled(IDC_MULTIPLE_X));
        EXPECT_EQ(!sizeMode, Enabled(IDC_MULTIPLE_Y));
    }
    std::pair<int, int> FilterSize() {
        int size[2] = {};
        control_->GetOutputSize(size);
        return {size[0], size[1]};
    }

    static HWND host_;
    RecordingPageSite site_;
    ComPtr<IPropertyPage> page_;
};

HWND PixmorphPage::host_ = nullptr;

TEST_F(PixmorphPage, OpensWithTheFiltersValuesInSizeMode) {
    PROPPAGEINFO info = {};
    ASSERT_EQ(S_OK, page_->GetPageInfo(&info));
    EXPECT_STREQ(L"Video", info.pszTitle);
    EXPECT_GT(info.size.cx, 0);
    CoTaskMemFree(info.pszTitle);

    ASSERT_EQ(S_OK, Open());
    EXPECT_EQ(L"320", Text(IDC_OUTPUT_WIDTH));
    EXPECT_EQ(L"240", Text(IDC_OUTPUT_HEIGHT));
    EXPECT_EQ(L"1", Text(IDC_MULTIPLE_X));
    EXPECT_EQ(L"1", Text(IDC_MULTIPLE_Y));
    EXPECT_TRUE(Checked(IDC_SIZE_MODE));
    EXPECT_FALSE(Checked(IDC_MULTIPLE_MODE));
    ExpectSizeBoxesEnabled(true);
    EXPECT_EQ(S_FALSE, page_->IsPageDirty()) << "filling the boxes is no edit";
    EXPECT_TRUE(site_.changes.empty());
}

TEST_F(PixmorphPage, OpensInMultipleModeWhenTheFilterIsInIt) {
    control_->SetMultipleMode(TRUE);
    control_->SetMultiple(2, 3);
    control_->SetOutputSize(1600, 1200);
    ASSERT_EQ(S_OK, Open());
    EXPECT_TRUE(Checked(IDC_MULTIPLE_MODE));
    EXPECT_EQ(L"1600", Text(IDC_OUTPUT_WIDTH));
    EXPECT_EQ(L"3", Text(IDC_MULTIPLE_Y));
    ExpectSizeBoxesEnabled(false);
}

TEST_F(PixmorphPage, ModeButtonsSwitchTheBoxesAndMakeThePageDirty) {
    ASSERT_EQ(S_OK, Open());
    Click(IDC_MULTIPLE_MODE);
    EXPECT_TRUE(Checked(IDC_MULTIPLE_MODE));
    EXPECT_FALSE(Checked(IDC_SIZE_MODE));
    ExpectSizeBoxesEnabled(false);
    EXPECT_EQ(S_OK, page_->IsPageDirty());
    ASSERT_FALSE(site_.changes.empty());
    EXPECT_EQ(static_cast<DWORD>(PROPPAGESTATUS_DIRTY), site_.changes.back());

    Click(IDC_SIZE_MODE);
    ExpectSizeBoxesEnabled(true);
    Click(IDC_MULTIPLE_MODE);
    Type(IDC_MULTIPLE_X, L"4");
    Type(IDC_MULTIPLE_Y, L"2");
    ASSERT_EQ(S_OK, page_->Apply());
    BOOL multiple = FALSE;
    control_->GetMultipleMode(&multiple);
    EXPECT_TRUE(multiple);
    int mx = 0, my = 0;
    control_->GetMultiple(&mx, &my);
    EXPECT_EQ(4, mx);
    EXPECT_EQ(2, my);
    EXPECT_EQ(std::make_pair(320, 240), FilterSize());
    EXPECT_EQ(S_FALSE, page_->IsPageDirty());
}

TEST_F(PixmorphPage, TextThatIsNoNumberIsSentAsZero) {
    ASSERT_EQ(S_OK, Open());
    Type(IDC_OUTPUT_WIDTH, L"abc");
    Type(IDC_OUTPUT_HEIGHT, L"480");
    ASSERT_EQ(S_OK, page_->Apply());
    EXPECT_EQ(std::make_pair(0, 480), FilterSize());
}

TEST_F(PixmorphPage, ApplyWhileTheOutputIsConnectedRestoresTheShownValues) {
    ASSERT_EQ(S_OK, ConnectSource(MEDIASUBTYPE_YUY2, 320, 240));
    ASSERT_EQ(S_OK, ConnectSink());
    ASSERT_EQ(S_OK, Open());
    Type(IDC_OUTPUT_WIDTH, L"999");
    Type(IDC_MULTIPLE_X, L"7");
    Click(IDC_MULTIPLE_MODE);
    ASSERT_EQ(S_OK, page_->Apply());
    EXPECT_EQ(L"320", Text(IDC_OUTPUT_WIDTH));
    EXPECT_EQ(L"1", Text(IDC_MULTIPLE_X));
    EXPECT_TRUE(Checked(IDC_MULTIPLE_MODE)) << "the user's choice of mode stays shown";
    EXPECT_EQ(std::make_pair(320, 240), FilterSize());
    BOOL multiple = TRUE;
    control_->GetMultipleMode(&multiple);
    EXPECT_FALSE(multiple);
}

TEST_F(PixmorphPage, ApplyAfterThePageWasHiddenSendsWhatItsBoxesHeld) {
    ASSERT_EQ(S_OK, Open());
    Type(IDC_OUTPUT_WIDTH, L"176");
    Type(IDC_OUTPUT_HEIGHT, L"144");
    ASSERT_EQ(S_OK, page_->Deactivate());  // a frame switching to another page
    ASSERT_EQ(S_OK, page_->Apply());
    EXPECT_EQ(std::make_pair(176, 144), FilterSize());
}

TEST_F(PixmorphPage, OnlyAConverterFilterCanBeShown) {
    ComPtr<IBaseFilter> sink;
    CTestSink* raw = nullptr;
    sink = CreateRgbSink(&raw);
    IUnknown* objects[] = {sink.Get()};
    EXPECT_EQ(E_NOINTERFACE, page_->SetObjects(1, objects));
}

// ---- The dialog resource as built into this module.

struct DialogItem {
    WORD atom;  // 0x80 button, 0x81 edit, 0x82 static
    DWORD kind;  // the style bits that say what it is
    int id;
    std::wstring text;
    short x, y, cx, cy;
};

bool operator==(const DialogItem& a, const DialogItem& b) {
    return a.atom == b.atom && a.kind == b.kind && a.id == b.id && a.text == b.text && a.x == b.x && a.y == b.y &&
           a.cx == b.cx && a.cy == b.cy;
}

void PrintTo(const DialogItem& i, std::ostream* out) {
    *out << "{" << i.atom << ", 0x" << std::hex << i.kind << std::dec << ", " << i.id << ", \""
         << std::string(i.text.begin(), i.text.end()) << "\", " << i.x << "," << i.y << "," << i.cx << "," << i.cy
         << "}";
}

const WORD* SkipSzOrOrd(const WORD* p, std::wstring* text = nullptr, WORD* ordinal = nullptr) {
    if (*p == 0xFFFF) {
        if (ordinal) *ordinal = p[1];
        return p + 2;
    }
    const WORD* start = p;
    while (*p) ++p;
    if (text) text->assign(reinterpret_cast<const wchar_t*>(start), p - start);
    return p + 1;
}

const WORD* AlignDword(const WORD* p) {
    return reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR(3));
}

const LANGID kChinesePrc = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

TEST(PixmorphPageResource, DialogAndTitleInChinesePrcLanguage) {
    ASSERT_EQ(2052, kChinesePrc);
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(IDD_PIXMORPH_PAGE), kChinesePrc);
    ASSERT_NE(nullptr, res);
    const auto* tmpl = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, res)));
    EXPECT_TRUE(tmpl->style & WS_CHILD);
    EXPECT_TRUE(tmpl->style & DS_SETFONT);
    EXPECT_EQ(209, tmpl->cx);
    EXPECT_EQ(129, tmpl->cy);
    const WORD* p = reinterpret_cast<const WORD*>(tmpl + 1);
    p = SkipSzOrOrd(p);  // menu
    p = SkipSzOrOrd(p);  // class
    p = SkipSzOrOrd(p);  // title
    EXPECT_EQ(8, *p++);
    std::wstring font;
    p = SkipSzOrOrd(p, &font);
    EXPECT_EQ(L"MS Shell Dlg", font);

    std::vector<DialogItem> items;
    for (int i = 0; i < tmpl->cdit; ++i) {
        p = AlignDword(p);
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        DialogItem d = {};
        d.id = static_cast<short>(item->id);
        d.x = item->x;
        d.y = item->y;
        d.cx = item->cx;
        d.cy = item->cy;
        p = reinterpret_cast<const WORD*>(item + 1);
        std::wstring className;
        p = SkipSzOrOrd(p, &className, &d.atom);
        // A class given by name (windres keeps CONTROL's "Button" so) is the same class.
        if (lstrcmpiW(className.c_str(), L"Button") == 0) d.atom = 0x80;
        p = SkipSzOrOrd(p, &d.text);
        p += 1 + *p / sizeof(WORD);  // creation data
        const DWORD s = item->style;
        if (d.atom == 0x80) d.kind = (s & BS_TYPEMASK) | (s & WS_GROUP);
        if (d.atom == 0x81) d.kind = s & (WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
        if (d.atom == 0x82) d.kind = s & SS_TYPEMASK;
        items.push_back(d);
    }
    const DWORD edit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
#ifdef PIXMORPH_SCALVANE
    const short sizeY = 51, labelY = 53;
    const wchar_t* set = L"Scalvane Set";
#else
    const short sizeY = 54, labelY = 56;
    const wchar_t* set = L"Pixmorph Set";
#endif
    const std::vector<DialogItem> expected = {
        {0x81, edit, IDC_OUTPUT_WIDTH, L"", 31, sizeY, 42, 14},
        {0x82, SS_LEFT, -1, L"X:", 16, labelY, 8, 8},
        {0x82, SS_LEFT, -1, L"Y:", 16, short(labelY + 17), 8, 8},
        {0x81, edit, IDC_OUTPUT_HEIGHT, L"", 31, short(sizeY + 16), 42, 14},
        {0x80, BS_GROUPBOX, -1, set, 0, 6, 208, 119},
        {0x80, BS_AUTORADIOBUTTON | WS_GROUP, IDC_SIZE_MODE, L"set size", 9, 21, 89, 10},
        {0x80, BS_AUTORADIOBUTTON, IDC_MULTIPLE_MODE, L"set multiple", 111, 22, 51, 10},
        {0x80, BS_GROUPBOX, -1, L"size", 7, 34, 90, 64},
        {0x80, BS_GROUPBOX, -1, L"multiple", 110, 34, 90, 64},
        {0x82, SS_LEFT, -1, L"X:", 117, 52, 8, 8},
        {0x82, SS_LEFT, -1, L"Y:", 118, 71, 8, 8},
        {0x81, edit, IDC_MULTIPLE_X, L"", 135, 50, 42, 14},
        {0x81, edit, IDC_MULTIPLE_Y, L"", 135, 68, 42, 14},
    };
    EXPECT_EQ(expected, items);

    // String 102 sits in block 7 of the string table, sixth after the block's first.
    HRSRC strings = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(IDS_PIXMORPH_PAGE_TITLE / 16 + 1), kChinesePrc);
    ASSERT_NE(nullptr, strings);
    const WORD* s = static_cast<const WORD*>(LockResource(LoadResource(module, strings)));
    for (int i = 0; i < IDS_PIXMORPH_PAGE_TITLE % 16; ++i) s += 1 + *s;
    EXPECT_EQ(std::wstring(L"Video"), std::wstring(reinterpret_cast<const wchar_t*>(s + 1), *s));
}

}  // namespace
}  // namespace pixmorph_test
