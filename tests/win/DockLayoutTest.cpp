// Docking in a real frame: dock bar rows, sizes after layout, delayed show and
// hide, floating by drag and by double-click, the floating frame's resizing.
#include "win/DockTestFrame.h"

#include "framework/DockContext.h"

using namespace docktest;

using DockLayout = DockFixture;

TEST_F(DockLayout, BarDockedLeftFillsTheDockHeightKeepsItsWidthAndItsChildFillsTheClient) {
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, CWnd::RegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 1, 1},
                               bar->m_hWnd, 1));
    RECT client = ClientScreenRect();
    RECT rb = WindowRect(bar->m_hWnd);
    EXPECT_EQ(bar->m_nDockSideID, (UINT)AFX_IDW_DOCKBAR_LEFT);
    EXPECT_TRUE(bar->IsVertDockedBar());
    EXPECT_EQ(rb.right - rb.left, 350);
    EXPECT_EQ(rb.top, client.top);
    EXPECT_EQ(rb.bottom, client.bottom);
    EXPECT_EQ(bar->m_sizeVertDock.cy, client.bottom - client.top);
    // The view takes the rest, from the bar's right edge.
    EXPECT_EQ(ViewRect().left, client.left + 350);
    EXPECT_EQ(ViewRect().right, client.right);

    EXPECT_EQ(bar->GetSizingStyle() & SZBS_EDGE_ALL, (DWORD)SZBS_EDGE_RIGHT);

    // After the frame changes height the row length follows on the next layout,
    // and the resized bar fits its child to the client area: inset 5, 5, 10, 5.
    ::SetWindowPos(frame.m_hWnd, nullptr, 0, 0, kFrameW, kFrameH - 100, SWP_NOMOVE | SWP_NOZORDER);
    frame.RecalcLayout();
    client = ClientScreenRect();
    rb = WindowRect(bar->m_hWnd);
    EXPECT_EQ(rb.bottom, client.bottom);
    EXPECT_EQ(bar->m_sizeVertDock.cx, 350);
    RECT rc = WindowRect(child.m_hWnd);
    EXPECT_EQ(rc.left - rb.left, 5);
    EXPECT_EQ(rc.top - rb.top, 5);
    EXPECT_EQ(rb.right - rc.right, 10);
    EXPECT_EQ(rb.bottom - rc.bottom, 5);
}

TEST_F(DockLayout, TwoBarsShareATopRowEdgeToEdge) {
    CSizingControlBar* a = AddBar("a", AFX_IDW_DOCKBAR_TOP);
    RECT ra = WindowRect(a->m_hWnd);
    RECT drop{ra.right - 50, ra.top, ra.right + 300, ra.top + 200};
    CSizingControlBar* b = AddBar("b", AFX_IDW_DOCKBAR_TOP, &drop);
    frame.RecalcLayout();

    CDockBar* top = Dock(AFX_IDW_DOCKBAR_TOP);
    ASSERT_EQ(top->m_arrBars.size(), 4u);   // [empty, a, b, empty]: one row
    EXPECT_EQ(top->m_arrBars[1], a);
    EXPECT_EQ(top->m_arrBars[2], b);

    ra = WindowRect(a->m_hWnd);
    RECT rb = WindowRect(b->m_hWnd);
    RECT dock = WindowRect(top->m_hWnd);
    EXPECT_EQ(rb.left, ra.right - 2);        // 2-pixel overlap
    EXPECT_EQ(ra.left, dock.left - 2);       // the row's outer borders hide beyond the dock bar
    EXPECT_EQ(rb.right, dock.right + 2);
    EXPECT_EQ(a->m_sizeHorzDock.cx + b->m_sizeHorzDock.cx - 4, (dock.right - dock.left) + 2);
    EXPECT_EQ(ra.bottom - ra.top, rb.bottom - rb.top);
    // Facing edges between the bars, and each has the edge facing the frame's inside.
    EXPECT_EQ(a->GetSizingStyle() & SZBS_EDGE_ALL, (DWORD)(SZBS_EDGE_RIGHT | SZBS_EDGE_BOTTOM));
    EXPECT_EQ(b->GetSizingStyle() & SZBS_EDGE_ALL, (DWORD)(SZBS_EDGE_LEFT | SZBS_EDGE_BOTTOM));
    EXPECT_EQ(ViewRect().top, dock.bottom);
}

TEST_F(DockLayout, RowTooShortForTheMinimumsIsSplit) {
    // 3 x 350 minimum does not fit a 1000-pixel frame: the third bar starts a new row.
    CSizingControlBar* a = AddBar("a", AFX_IDW_DOCKBAR_TOP);
    CDockBar* top = Dock(AFX_IDW_DOCKBAR_TOP);
    auto addInRow = [&](const char* t) {
        RECT r = WindowRect(a->m_hWnd);
        RECT drop{r.right - 20, r.top, r.right + 100, r.top + 50};
        return AddBar(t, AFX_IDW_DOCKBAR_TOP, &drop);
    };
    CSizingControlBar* b = addInRow("b");
    ASSERT_EQ(top->m_arrBars.size(), 4u);
    CSizingControlBar* c = addInRow("c");   // lands between a and b
    frame.RecalcLayout();
    // [empty, a, c, empty, b, empty]: the bar past the minimums moved to a row of its own.
    ASSERT_EQ(top->m_arrBars.size(), 6u);
    EXPECT_EQ(top->m_arrBars[1], a);
    EXPECT_EQ(top->m_arrBars[2], c);
    EXPECT_EQ(top->m_arrBars[3], nullptr);
    EXPECT_EQ(top->m_arrBars[4], b);
    EXPECT_EQ(WindowRect(a->m_hWnd).top, WindowRect(c->m_hWnd).top);
    EXPECT_EQ(WindowRect(b->m_hWnd).top, WindowRect(a->m_hWnd).top + a->m_sizeHorzDock.cy - 2);
    EXPECT_EQ(b->GetSizingStyle() & SZBS_EDGE_ALL, (DWORD)SZBS_EDGE_BOTTOM);
    for (CSizingControlBar* p : {a, b, c}) EXPECT_GE(p->m_sizeHorzDock.cx, 350);
}

TEST_F(DockLayout, DelayedHideWaitsForTheNextLayoutAndShowKeepsTheWidth) {
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    RECT client = ClientScreenRect();
    frame.ShowControlBar(bar, FALSE, TRUE);
    EXPECT_TRUE(Shown(bar->m_hWnd));   // not yet
    EXPECT_FALSE(bar->IsVisible());
    Idle();
    EXPECT_FALSE(Shown(bar->m_hWnd));
    EXPECT_EQ(ViewRect().left, client.left);

    frame.ShowControlBar(bar, TRUE, FALSE);        // immediate
    EXPECT_TRUE(Shown(bar->m_hWnd));
    EXPECT_EQ(ViewRect().left, client.left + 350);
    EXPECT_EQ(WindowRect(bar->m_hWnd).bottom, client.bottom);
}

TEST_F(DockLayout, DraggingTheBarOffTheFrameFloatsItAndTheCaptionFollowsTheTitle) {
    CSizingControlBar* bar = AddBar("侧边栏", AFX_IDW_DOCKBAR_LEFT);
    RECT rb = WindowRect(bar->m_hWnd);
    POINT grab{rb.left + 100, rb.top + 100};
    POINT drop{rb.left + 600, rb.top + 200};   // over the view, far from every side
    ::PostMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, drop.x - 100, drop.y));
    ::PostMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, drop.x, drop.y));
    ::PostMessageA(bar->m_hWnd, WM_LBUTTONUP, 0, ClientPt(bar->m_hWnd, drop.x, drop.y));
    ::SendMessageA(bar->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPt(bar->m_hWnd, grab.x, grab.y));

    ASSERT_TRUE(bar->IsFloating());
    EXPECT_EQ(bar->m_nDockSideID, (UINT)AFX_IDW_DOCKBAR_FLOAT);
    EXPECT_TRUE(bar->IsFloatingBar());
    auto* mini = dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(bar->m_pDockBar->m_hWnd)));
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(Shown(mini->m_hWnd));
    EXPECT_EQ(mini->GetWindowText(), "侧边栏");
    EXPECT_EQ(::GetWindow(mini->m_hWnd, GW_OWNER), frame.m_hWnd);
    // The frame moved with the drag; the bar has its floating size.
    RECT rm = WindowRect(mini->m_hWnd);
    EXPECT_EQ(rm.left, rb.left + (drop.x - grab.x));
    RECT rf = WindowRect(bar->m_hWnd);
    EXPECT_EQ(rf.right - rf.left, 350);
    EXPECT_EQ(rf.bottom - rf.top, 350);
    // The first non-client calculation gave the floating frame its corners.
    EXPECT_FALSE(mini->GetStyle() & MFS_4THICKFRAME);
    // No edges while floating: every point is client, and a press starts no edge drag.
    EXPECT_EQ(bar->GetSizingStyle() & SZBS_EDGE_ALL, 0u);
    EXPECT_EQ(::SendMessageA(bar->m_hWnd, WM_NCHITTEST, 0, Pt(rf.right - 2, rf.top + 50)), HTCLIENT);
    ::SendMessageA(bar->m_hWnd, WM_NCLBUTTONDOWN, HTRIGHT, Pt(rf.right - 2, rf.top + 50));
    EXPECT_FALSE(bar->m_bEdgeTracking);

    // The left side is empty now: the view takes the whole width.
    Idle();
    EXPECT_EQ(ViewRect().left, ClientScreenRect().left);

    // Renaming the bar renames the floating frame at the next idle time.
    bar->SetWindowText("renamed");
    Idle();
    EXPECT_EQ(mini->GetWindowText(), "renamed");
}

TEST_F(DockLayout, DoubleClickTogglesBetweenDockedAndFloating) {
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT);
    ::SendMessageA(bar->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(20, 20));
    ASSERT_TRUE(bar->IsFloating());
    HWND hMini = ::GetParent(::GetParent(bar->m_hWnd));
    EXPECT_EQ(bar->m_pDockContext->m_uMRUDockID, (UINT)AFX_IDW_DOCKBAR_LEFT);

    ::SendMessageA(bar->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(20, 20));
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(::GetParent(bar->m_hWnd), Dock(AFX_IDW_DOCKBAR_LEFT)->m_hWnd);
    EXPECT_FALSE(::IsWindow(hMini));   // the empty floating frame is gone
    Idle();
    EXPECT_EQ(bar->m_nDockSideID, (UINT)AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(ViewRect().left, ClientScreenRect().left + 350);

    // Dragging the floating frame by its caption back over the left side docks it there too.
    ::SendMessageA(bar->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, Pt(20, 20));
    ASSERT_TRUE(bar->IsFloating());
    hMini = ::GetParent(::GetParent(bar->m_hWnd));
    RECT rm = WindowRect(hMini);
    RECT client = ClientScreenRect();
    POINT from{rm.left + 40, rm.top + 5};
    POINT to{client.left + 10, client.top + 300};
    ::PostMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, to.x, to.y));
    ::PostMessageA(bar->m_hWnd, WM_LBUTTONUP, 0, ClientPt(bar->m_hWnd, to.x, to.y));
    ::SendMessageA(hMini, WM_NCLBUTTONDOWN, HTCAPTION, Pt(from.x, from.y));
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(bar->m_pDockBar, Dock(AFX_IDW_DOCKBAR_LEFT));
}

TEST_F(DockLayout, FloatingFrameResizedByACornerStaysAtLeastTheMinimum) {
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT);
    frame.FloatControlBar(bar, POINT{300, 200});
    ASSERT_TRUE(bar->IsFloating());
    HWND hMini = ::GetParent(::GetParent(bar->m_hWnd));
    RECT rm = WindowRect(hMini);
    RECT rb = WindowRect(bar->m_hWnd);
    int ncW = (rm.right - rm.left) - (rb.right - rb.left);
    int ncH = (rm.bottom - rm.top) - (rb.bottom - rb.top);

    // Bottom-right corner dragged outward: both dimensions grow by the drag.
    auto resize = [&](UINT hit, POINT from, POINT to) {
        ::SetCursorPos(to.x, to.y);
        ::PostMessageA(hMini, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(hMini, to.x, to.y));
        ::PostMessageA(hMini, WM_LBUTTONUP, 0, ClientPt(hMini, to.x, to.y));
        ::SendMessageA(hMini, WM_NCLBUTTONDOWN, hit, Pt(from.x, from.y));
    };
    POINT cur{};
    ::SetCursorPos(rm.right + 40, rm.bottom + 30);
    ::GetCursorPos(&cur);
    if (cur.x != rm.right + 40) GTEST_SKIP() << "the display does not move the cursor";
    resize(HTBOTTOMRIGHT, POINT{rm.right - 1, rm.bottom - 1}, POINT{rm.right + 40, rm.bottom + 30});
    EXPECT_EQ(bar->m_sizeFloating.cx, 350 + 40);
    EXPECT_EQ(bar->m_sizeFloating.cy, 350 + 30);
    EXPECT_EQ(bar->m_pDockContext->m_nHitTest, HTNOWHERE);

    // Dragged far past the opposite corner: the minimum 37 x 32.
    rm = WindowRect(hMini);
    resize(HTBOTTOMRIGHT, POINT{rm.right - 1, rm.bottom - 1}, POINT{rm.left - 200, rm.top - 200});
    EXPECT_EQ(bar->m_sizeFloating.cx, 37);
    EXPECT_EQ(bar->m_sizeFloating.cy, 32);
    rb = WindowRect(bar->m_hWnd);
    EXPECT_EQ(rb.right - rb.left, 37);
    EXPECT_EQ(rb.bottom - rb.top, 32);

    // Top-left corner dragged past the bottom-right: the frame's right and bottom stay put.
    rm = WindowRect(hMini);
    ::SetWindowPos(hMini, nullptr, 0, 0, 300 + ncW, 300 + ncH, SWP_NOMOVE | SWP_NOZORDER);
    bar->m_sizeFloating = SIZE{300, 300};
    reinterpret_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(hMini))->RecalcLayout();
    rm = WindowRect(hMini);
    resize(HTTOPLEFT, POINT{rm.left, rm.top}, POINT{rm.right + 100, rm.bottom + 100});
    RECT after = WindowRect(hMini);
    EXPECT_EQ(bar->m_sizeFloating.cx, 37);
    EXPECT_EQ(bar->m_sizeFloating.cy, 32);
    EXPECT_EQ(after.right, rm.right);
    EXPECT_EQ(after.bottom, rm.bottom);
}

TEST_F(DockLayout, FloatingFrameCloseHidesTheBarAndShowingBringsTheFrameBack) {
    CSizingControlBar* bar = AddBar("bar", AFX_IDW_DOCKBAR_LEFT);
    frame.FloatControlBar(bar, POINT{300, 200});
    HWND hMini = ::GetParent(::GetParent(bar->m_hWnd));
    ::SendMessageA(hMini, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(hMini));
    EXPECT_TRUE(::IsWindow(bar->m_hWnd));
    EXPECT_FALSE(Shown(hMini));
    EXPECT_FALSE(bar->IsVisible());
    frame.ShowControlBar(bar, TRUE, FALSE);
    EXPECT_TRUE(Shown(hMini));
    EXPECT_TRUE(Shown(bar->m_hWnd));
}

TEST_F(DockLayout, ABarShownAgainKeepsItsLengthWhileItsNeighbourGivesWay) {
    CSizingControlBar* a = AddBar("a", AFX_IDW_DOCKBAR_TOP);
    RECT ra = WindowRect(a->m_hWnd);
    RECT drop{ra.right - 50, ra.top, ra.right + 300, ra.top + 200};
    CSizingControlBar* b = AddBar("b", AFX_IDW_DOCKBAR_TOP, &drop);
    frame.RecalcLayout();
    const int sum = a->m_sizeHorzDock.cx + b->m_sizeHorzDock.cx;
    b->m_sizeHorzDock.cx = 420;   // as if the user had dragged it
    a->m_sizeHorzDock.cx = sum - 420;

    frame.ShowControlBar(b, FALSE, FALSE);
    EXPECT_FALSE(Shown(b->m_hWnd));
    RECT dock = WindowRect(Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd);
    EXPECT_EQ(WindowRect(a->m_hWnd).right, dock.right + 2);   // alone, a spans the row

    frame.ShowControlBar(b, TRUE, FALSE);
    EXPECT_TRUE(Shown(b->m_hWnd));
    EXPECT_EQ(b->m_sizeHorzDock.cx, 420);
    EXPECT_EQ(a->m_sizeHorzDock.cx, sum - 420);
    EXPECT_FALSE(a->m_bHoldSize);
    EXPECT_FALSE(b->m_bHoldSize);
}

TEST_F(DockLayout, BarsStackedOnTheRightShareTheHeightAndSizeTowardTheView) {
    CSizingControlBar* a = AddBar("a", AFX_IDW_DOCKBAR_RIGHT);
    RECT ra = WindowRect(a->m_hWnd);
    RECT drop{ra.left, ra.bottom - 50, ra.left + 200, ra.bottom + 100};
    CSizingControlBar* b = AddBar("b", AFX_IDW_DOCKBAR_RIGHT, &drop);
    frame.RecalcLayout();
    RECT client = ClientScreenRect();
    ra = WindowRect(a->m_hWnd);
    RECT rb = WindowRect(b->m_hWnd);
    EXPECT_EQ(ra.right, client.right);
    EXPECT_EQ(ra.top, client.top);
    EXPECT_EQ(rb.top, ra.bottom - 2);
    EXPECT_EQ(rb.bottom, client.bottom);
    EXPECT_EQ(ViewRect().right, ra.left);
    EXPECT_EQ(a->GetSizingStyle() & SZBS_EDGE_ALL, (DWORD)(SZBS_EDGE_LEFT | SZBS_EDGE_BOTTOM));
    EXPECT_EQ(b->GetSizingStyle() & SZBS_EDGE_ALL, (DWORD)(SZBS_EDGE_LEFT | SZBS_EDGE_TOP));

    // The left edge widens both bars toward the view; the edge between them moves height.
    POINT left{ra.left + 3, ra.top + 100};
    ASSERT_EQ(::SendMessageA(a->m_hWnd, WM_NCHITTEST, 0, Pt(left.x, left.y)), HTLEFT);
    DragEdge(a, HTLEFT, left, POINT{left.x - 70, left.y});
    EXPECT_EQ(a->m_sizeVertDock.cx, 420);
    EXPECT_EQ(b->m_sizeVertDock.cx, 420);
    int heightA = a->m_sizeVertDock.cy, heightB = b->m_sizeVertDock.cy;
    POINT between{ra.left + 100, ra.bottom - 3};
    ASSERT_EQ(::SendMessageA(a->m_hWnd, WM_NCHITTEST, 0, Pt(between.x, between.y)), HTBOTTOM);
    DragEdge(a, HTBOTTOM, between, POINT{between.x, between.y + 25});
    EXPECT_EQ(a->m_sizeVertDock.cy, heightA + 25);
    EXPECT_EQ(b->m_sizeVertDock.cy, heightB - 25);
    Idle();
    EXPECT_EQ(ViewRect().right, WindowRect(a->m_hWnd).left);
    EXPECT_EQ(WindowRect(a->m_hWnd).right - WindowRect(a->m_hWnd).left, 420);
}
