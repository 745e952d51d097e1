// The HTML control: "app:" links, and a control's life inside its owner
// without the view behaviour that expects a frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/HtmlCtrl.h"
#include "framework/Dialog.h"
#include "framework/FrameWnd.h"
#include "resource.h"
#include "win/TestSupport.h"

using namespace testsupport;

namespace {

class RecordingHtmlCtrl : public CHtmlCtrl {
public:
    std::vector<std::string> commands;
    void OnAppCmd(LPCSTR lpszWhere) override { commands.push_back(lpszWhere); }
    void AttachBrowser(IWebBrowser2* p) { m_pBrowserApp = p; }
};

// Stands in for the browser's interface: counts releases and nothing else.
struct FakeBrowser {
    const void* const* vtbl;
    LONG refs;
    static HRESULT STDMETHODCALLTYPE QueryInterface(FakeBrowser*, REFIID, void** pp) {
        *pp = nullptr;
        return E_NOINTERFACE;
    }
    static ULONG STDMETHODCALLTYPE AddRef(FakeBrowser* self) { return ++self->refs; }
    static ULONG STDMETHODCALLTYPE Release(FakeBrowser* self) { return --self->refs; }
    static const void* const kVtbl[3];
    IWebBrowser2* AsBrowser() { return reinterpret_cast<IWebBrowser2*>(this); }
};
const void* const FakeBrowser::kVtbl[3] = {reinterpret_cast<const void*>(&FakeBrowser::QueryInterface),
                                           reinterpret_cast<const void*>(&FakeBrowser::AddRef),
                                           reinterpret_cast<const void*>(&FakeBrowser::Release)};

class TestFrame : public CFrameWnd {
public:
    TestFrame() {
        CreateEx(0, RegisterWndClass(0), "frame", WS_OVERLAPPEDWINDOW, RECT{0, 0, 400, 300}, nullptr, 0);
    }
};

class Owner : public CDialog {
public:
    RecordingHtmlCtrl m_wndHtml;

protected:
    BOOL OnInitDialog() override {
        return m_wndHtml.Create("", WS_VISIBLE, RECT{0, 0, 50, 50}, m_hWnd, 100);
    }
};

}  // namespace

TEST(HtmlCtrl, AppLinksBecomeCommandsAndOtherLinksNavigate) {
    RecordingHtmlCtrl ctrl;
    EXPECT_FALSE(ctrl.FireBeforeNavigate2("app:about"));
    EXPECT_FALSE(ctrl.FireBeforeNavigate2("APP:about"));
    EXPECT_FALSE(ctrl.FireBeforeNavigate2("aPp:"));
    EXPECT_TRUE(ctrl.FireBeforeNavigate2("http://app.example/app:x"));
    EXPECT_TRUE(ctrl.FireBeforeNavigate2("about:blank"));
    EXPECT_TRUE(ctrl.FireBeforeNavigate2("app"));   // shorter than the scheme
    EXPECT_TRUE(ctrl.FireBeforeNavigate2("appx:y"));
    EXPECT_TRUE(ctrl.FireBeforeNavigate2(""));
    EXPECT_EQ(ctrl.commands, (std::vector<std::string>{"about", "about", ""}));
}

TEST(HtmlCtrl, DestroyingTheOwnerReleasesTheBrowserOnceAndKeepsTheMember) {
    Owner owner;
    RecordingWindow parent;
    ASSERT_TRUE(owner.Create(IDD_CONTROL_PANEL, parent));
    ASSERT_TRUE(::IsWindow(owner.m_wndHtml));
    FakeBrowser browser{FakeBrowser::kVtbl, 1};
    owner.m_wndHtml.AttachBrowser(browser.AsBrowser());

    owner.DestroyWindow();
    EXPECT_EQ(owner.m_wndHtml.m_hWnd, nullptr);
    EXPECT_EQ(owner.m_wndHtml.GetBrowser(), nullptr);
    EXPECT_EQ(browser.refs, 0);
    // The member is still a live object: PostNcDestroy did not delete it.
    EXPECT_FALSE(owner.m_wndHtml.FireBeforeNavigate2("app:still-here"));
    EXPECT_EQ(owner.m_wndHtml.commands.back(), "still-here");
}

TEST(HtmlCtrl, ActivationAndDestructionLeaveTheFramesActiveViewAlone) {
    TestFrame frame;
    ASSERT_TRUE(::IsWindow(frame));

    // A plain browser view takes part in the frame's view activation ...
    auto* view = new CHtmlView;
    ASSERT_TRUE(view->Create("", WS_VISIBLE, RECT{0, 0, 50, 50}, frame, 200));
    HWND hView = *view;
    ::SendMessageA(hView, WM_MOUSEACTIVATE, (WPARAM)(HWND)frame, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(frame.GetActiveView(), view);
    ::DestroyWindow(hView);   // ... and leaves it when it goes (deleting itself)
    EXPECT_EQ(frame.GetActiveView(), nullptr);

    // The control does neither.
    RecordingHtmlCtrl ctrl;
    ASSERT_TRUE(ctrl.Create("", WS_VISIBLE, RECT{0, 0, 50, 50}, frame, 201));
    LRESULT r = ::SendMessageA(ctrl, WM_MOUSEACTIVATE, (WPARAM)(HWND)frame, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(r, MA_ACTIVATE);
    EXPECT_EQ(frame.GetActiveView(), nullptr);
    ctrl.DestroyWindow();
    EXPECT_EQ(ctrl.m_hWnd, nullptr);
}
