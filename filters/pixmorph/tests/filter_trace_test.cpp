// The filter's trace lines as the "DebugHelper " window receives them, and
// nothing at all without that window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "narrow_text/debug_text.h"
#include "filters/pixmorph/tests/filter_test_graph.h"

namespace pixmorph_test {
namespace {

std::vector<std::string>* g_received = nullptr;

// An ANSI window, so the text arrives as sent; it keeps its own title.
LRESULT CALLBACK HelperProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETTEXT && g_received) {
        g_received->push_back(reinterpret_cast<const char*>(lp));
        return TRUE;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class PixmorphTrace : public FilterTest {
protected:
    void SetUp() override {
        FilterTest::SetUp();
        g_received = &received_;
    }
    void TearDown() override {
        // Retitled rather than destroyed (which costs Wine a two-second wait
        // without a window manager): later tests of this program stream on
        // other threads, whose traces must not wait for this one to pump messages.
        g_received = nullptr;
        if (helper_) SetWindowTextA(helper_, "retired trace window");
        FilterTest::TearDown();
    }
    HWND Helper() {
        static HWND window = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = HelperProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "PixmorphTraceHelper";
            RegisterClassA(&wc);
            return CreateWindowA("PixmorphTraceHelper", "", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        }();
        helper_ = window;
        g_received = nullptr;  // the title itself is no trace
        SetWindowTextA(window, "DebugHelper ");
        g_received = &received_;
        return window;
    }
    HWND helper_ = nullptr;
    std::vector<std::string> received_;
};

TEST_F(PixmorphTrace, NothingIsSentWithoutTheHelperWindow) {
    ASSERT_EQ(nullptr, FindWindowA(nullptr, "DebugHelper "));
    SendDebugText("lost %d", 1);
    EXPECT_TRUE(received_.empty());
}

TEST_F(PixmorphTrace, FilterAndInputPinTraceTheirCalls) {
    ASSERT_NE(nullptr, Helper());
    SendDebugText("%s %d", "formatted", 42);
    ASSERT_EQ(1u, received_.size());
    EXPECT_EQ("formatted 42", received_[0]);
    received_.clear();

    ComPtr<IBaseFilter> filter = CreatePixmorph();
    ASSERT_TRUE(filter);
    IPin* in = PinOf(filter.Get(), 0);
    ComPtr<IPinConnection> dynamic;
    ASSERT_EQ(S_OK, in->QueryInterface(IID_IPinConnection, dynamic.PutVoid()));
    const CMediaType yuy2 = VideoType(MEDIASUBTYPE_YUY2, 64, 48);
    EXPECT_EQ(S_OK, dynamic->DynamicQueryAccept(&yuy2));
    EXPECT_EQ(S_OK, dynamic->NotifyEndOfStream(nullptr));
    EXPECT_EQ(S_FALSE, dynamic->IsEndPin());
    EXPECT_EQ(S_OK, dynamic->DynamicDisconnect());
    dynamic.Reset();
    filter.Reset();

    const std::vector<std::string> expected = {
        "Constructor",
        "CVideoInputPin::NonDelegatingQueryInterface, {4A9A62D3-27D4-403D-91E9-89F540E55534}",
        "DynamicQueryAccept",
        "NotifyEndOfStream",
        "IsEndPin",
        "DynamicDisconnect",
        "Destructor",
    };
    EXPECT_EQ(expected, received_);
}

}  // namespace
}  // namespace pixmorph_test
