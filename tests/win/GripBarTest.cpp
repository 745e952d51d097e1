// The grip band and close button of real grip bars in a docking frame: what
// is painted where for each dock side, the button's hit test and looks at
// idle time, and no band while floating.
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

// The bar's grip band painted into a bitmap of the bar's size, read back pixel by pixel.
class GripPicture {
public:
    explicit GripPicture(CSizingControlBarG* bar)
        : m_rb(ScreenRect(bar->m_hWnd)),
          m_dc(CClientDC(nullptr)),
          m_bmp(::CreateCompatibleBitmap(CClientDC(nullptr), Width(m_rb), Height(m_rb))),
          m_select(m_dc, m_bmp) {
        RECT rc = ClientOnScreen(bar->m_hWnd), all{0, 0, Width(m_rb), Height(m_rb)};
        ::OffsetRect(&rc, -m_rb.left, -m_rb.top);
        ::FillRect(m_dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
        bar->DrawGripArea(m_dc, rc);
    }
    COLORREF At(int x, int y) const { return ::GetPixel(m_dc, x, y); }

private:
    RECT m_rb;
    CMemoryDC m_dc;
    CGdiObject<HBITMAP> m_bmp;
    CSelectObject m_select;
};

const COLORREF kHilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
const COLORREF kShadow = ::GetSysColor(COLOR_BTNSHADOW);
const COLORREF kFace = ::GetSysColor(COLOR_BTNFACE);

class GripBarTest : public DockFixture {
protected:
    void TearDown() override {
        ::SetCursorPos(0, 0);
        SetLeftButton(false);
        DockFixture::TearDown();
    }
    // The left mouse button in this thread's key state, as GetKeyState reports it.
    static void SetLeftButton(bool down) {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_LBUTTON] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    // The button's rectangle on the screen.
    RECT ButtonOnScreen(CSizingControlBarG* bar) {
        RECT r = bar->m_btnClose.GetButtonRect();
        RECT rb = ScreenRect(bar->m_hWnd);
        ::OffsetRect(&r, rb.left, rb.top);
        return r;
    }
};

}  // namespace

TEST_F(GripBarTest, BandLinesAndCloseGlyphAreDrawnAcrossTheTopOfAVerticalBarAndDownTheLeftOfAHorizontalOne) {
    struct Case {
        UINT side;
        POINT lineStart[2];   // top-left pixel of each raised line, in window coordinates
        POINT shadow;         // on the first line's far side
        POINT face[2];        // just past the lines' ends
    } cases[] = {
        // Stacked from x 6, stopping 3 pixels before the button.
        {AFX_IDW_DOCKBAR_LEFT, {{6, 6}, {6, 9}}, {200, 8}, {{325, 7}, {200, 12}}},
        // Side by side, starting 14 pixels below the button's top.
        {AFX_IDW_DOCKBAR_TOP, {{6, 19}, {9, 19}}, {8, 200}, {{7, 18}, {12, 200}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        GripBar* bar = AddBar<GripBar>("grip", c.side);
        EXPECT_EQ(ScreenRect(children.back()->m_hWnd), ClientOnScreen(bar->m_hWnd))
            << "the child fills the client area below the band";
        GripPicture pic(bar);
        for (POINT p : c.lineStart) EXPECT_EQ(pic.At(p.x, p.y), kHilite) << p.x << "," << p.y;
        EXPECT_EQ(pic.At(c.shadow.x, c.shadow.y), kShadow);
        for (POINT p : c.face) EXPECT_EQ(pic.At(p.x, p.y), kFace) << p.x << "," << p.y;

        // The close glyph: a cross in the text colour, in a cell 2 pixels into
        // the button and 8 pixels high, not a dot or a letter of a fallback font.
        const RECT btn = bar->m_btnClose.GetButtonRect();
        std::set<LONG> rows, cols;
        for (int y = btn.top - 6; y < btn.bottom + 6; ++y) {
            for (int x = btn.left - 6; x < btn.right + 6; ++x) {
                if (pic.At(x, y) != ::GetSysColor(COLOR_BTNTEXT)) continue;
                EXPECT_TRUE(x >= btn.left + 2 && x < btn.right && y >= btn.top + 2 && y < btn.top + 10) << x << "," << y;
                rows.insert(y);
                cols.insert(x);
            }
        }
        EXPECT_GE(rows.size(), 4u);
        EXPECT_GE(cols.size(), 4u);
        frame.ShowControlBar(bar, FALSE, FALSE);
    }
}

TEST_F(GripBarTest, CloseButtonAnswersHitTestsOnlyWhileDocked) {
    GripBar* bar = AddBar<GripBar>("grip", AFX_IDW_DOCKBAR_LEFT);
    HWND h = bar->m_hWnd;
    RECT b = ButtonOnScreen(bar);
    EXPECT_EQ(HitTest(h, b.left, b.top), HTCLOSE);
    EXPECT_EQ(HitTest(h, b.right - 1, b.bottom - 1), HTCLOSE);
    EXPECT_EQ(HitTest(h, b.left - 1, b.top + 5), HTCLIENT);
    EXPECT_EQ(HitTest(h, b.right, b.bottom - 1), HTCLIENT);
    RECT rb = ScreenRect(h);
    EXPECT_EQ(HitTest(h, rb.right - 4, rb.top + 200), HTRIGHT) << "the sizing edge still answers first";
    EXPECT_EQ(HitTest(h, rb.left + 100, rb.top + 8), HTCLIENT) << "the rest of the band drags the bar";

    frame.FloatControlBar(bar, POINT{300, 200});
    Idle();
    ASSERT_TRUE(bar->IsFloatingBar());
    RECT fb = ScreenRect(h);
    for (int y = fb.top; y < fb.top + 20; ++y)
        for (int x = fb.left; x < fb.right; x += 3) ASSERT_NE(HitTest(h, x, y), HTCLOSE) << x << "," << y;
    EXPECT_LT(ClientOnScreen(h).top - fb.top, 12) << "no band while floating";
}

TEST_F(GripBarTest, ButtonIsRaisedWhenHotSunkenWhenPressedAndRepaintsOnlyOnChange) {
    GripBar* bar = AddBar<GripBar>("grip", AFX_IDW_DOCKBAR_LEFT);
    SetLeftButton(false);
    RECT b = ButtonOnScreen(bar);
    ::SetCursorPos(b.left + 5, b.top + 5);
    POINT cur{};
    ::GetCursorPos(&cur);
    if (cur.x != b.left + 5 || cur.y != b.top + 5) GTEST_SKIP() << "the cursor cannot be moved here";

    const RECT btn = bar->m_btnClose.GetButtonRect();
    // After an idle pass: the look, the repaints so far, and the button's top-left and bottom-right pixels.
    auto expectLook = [&](bool hot, bool pressed, int paints, COLORREF topLeft, COLORREF bottomRight) {
        Idle();
        EXPECT_EQ(bar->m_btnClose.m_bHot != FALSE, hot);
        EXPECT_EQ(bar->m_btnClose.m_bPressed != FALSE, pressed);
        EXPECT_EQ(bar->ncPaints, paints) << "a change repaints at once, no change never";
        GripPicture pic(bar);
        EXPECT_EQ(pic.At(btn.left, btn.top), topLeft);
        EXPECT_EQ(pic.At(btn.right - 1, btn.bottom - 1), bottomRight);
    };
    const int n = bar->ncPaints;
    expectLook(true, false, n + 1, kHilite, kShadow);
    expectLook(true, false, n + 1, kHilite, kShadow);
    SetLeftButton(true);
    expectLook(false, true, n + 2, kShadow, kHilite);
    ::SetCursorPos(b.left - 30, b.top + 100);   // held down elsewhere, then up elsewhere: flat
    expectLook(false, false, n + 3, kFace, kFace);
    SetLeftButton(false);
    expectLook(false, false, n + 3, kFace, kFace);
}

TEST_F(GripBarTest, CaptionFollowingVariantRepaintsItsFrameWhenTheTitleChanges) {
    auto* bar = AddBar<CountingBar<CSizingControlBarCF>>("cf", AFX_IDW_DOCKBAR_RIGHT);
    int before = bar->ncPaints;
    EXPECT_EQ(::SendMessageA(bar->m_hWnd, WM_SETTEXT, 0, (LPARAM) "新标题"), TRUE);
    EXPECT_EQ(bar->GetWindowText(), "新标题");
    EXPECT_EQ(bar->ncPaints, before + 1);
}
