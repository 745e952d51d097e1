// Docking in a real frame: dock bar rows, sizes after layout, delayed show and
// hide, floating and docking by double-click, the floating frame's resizing.
#include "win/DockTestFrame.h"

#include "framework/DockContext.h"

using namespace docktest;

using DockLayout = DockFixture;

TEST_F(DockLayout, TwoBarsShareATopRowEdgeToEdgeAndABarShownAgainKeepsItsLength) {
    auto [a, b] = AddTopRowOfTwo();
    CDockBar* top = Dock(AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(top->m_arrBars, (std::vector<CControlBar*>{nullptr, a, b, nullptr})) << "one row";
    RECT ra = ScreenRect(a->m_hWnd);
    RECT rb = ScreenRect(b->m_hWnd);
    RECT dock = ScreenRect(top->m_hWnd);
    EXPECT_EQ(rb.left, ra.right - 2);   // 2-pixel overlap
    EXPECT_EQ(ra.left, dock.left - 2);  // the row's outer borders hide beyond the dock bar
    EXPECT_EQ(rb.right, dock.right + 2);
    EXPECT_EQ(Height(ra), Height(rb));
    EXPECT_EQ(ViewRect().top, dock.bottom);

    const int sum = a->m_sizeHorzDock.cx + b->m_sizeHorzDock.cx;
    b->m_sizeHorzDock.cx = 420;   // as if the user had dragged it
    a->m_sizeHorzDock.cx = sum - 420;
    frame.ShowControlBar(b, FALSE, FALSE);
    EXPECT_FALSE(Shown(b->m_hWnd));
    EXPECT_EQ(ScreenRect(a->m_hWnd).right, dock.right + 2) << "alone, a spans the row";
    frame.ShowControlBar(b, TRUE, FALSE);
    EXPECT_TRUE(Shown(b->m_hWnd));
    EXPECT_EQ(std::tuple(a->m_sizeHorzDock.cx, b->m_sizeHorzDock.cx), std::tuple(sum - 420, 420));
    EXPECT_FALSE(a->m_bHoldSize || b->m_bHoldSize);
}

TEST_F(DockLayout, RowTooShortForTheMinimumsIsSplitAndABarDroppedAboveTheRowsStartsOneInFront) {
    // 3 x 350 minimum does not fit a 1000-pixel frame: the third bar starts a new row.
    auto [a, b] = AddTopRowOfTwo();
    RECT r = ScreenRect(a->m_hWnd);
    RECT drop{r.right - 20, r.top, r.right + 100, r.top + 50};
    CSizingControlBar* c = AddBar("c", AFX_IDW_DOCKBAR_TOP, &drop);   // lands between a and b
    frame.RecalcLayout();
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->m_arrBars, (std::vector<CControlBar*>{nullptr, a, c, nullptr, b, nullptr}))
        << "the bar past the minimums moved to a row of its own";
    EXPECT_EQ(ScreenRect(a->m_hWnd).top, ScreenRect(c->m_hWnd).top);
    EXPECT_EQ(ScreenRect(b->m_hWnd).top, ScreenRect(a->m_hWnd).top + a->m_sizeHorzDock.cy - 2);
    RECT above{r.left, r.top - 20, r.left + 100, r.top + 20};
    CSizingControlBar* d = AddBar("d", AFX_IDW_DOCKBAR_TOP, &above);
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->m_arrBars,
              (std::vector<CControlBar*>{nullptr, d, nullptr, a, c, nullptr, b, nullptr}));
}

TEST_F(DockLayout, BarDockedLeftFillsTheDockHeightFollowsTheFrameAndHidesAtTheNextLayoutWhenDelayed) {
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    // After the frame changes height the row length follows on the next layout,
    // and the resized bar fits its child to the client area.
    ::SetWindowPos(frame.m_hWnd, nullptr, 0, 0, kFrameW, kFrameH - 100, SWP_NOMOVE | SWP_NOZORDER);
    frame.RecalcLayout();
    RECT client = ClientScreenRect();
    RECT rb = ScreenRect(bar->m_hWnd);
    EXPECT_EQ(rb, (RECT{client.left, client.top, client.left + 350, client.bottom}));
    EXPECT_EQ(ViewRect(), (RECT{rb.right, client.top, client.right, client.bottom}));
    EXPECT_EQ(ScreenRect(children.back()->m_hWnd), ClientOnScreen(bar->m_hWnd));

    frame.ShowControlBar(bar, FALSE, TRUE);
    EXPECT_TRUE(Shown(bar->m_hWnd)) << "not yet";
    EXPECT_FALSE(bar->IsVisible());
    Idle();
    EXPECT_FALSE(Shown(bar->m_hWnd));
    EXPECT_EQ(ViewRect().left, client.left);
    frame.ShowControlBar(bar, TRUE, FALSE);
    EXPECT_TRUE(Shown(bar->m_hWnd)) << "at once";
    EXPECT_EQ(ViewRect().left, client.left + 350);
}

TEST_F(DockLayout, DoubleClickTogglesBetweenDockedAndFloating) {
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT);
    ::SendMessageA(bar->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(20, 20));
    ASSERT_TRUE(bar->IsFloating());
    HWND hMini = ::GetParent(::GetParent(bar->m_hWnd));

    ::SendMessageA(bar->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(20, 20));
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_FALSE(::IsWindow(hMini)) << "the empty floating frame is gone";
    Idle();
    EXPECT_EQ(bar->m_nDockSideID, (UINT)AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(ViewRect().left, ClientScreenRect().left + 350);

    // Dragging the floating frame by its caption back over the left side docks it there too.
    ::SendMessageA(bar->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(20, 20));
    ASSERT_TRUE(bar->IsFloating());
    hMini = ::GetParent(::GetParent(bar->m_hWnd));
    RECT rm = ScreenRect(hMini);
    RECT client = ClientScreenRect();
    POINT to{client.left + 10, client.top + 300};
    ::PostMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, to.x, to.y));
    ::PostMessageA(bar->m_hWnd, WM_LBUTTONUP, 0, ClientPt(bar->m_hWnd, to.x, to.y));
    ::SendMessageA(hMini, WM_NCLBUTTONDOWN, HTCAPTION, Pt(rm.left + 40, rm.top + 5));
    EXPECT_EQ(bar->m_pDockBar, Dock(AFX_IDW_DOCKBAR_LEFT));
}

TEST_F(DockLayout, ClosingTheFloatingFrameHidesTheBarAndACornerResizesItNoSmallerThanTheMinimum) {
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT);
    frame.FloatControlBar(bar, POINT{300, 200});
    ASSERT_TRUE(bar->IsFloating());
    HWND hMini = ::GetParent(::GetParent(bar->m_hWnd));
    // Closing the floating frame hides the bar; showing the bar brings the frame back.
    ::SendMessageA(hMini, WM_CLOSE, 0, 0);
    EXPECT_FALSE(Shown(hMini) || bar->IsVisible());
    frame.ShowControlBar(bar, TRUE, FALSE);
    EXPECT_TRUE(Shown(hMini) && Shown(bar->m_hWnd));

    auto resize = [&](UINT hit, POINT from, POINT to) {
        ::SetCursorPos(to.x, to.y);
        ::PostMessageA(hMini, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(hMini, to.x, to.y));
        ::PostMessageA(hMini, WM_LBUTTONUP, 0, ClientPt(hMini, to.x, to.y));
        ::SendMessageA(hMini, WM_NCLBUTTONDOWN, hit, Pt(from.x, from.y));
    };
    RECT rm = ScreenRect(hMini);
    POINT cur{};
    ::SetCursorPos(rm.right + 40, rm.bottom + 30);
    ::GetCursorPos(&cur);
    if (cur.x != rm.right + 40) GTEST_SKIP() << "the display does not move the cursor";

    // Bottom-right corner dragged outward: both dimensions grow by the drag.
    resize(HTBOTTOMRIGHT, POINT{rm.right - 1, rm.bottom - 1}, POINT{rm.right + 40, rm.bottom + 30});
    EXPECT_EQ(std::tuple(bar->m_sizeFloating.cx, bar->m_sizeFloating.cy), std::tuple(350 + 40, 350 + 30));
    EXPECT_EQ(bar->m_pDockContext->m_nHitTest, HTNOWHERE);
    EXPECT_EQ(Width(ScreenRect(bar->m_hWnd)), 350 + 40);

    // Top-left corner dragged past the bottom-right: the minimum, and the
    // frame's right and bottom stay put.
    rm = ScreenRect(hMini);
    resize(HTTOPLEFT, POINT{rm.left, rm.top}, POINT{rm.right + 100, rm.bottom + 100});
    EXPECT_EQ(std::tuple(bar->m_sizeFloating.cx, bar->m_sizeFloating.cy),
              std::tuple(bar->m_sizeMinFloating.cx, bar->m_sizeMinFloating.cy));
    EXPECT_EQ(std::tuple(ScreenRect(hMini).right, ScreenRect(hMini).bottom), std::tuple(rm.right, rm.bottom));
}
