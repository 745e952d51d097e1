// The main frame's side bar: created and docked at the left with the control
// panel filling it at any resolution, hidden by its close button and by the
// View menu and shown again with the panel as it was, docked on each side or
// floated by a drag of its band, and the list repainted after each move.
#include <algorithm>
#include <string>

#include "framework/Gdi.h"
#include "win/DockTestFrame.h"
#include "win/FrameFixture.h"

using namespace docktest;
using testsupport::ClientOnScreen;
using testsupport::PumpUntil;
using testsupport::ScreenRect;

namespace {

// The pixels a window's client area shows on the screen now, row by row.
std::vector<DWORD> ClientPixels(HWND h) {
    RECT rc{};
    ::GetClientRect(h, &rc);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), rc.right, -rc.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    CGdiObject<HBITMAP> bmp(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    CClientDC dc(h);
    CMemoryDC mem(dc);
    if (!bmp.m_h || !mem.m_hDC) return {};
    {
        CSelectObject sel(mem, bmp);
        ::BitBlt(mem, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    return std::vector<DWORD>(p, p + rc.right * rc.bottom);
}

// The frame left hidden (showing a top-level window costs seconds on a
// display without a window manager), with its own panel in the side bar.
class SideBarTest : public frametest::FrameTest {
protected:
    // What the bar is told the display's dots per inch are.
    static inline int s_nDpi = 96;
    static int Dpi() { return s_nDpi; }
    HWND hPanel = nullptr;

    void SetUp() override {
        CSideBar::s_pfnScreenDpi = &Dpi;
        ASSERT_NO_FATAL_FAILURE(CreateFrame(5));
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 1100, 760, SWP_NOZORDER | SWP_NOACTIVATE);
        frame->RecalcLayout();
        hPanel = SideBar().m_wndPanel.m_hWnd;
    }
    void TearDown() override {
        s_nDpi = 96;
        CSideBar::s_pfnScreenDpi = &CSideBar::ReadScreenDpi;
        FrameTest::TearDown();
    }

    CSideBar& SideBar() { return frame->m_wndSideBar; }
    bool BarShown() { return Shown(SideBar().m_hWnd); }
    HWND Ctl(int id) { return ::GetDlgItem(hPanel, id); }
    RECT ViewRect() { return ScreenRect(view->m_hWnd); }
    RECT FrameClient() { return ClientOnScreen(frame->m_hWnd); }

    // The View menu's item as it looks when the menu opens: enabled, and checked or not.
    std::string ViewMenuItem() {
        HMENU viewMenu = ::GetSubMenu(::GetMenu(frame->m_hWnd), 1);
        ::SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, (WPARAM)viewMenu, MAKELPARAM(1, FALSE));
        UINT state = ::GetMenuState(viewMenu, ID_VIEW_SIDEBAR, MF_BYCOMMAND);
        return std::string((state & MF_GRAYED) ? "grayed" : "enabled") + ((state & MF_CHECKED) ? ", checked" : "");
    }
    void ChooseViewSideBar() { ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_VIEW_SIDEBAR, 0); }
    // The program's loop: messages, and idle time whenever the queue runs dry,
    // until nothing is left to lay out or paint.
    bool Settle() {
        return PumpUntil(
            [&] {
                app.OnIdle(0);
                return HIWORD(::GetQueueStatus(QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE)) == 0;
            },
            3000);
    }
    // Drags the bar with the left button from grab to drop (screen points). The
    // press is sent; the moves and the release are posted ahead of it, so the
    // dock context's own loop takes them as it takes the user's.
    void DragBar(POINT grab, POINT drop) {
        HWND h = SideBar().m_hWnd;
        ::PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(h, (grab.x + drop.x) / 2, (grab.y + drop.y) / 2));
        ::PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(h, drop.x, drop.y));
        ::PostMessageA(h, WM_LBUTTONUP, 0, ClientPt(h, drop.x, drop.y));
        ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, ClientPt(h, grab.x, grab.y));
    }
    UINT Side() { return (UINT)::GetDlgCtrlID(::GetParent(SideBar().m_hWnd)); }
    // A point on the grip band: across the top of a bar docked left or right,
    // down the left of one docked at the top or bottom.
    POINT OnBand() {
        RECT w = ScreenRect(SideBar().m_hWnd);
        return SideBar().IsHorzDockedBar() ? POINT{w.left + 10, w.top + 100} : POINT{w.left + 100, w.top + 10};
    }
};

}  // namespace

TEST_F(SideBarTest, CloseButtonAndViewMenuHideTheBarAtOnceAndThePanelComesBackAsItWas) {
    EXPECT_EQ(ViewMenuItem(), "enabled, checked");
    ::SetWindowTextA(Ctl(IDC_IMPORT_FILE), "C:\\lists\\网址.txt");
    // A run under way.
    g_bQuerying = TRUE;
    ::SetWindowTextA(Ctl(IDC_QUERY), "停止查询");
    ::EnableWindow(Ctl(IDC_EXPORT_VALID), FALSE);

    // A press on the close button, or a release that is not over it, closes nothing;
    // the release over it hides the bar at once.
    RECT b = SideBar().m_btnClose.GetButtonRect();
    const RECT w = ScreenRect(SideBar().m_hWnd);
    const LPARAM at = MAKELPARAM(w.left + b.left + 5, w.top + b.top + 5);
    ASSERT_EQ(::SendMessageA(SideBar().m_hWnd, WM_NCHITTEST, 0, at), HTCLOSE);
    ::SendMessageA(SideBar().m_hWnd, WM_NCLBUTTONUP, HTCLIENT, at);
    ::SendMessageA(SideBar().m_hWnd, WM_NCLBUTTONDOWN, HTCLOSE, at);
    EXPECT_TRUE(BarShown());
    EXPECT_NE(::GetCapture(), SideBar().m_hWnd);
    SideBar().m_btnClose.m_bPressed = TRUE;   // as idle time leaves it while the button is held
    ::SendMessageA(SideBar().m_hWnd, WM_NCLBUTTONUP, HTCLOSE, at);
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(ViewRect().left, FrameClient().left) << "the view took the bar's place";
    EXPECT_EQ(ViewMenuItem(), "enabled") << "the check mark goes with the bar";
    ASSERT_TRUE(Settle());   // idle time while hidden changes nothing

    ChooseViewSideBar();
    ASSERT_TRUE(BarShown());
    EXPECT_FALSE(SideBar().m_btnClose.m_bPressed) << "shown again, the button starts flat";
    ASSERT_TRUE(Settle());
    EXPECT_EQ(ScreenRect(SideBar().m_hWnd), w) << "back where it was, as wide as it was";
    EXPECT_EQ(ViewMenuItem(), "enabled, checked");
    EXPECT_EQ(std::tuple(SideBar().m_wndPanel.m_hWnd, g_hControlPanel), std::tuple(hPanel, hPanel)) << "never re-created";
    EXPECT_EQ(std::tuple(testsupport::TextOf(Ctl(IDC_IMPORT_FILE)), testsupport::TextOf(Ctl(IDC_QUERY))),
              std::tuple("C:\\lists\\网址.txt", "停止查询"));
    EXPECT_TRUE(g_bQuerying && !::IsWindowEnabled(Ctl(IDC_EXPORT_VALID)));
    EXPECT_EQ(ScreenRect(hPanel), ClientOnScreen(SideBar().m_hWnd));

    ChooseViewSideBar();
    EXPECT_FALSE(BarShown()) << "the menu hides without waiting for idle time";
    EXPECT_EQ(ViewRect().left, FrameClient().left);
    EXPECT_EQ(ViewMenuItem(), "enabled");
}

TEST_F(SideBarTest, ListShowsItsCurrentRowsAfterTheBarChangesSideOrFloats) {
    for (int i = 1; i <= 4; ++i) view->Rows().append(i, "www.example" + std::to_string(i) + ".com");
    view->RowsChanged();
    ::ShowWindow(frame->m_hWnd, SW_SHOWNA);   // pixels exist only on the screen
    ASSERT_TRUE(Settle());
    HWND list = view->m_hWnd;
    RECT item{LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(::SendMessageA(list, LVM_GETITEMRECT, 3, (LPARAM)&item));

    struct Step {
        const char* name;
        UINT side;   // or 0: floating
        int viewLeftAtLeast;
    } steps[] = {{"docked at the top", AFX_IDW_DOCKBAR_TOP, 0},
                 {"back at the left", AFX_IDW_DOCKBAR_LEFT, 340},
                 {"floating", 0, 0},
                 {"docked at the left again", AFX_IDW_DOCKBAR_LEFT, 340}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        if (s.side)
            frame->DockControlBar(&SideBar(), s.side);
        else
            frame->FloatControlBar(&SideBar(), POINT{600, 300});
        ASSERT_TRUE(Settle());
        ASSERT_GE(ViewRect().left, FrameClient().left + s.viewLeftAtLeast);
        // What the screen shows of the list must be what the list paints afresh,
        // and that has the fourth row's text where the row is.
        std::vector<DWORD> shown = ClientPixels(list);
        ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::vector<DWORD> fresh = ClientPixels(list);
        ASSERT_FALSE(fresh.empty());
        ASSERT_EQ(shown.size(), fresh.size());
        RECT rc{};
        ::GetClientRect(list, &rc);
        const int width = rc.right;
        int ink = 0;
        for (int y = item.top; y < item.bottom; ++y)
            for (int x = 0; x < width; ++x) {
                DWORD px = fresh[y * width + x];
                ink += GetRValue(px) < 0xD0 && GetGValue(px) < 0xD0 && GetBValue(px) < 0xD0;   // grid lines are lighter
            }
        EXPECT_GT(ink, 30);
        size_t differ = 0;
        for (size_t i = 0; i < fresh.size(); ++i) differ += (shown[i] & 0xFFFFFF) != (fresh[i] & 0xFFFFFF);
        EXPECT_EQ(differ, 0u) << "pixels of the list left over from before";
    }
}

TEST_F(SideBarTest, DraggedByItsBandTheBarStaysOnItsSideUntilThePointerReachesAnotherOrFloatsOverTheView) {
    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 1100, 1000, SWP_NOZORDER | SWP_NOACTIVATE);
    frame->RecalcLayout();
    const RECT client = FrameClient();
    const int statusTop = ScreenRect(frame->m_wndStatusBar.m_hWnd).top;
    // The band lies in the top side's docking zone.
    ASSERT_LT(OnBand().y, client.top + 17);
    ASSERT_EQ(HitTest(SideBar().m_hWnd, OnBand().x, OnBand().y), HTCLIENT);

    struct Step {
        POINT drop;   // or, with x = -1, 30 pixels along the band
        UINT side;
    } steps[] = {{{-1, 0}, AFX_IDW_DOCKBAR_LEFT},
                 {{client.left + 700, client.top + 5}, AFX_IDW_DOCKBAR_TOP},
                 {{client.right - 5, client.top + 500}, AFX_IDW_DOCKBAR_RIGHT},
                 {{client.left + 300, statusTop - 5}, AFX_IDW_DOCKBAR_BOTTOM},
                 {{client.left + 5, client.top + 150}, AFX_IDW_DOCKBAR_LEFT}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.side);
        POINT band = OnBand();
        DragBar(band, s.drop.x < 0 ? POINT{band.x + 30, band.y} : s.drop);
        ASSERT_TRUE(Settle());
        EXPECT_EQ(Side(), s.side);
        // Docked against the side's edge of the frame's client area, 350 thick.
        RECT w = ScreenRect(SideBar().m_hWnd);
        switch (s.side) {
        case AFX_IDW_DOCKBAR_LEFT: EXPECT_EQ(w.left, client.left); break;
        case AFX_IDW_DOCKBAR_TOP: EXPECT_EQ(w.top, client.top - 2); break;
        case AFX_IDW_DOCKBAR_RIGHT: EXPECT_EQ(w.right, client.right); break;
        default: EXPECT_EQ(w.bottom, statusTop); break;
        }
        const bool horz = s.side == AFX_IDW_DOCKBAR_TOP || s.side == AFX_IDW_DOCKBAR_BOTTOM;
        EXPECT_EQ(horz ? Height(w) : Width(w), 350);
        // The grip band runs down the left of a bar in a horizontal row, across the top of any other.
        const RECT rc = ClientOnScreen(SideBar().m_hWnd);
        EXPECT_GT(horz ? rc.left - w.left : rc.top - w.top, 12);
    }
    EXPECT_EQ(ViewRect().left, ScreenRect(SideBar().m_hWnd).right);

    // Into the view, away from every side: the bar floats where it was dropped,
    // in a frame of its own that the main frame owns and that carries its title.
    POINT band = OnBand();
    const RECT before = ScreenRect(SideBar().m_hWnd);
    DragBar(band, POINT{band.x + 500, band.y + 300});
    ASSERT_TRUE(Settle());
    ASSERT_TRUE(SideBar().IsFloating());
    HWND mini = ::GetParent(::GetParent(SideBar().m_hWnd));
    EXPECT_TRUE(Shown(mini));
    EXPECT_EQ(::GetWindow(mini, GW_OWNER), frame->m_hWnd);
    EXPECT_EQ(testsupport::TextOf(mini), "侧边栏");
    EXPECT_EQ(std::tuple(ScreenRect(mini).left, ScreenRect(mini).top), std::tuple(before.left + 500, before.top + 300));
    EXPECT_EQ(ViewRect().left, client.left);
    RECT rf = ScreenRect(SideBar().m_hWnd);
    EXPECT_EQ(std::tuple(Width(rf), Height(rf)), std::tuple(350, 350));
    // Its corners resize the floating frame; the bar's own edges are gone.
    EXPECT_FALSE(::GetWindowLongA(mini, GWL_STYLE) & MFS_4THICKFRAME);
    EXPECT_EQ(HitTest(SideBar().m_hWnd, rf.right - 2, rf.top + 50), HTCLIENT);
    ::SendMessageA(SideBar().m_hWnd, WM_NCLBUTTONDOWN, HTRIGHT, Pt(rf.right - 2, rf.top + 50));
    EXPECT_FALSE(SideBar().m_bEdgeTracking);
    ::SetWindowTextA(SideBar().m_hWnd, "renamed");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(testsupport::TextOf(mini), "renamed") << "the caption follows the title";
}

// The side bar created by the frame at a display resolution the test chooses.
class SideBarAtDpi : public SideBarTest, public ::testing::WithParamInterface<int> {
    void SetUp() override {
        s_nDpi = GetParam();
        SideBarTest::SetUp();
    }
};

TEST_P(SideBarAtDpi, DockedAtTheLeftWithAWidthScaledToTheDisplayAndThePanelFillingIt) {
    // The panel's controls as its template lays them out with this system's fonts.
    HWND natural = ::CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_CONTROL_PANEL), frame->m_hWnd, nullptr, 0);
    ASSERT_NE(natural, nullptr);
    LONG controlsWidth = 0;
    for (HWND c = ::GetWindow(natural, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        controlsWidth = std::max(controlsWidth, ScreenRect(c).right - ScreenRect(natural).left);
    ::DestroyWindow(natural);
    // 350 scaled to the display, or wider where the controls need it (here the
    // panel keeps the real resolution while the bar is told a lower one).
    RECT w = ScreenRect(SideBar().m_hWnd);
    const LONG borders = Width(w) - Width(ClientOnScreen(SideBar().m_hWnd));
    EXPECT_EQ(w, (RECT{FrameClient().left, FrameClient().top,
                       FrameClient().left + std::max<LONG>(::MulDiv(350, GetParam(), 96), controlsWidth + borders),
                       ScreenRect(frame->m_wndStatusBar.m_hWnd).top}));
    EXPECT_EQ(ViewRect().left, w.right);

    // The panel is the bar's child and fills its client area, and every control
    // of it lies inside (the panel itself is laid out at the display's real resolution).
    ASSERT_NE(hPanel, nullptr);
    EXPECT_EQ(g_hControlPanel, hPanel);
    EXPECT_EQ(::GetWindow(SideBar().m_hWnd, GW_CHILD), hPanel);
    EXPECT_TRUE(Shown(hPanel));
    const RECT rc = ClientOnScreen(SideBar().m_hWnd);
    EXPECT_EQ(ScreenRect(hPanel), rc);
    for (HWND c = ::GetWindow(hPanel, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        RECT r = ScreenRect(c);
        EXPECT_LE(r.right, rc.right) << testsupport::TextOf(c);
        EXPECT_LE(r.bottom, rc.bottom) << testsupport::TextOf(c);
    }
    // The program scales itself to the system's resolution, and says so.
    EXPECT_NE(testsupport::OwnManifest().find(">true</dpiAware>"), std::string::npos) << testsupport::OwnManifest();
}

INSTANTIATE_TEST_SUITE_P(Dpi, SideBarAtDpi, ::testing::Values(48, 96, 120, 144));
