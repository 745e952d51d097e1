// The grip band and close button of real grip bars in a docking frame: the
// band's place when docked left and top, the button's hit test and looks at
// idle time, hiding by a release over the button, and no band while floating.
#include <array>
#include <set>

#include "framework/Gdi.h"
#include "sidebar/SizingControlBarCF.h"
#include "sidebar/SizingControlBarG.h"
#include "win/DockTestFrame.h"

using namespace docktest;

namespace {

// Counts the non-client repaints the bar gets.
template <class Base>
class CountingBar : public Base {
public:
    int ncPaints = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_NCPAINT) ++ncPaints;
        return Base::WindowProc(msg, wParam, lParam);
    }
};

using GripBar = CountingBar<CSizingControlBarG>;

// Rectangles compared as (left, top, right, bottom).
std::array<LONG, 4> R(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

RECT ClientInScreen(HWND h) {
    RECT r{};
    ::GetClientRect(h, &r);
    ::MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Sets or clears the left mouse button in this thread's key state, as
// GetKeyState reports it; restored by the destructor.
class LeftButtonState {
public:
    LeftButtonState() { ::GetKeyboardState(m_saved); }
    ~LeftButtonState() { ::SetKeyboardState(m_saved); }
    void Set(bool down) {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_LBUTTON] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }

private:
    BYTE m_saved[256];
};

// The bar's grip band painted into a bitmap of the bar's size, read back pixel by pixel.
class GripPicture {
public:
    GripPicture(CSizingControlBarG* bar, HWND hWnd) {
        RECT rb = WindowRect(hWnd);
        m_w = rb.right - rb.left;
        m_h = rb.bottom - rb.top;
        RECT rc = ClientInScreen(hWnd);
        ::OffsetRect(&rc, -rb.left, -rb.top);
        HDC screen = ::GetDC(nullptr);
        m_dc = ::CreateCompatibleDC(screen);
        m_bmp = ::CreateCompatibleBitmap(screen, m_w, m_h);
        ::ReleaseDC(nullptr, screen);
        m_old = ::SelectObject(m_dc, m_bmp);
        RECT all{0, 0, m_w, m_h};
        ::FillRect(m_dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
        bar->DrawGripArea(m_dc, rc);
    }
    ~GripPicture() {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bmp);
        ::DeleteDC(m_dc);
    }
    COLORREF At(int x, int y) const { return ::GetPixel(m_dc, x, y); }
    // Pixels of colour c inside r.
    std::vector<POINT> Find(const RECT& r, COLORREF c) const {
        std::vector<POINT> out;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y) == c) out.push_back(POINT{x, y});
        return out;
    }

private:
    int m_w, m_h;
    HDC m_dc;
    HBITMAP m_bmp;
    HGDIOBJ m_old;
};

const COLORREF kHilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
const COLORREF kShadow = ::GetSysColor(COLOR_BTNSHADOW);
const COLORREF kFace = ::GetSysColor(COLOR_BTNFACE);

class GripBarTest : public DockFixture {
protected:
    GripBar* AddGripBar(UINT nSide) {
        auto bar = std::make_unique<GripBar>();
        EXPECT_TRUE(bar->Create("grip", &frame, 0, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        bar->SetSizingStyle(SZBS_DRAWEDGES | SZBS_FITCHILD);
        bar->SetBarStyle(bar->GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
        // A child to fill the client area, there before docking as the side bar's panel is.
        LPCSTR cls = CWnd::RegisterWndClass(0);
        auto child = std::make_unique<CWnd>();
        EXPECT_TRUE(child->CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, bar->m_hWnd, 1));
        children.push_back(std::move(child));
        bar->EnableDocking(CBRS_ALIGN_ANY);
        frame.DockControlBar(bar.get(), nSide);
        frame.RecalcLayout();
        GripBar* p = bar.get();
        owned.push_back(std::move(bar));
        return p;
    }
    void TearDown() override {
        ::SetCursorPos(0, 0);
        children.clear();
        owned.clear();
        DockFixture::TearDown();
    }
    LRESULT Hit(CSizingControlBarG* bar, int x, int y) {
        return ::SendMessageA(bar->m_hWnd, WM_NCHITTEST, 0, Pt(x, y));
    }
    // The button's rectangle on the screen.
    RECT ButtonOnScreen(CSizingControlBarG* bar) {
        RECT r = bar->m_btnClose.GetButtonRect();
        RECT rb = WindowRect(bar->m_hWnd);
        ::OffsetRect(&r, rb.left, rb.top);
        return r;
    }

    std::vector<std::unique_ptr<CSizingControlBarG>> owned;
    std::vector<std::unique_ptr<CWnd>> children;
};

}  // namespace

TEST_F(GripBarTest, DockedLeftTheBandCrossesTheTopWithTheButtonAtItsRightEnd) {
    GripBar* bar = AddGripBar(AFX_IDW_DOCKBAR_LEFT);
    RECT rb = WindowRect(bar->m_hWnd);
    ASSERT_EQ(rb.right - rb.left, 350);
    RECT rc = ClientInScreen(bar->m_hWnd);
    // Borders and the right sizing edge, plus the 12-pixel band on top.
    EXPECT_EQ(rc.left - rb.left, 5);
    EXPECT_EQ(rc.top - rb.top, 17);
    EXPECT_EQ(rb.right - rc.right, 10);
    EXPECT_EQ(rb.bottom - rc.bottom, 5);
    EXPECT_EQ(R(WindowRect(children.back()->m_hWnd)), R(rc)) << "the child fills the client area";

    RECT btn = bar->m_btnClose.GetButtonRect();
    EXPECT_EQ(R(btn), R(RECT{328, 4, 339, 15}));

    GripPicture pic(bar, bar->m_hWnd);
    // Two raised lines, 3 pixels each, stacked in the band from x 6 to 3 pixels before the button.
    for (int top : {6, 9}) {
        SCOPED_TRACE(top);
        EXPECT_EQ(pic.At(6, top), kHilite);
        EXPECT_EQ(pic.At(200, top), kHilite);
        EXPECT_EQ(pic.At(200, top + 2), kShadow);
        EXPECT_EQ(pic.At(324, top + 1), kShadow);   // right end of the line
    }
    EXPECT_EQ(pic.At(325, 7), kFace) << "the lines stop 3 pixels before the button";
    EXPECT_EQ(pic.At(200, 12), kFace);
    EXPECT_EQ(pic.At(5, 7), kFace);
}

TEST_F(GripBarTest, DockedTopTheBandRunsDownTheLeftWithTheButtonAtItsUpperEnd) {
    GripBar* bar = AddGripBar(AFX_IDW_DOCKBAR_TOP);
    RECT rb = WindowRect(bar->m_hWnd);
    ASSERT_EQ(rb.bottom - rb.top, 350);
    RECT rc = ClientInScreen(bar->m_hWnd);
    EXPECT_EQ(rc.left - rb.left, 17);
    EXPECT_EQ(rc.top - rb.top, 5);
    EXPECT_EQ(rb.right - rc.right, 5);
    EXPECT_EQ(rb.bottom - rc.bottom, 10);
    EXPECT_EQ(R(bar->m_btnClose.GetButtonRect()), R(RECT{4, 5, 15, 16}));

    GripPicture pic(bar, bar->m_hWnd);
    for (int left : {6, 9}) {
        SCOPED_TRACE(left);
        EXPECT_EQ(pic.At(left, 19), kHilite) << "lines start 14 pixels below the button's top";
        EXPECT_EQ(pic.At(left, 200), kHilite);
        EXPECT_EQ(pic.At(left + 2, 200), kShadow);
        EXPECT_EQ(pic.At(left + 1, 18), kFace);
    }
    EXPECT_EQ(pic.At(12, 200), kFace);
}

TEST_F(GripBarTest, CloseButtonAnswersHitTestsOnlyWhileDocked) {
    GripBar* bar = AddGripBar(AFX_IDW_DOCKBAR_LEFT);
    RECT b = ButtonOnScreen(bar);
    EXPECT_EQ(Hit(bar, b.left, b.top), HTCLOSE);
    EXPECT_EQ(Hit(bar, b.right - 1, b.bottom - 1), HTCLOSE);
    EXPECT_EQ(Hit(bar, b.left - 1, b.top + 5), HTCLIENT);
    EXPECT_EQ(Hit(bar, b.left + 5, b.bottom), HTCLIENT);
    EXPECT_EQ(Hit(bar, b.right, b.top + 5), HTCLIENT);
    RECT rb = WindowRect(bar->m_hWnd);
    EXPECT_EQ(Hit(bar, rb.right - 4, rb.top + 200), HTRIGHT) << "the sizing edge still answers first";
    EXPECT_EQ(Hit(bar, rb.left + 100, rb.top + 8), HTCLIENT) << "the rest of the band drags the bar";

    frame.FloatControlBar(bar, POINT{300, 200});
    Idle();
    ASSERT_TRUE(bar->IsFloatingBar());
    EXPECT_FALSE(bar->HasGripArea());
    RECT fb = WindowRect(bar->m_hWnd);
    RECT old = bar->m_btnClose.GetButtonRect();
    for (int y = fb.top; y < fb.top + 20; ++y)
        for (int x = fb.left; x < fb.right; x += 3) ASSERT_NE(Hit(bar, x, y), HTCLOSE) << x << "," << y;
    EXPECT_EQ(Hit(bar, fb.left + old.left + 2, fb.top + old.top + 2), HTCLIENT);
    // No band: the client area starts right under the floating insets.
    RECT rc = ClientInScreen(bar->m_hWnd);
    EXPECT_LT(rc.top - fb.top, 12);

    // Docked again, the band and the button come back with it.
    frame.DockControlBar(bar, AFX_IDW_DOCKBAR_LEFT);
    frame.RecalcLayout();
    Idle();
    ASSERT_FALSE(bar->IsFloatingBar());
    b = ButtonOnScreen(bar);
    EXPECT_EQ(Hit(bar, b.left + 5, b.top + 5), HTCLOSE);
}

TEST_F(GripBarTest, ButtonIsRaisedWhenHotSunkenWhenPressedAndRepaintsOnlyOnChange) {
    GripBar* bar = AddGripBar(AFX_IDW_DOCKBAR_LEFT);
    LeftButtonState mouse;
    mouse.Set(false);
    RECT b = ButtonOnScreen(bar);
    ::SetCursorPos(b.left + 5, b.top + 5);
    POINT cur{};
    ::GetCursorPos(&cur);
    if (cur.x != b.left + 5 || cur.y != b.top + 5) GTEST_SKIP() << "the cursor cannot be moved here";

    int before = bar->ncPaints;
    Idle();
    EXPECT_TRUE(bar->m_btnClose.m_bHot);
    EXPECT_FALSE(bar->m_btnClose.m_bPressed);
    EXPECT_EQ(bar->ncPaints, before + 1) << "a change repaints at once";
    Idle();
    Idle();
    EXPECT_EQ(bar->ncPaints, before + 1) << "no change, no repaint";
    RECT btn = bar->m_btnClose.GetButtonRect();
    {
        GripPicture pic(bar, bar->m_hWnd);
        EXPECT_EQ(pic.At(btn.left, btn.top), kHilite);
        EXPECT_EQ(pic.At(btn.right - 1, btn.bottom - 1), kShadow);
    }

    mouse.Set(true);
    Idle();
    EXPECT_TRUE(bar->m_btnClose.m_bPressed);
    EXPECT_FALSE(bar->m_btnClose.m_bHot);
    EXPECT_EQ(bar->ncPaints, before + 2);
    {
        GripPicture pic(bar, bar->m_hWnd);
        EXPECT_EQ(pic.At(btn.left, btn.top), kShadow);
        EXPECT_EQ(pic.At(btn.right - 1, btn.bottom - 1), kHilite);
    }

    // Held down elsewhere, or up elsewhere: flat.
    ::SetCursorPos(b.left - 30, b.top + 100);
    Idle();
    EXPECT_FALSE(bar->m_btnClose.m_bPressed);
    EXPECT_FALSE(bar->m_btnClose.m_bHot);
    EXPECT_EQ(bar->ncPaints, before + 3);
    mouse.Set(false);
    Idle();
    EXPECT_EQ(bar->ncPaints, before + 3);
    {
        GripPicture pic(bar, bar->m_hWnd);
        EXPECT_EQ(pic.At(btn.left, btn.top), kFace);
        EXPECT_EQ(pic.At(btn.right - 1, btn.bottom - 1), kFace);
    }
}

TEST_F(GripBarTest, CloseGlyphIsDrawnSmallInsideTheButtonInTheTextColour) {
    GripBar* bar = AddGripBar(AFX_IDW_DOCKBAR_LEFT);
    RECT btn = bar->m_btnClose.GetButtonRect();
    GripPicture pic(bar, bar->m_hWnd);
    RECT around = btn;
    ::InflateRect(&around, 6, 6);
    std::vector<POINT> ink = pic.Find(around, ::GetSysColor(COLOR_BTNTEXT));
    ASSERT_FALSE(ink.empty()) << "the glyph is drawn";
    std::set<LONG> rows, cols;
    for (POINT p : ink) {
        // The glyph cell starts 2 pixels in and is 8 pixels high.
        EXPECT_GE(p.x, btn.left + 2);
        EXPECT_GE(p.y, btn.top + 2);
        EXPECT_LT(p.y, btn.top + 2 + 8);
        EXPECT_LT(p.x, btn.right);
        rows.insert(p.y);
        cols.insert(p.x);
    }
    // A cross, not a dot or a letter of a fallback font: several rows and columns.
    EXPECT_GE(rows.size(), 4u);
    EXPECT_GE(cols.size(), 4u);

    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (dpi == 96) {
        // Marlett's close glyph at 8 pixels is a 6 x 6 cross here.
        EXPECT_LE(rows.size(), 8u);
    }
}

TEST_F(GripBarTest, ReleaseOverTheCloseButtonHidesTheBarAndTheViewTakesItsPlace) {
    GripBar* bar = AddGripBar(AFX_IDW_DOCKBAR_LEFT);
    RECT b = ButtonOnScreen(bar);
    RECT view0 = ViewRect();
    // A release anywhere else is no close.
    ::PostMessageA(bar->m_hWnd, WM_NCLBUTTONUP, HTCLIENT, Pt(b.left + 5, b.top + 5));
    testsupport::PumpFor(50);
    EXPECT_TRUE(Shown(bar->m_hWnd));
    // The press gets nothing; the release over the button hides.
    ::PostMessageA(bar->m_hWnd, WM_NCLBUTTONDOWN, HTCLOSE, Pt(b.left + 5, b.top + 5));
    testsupport::PumpFor(50);
    EXPECT_TRUE(Shown(bar->m_hWnd));
    EXPECT_NE(::GetCapture(), bar->m_hWnd);
    ::PostMessageA(bar->m_hWnd, WM_NCLBUTTONUP, HTCLOSE, Pt(b.left + 5, b.top + 5));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !Shown(bar->m_hWnd); }, 2000));
    EXPECT_FALSE(bar->IsVisible());
    // Not delayed: the frame was laid out at once.
    RECT view = ViewRect();
    EXPECT_EQ(view.left, ClientScreenRect().left);
    EXPECT_LT(view.left, view0.left);

    frame.ShowControlBar(bar, TRUE, FALSE);
    EXPECT_TRUE(Shown(bar->m_hWnd));
    EXPECT_EQ(ViewRect().left, view0.left);
    EXPECT_FALSE(bar->m_btnClose.m_bPressed);
}

TEST_F(GripBarTest, CaptionFollowingVariantRepaintsItsFrameWhenTheTitleChanges) {
    CountingBar<CSizingControlBarCF> bar;
    ASSERT_TRUE(bar.Create("cf", &frame, 0, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    bar.SetBarStyle(bar.GetBarStyle() | CBRS_SIZE_DYNAMIC);
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame.DockControlBar(&bar, AFX_IDW_DOCKBAR_RIGHT);
    frame.RecalcLayout();
    EXPECT_STREQ(bar.GetRuntimeClassName(), "CSizingControlBarCF");
    EXPECT_NE(dynamic_cast<CSizingControlBar*>(&bar), nullptr) << "counts as a sizing bar of its row";
    int before = bar.ncPaints;
    EXPECT_EQ(::SendMessageA(bar.m_hWnd, WM_SETTEXT, 0, (LPARAM) "新标题"), TRUE);
    EXPECT_EQ(bar.GetWindowText(), "新标题");
    EXPECT_EQ(bar.ncPaints, before + 1);
    frame.RemoveControlBar(&bar);
    bar.DestroyWindow();
}
