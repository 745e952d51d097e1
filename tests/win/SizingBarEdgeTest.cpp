// Sizing edges of real bars: edge drags driven by mouse messages, where they
// stop and how they end, edges between the bars of a row, full-window drag,
// painting.
#include "win/DockTestFrame.h"

using namespace docktest;

using SizingBarEdge = DockFixture;

TEST_F(SizingBarEdge, RightEdgeDragResizesTheBarEndsOnAnyReleaseAndStopsAtItsLimits) {
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    RECT rb = ScreenRect(bar->m_hWnd);
    POINT edge{rb.right - 4, rb.top + 200};
    ASSERT_EQ(HitTest(bar->m_hWnd, edge.x, edge.y), HTRIGHT);
    EXPECT_EQ(HitTest(bar->m_hWnd, edge.x, rb.top + 1), HTRIGHT) << "docked vertically, the edge runs to the corner";
    EXPECT_EQ(HitTest(bar->m_hWnd, rb.left + 2, edge.y), HTCLIENT) << "no edge against the frame";
    // The left button's release, or the right button, ends a drag and keeps the size.
    for (UINT end : {WM_LBUTTONUP, WM_RBUTTONDOWN}) {
        DragEdge(bar, HTRIGHT, edge, POINT{edge.x + 30, edge.y}, end);
        EXPECT_FALSE(bar->m_bEdgeTracking || ::GetCapture() == bar->m_hWnd);
        edge.x += 30;
    }
    Idle();   // the drag asked for a delayed layout
    rb = ScreenRect(bar->m_hWnd);
    EXPECT_EQ(Width(rb), 410);
    EXPECT_EQ(ViewRect().left, rb.right);

    // Another window takes the capture mid-drag: the drag ends, the size stays,
    // the other window keeps its capture, and a later mouse move does nothing more.
    ::SendMessageA(bar->m_hWnd, WM_NCLBUTTONDOWN, HTRIGHT, Pt(edge.x, edge.y));
    ASSERT_TRUE(bar->m_bEdgeTracking);
    ::SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, edge.x + 25, edge.y));
    ::SetCapture(view.m_hWnd);
    EXPECT_FALSE(bar->m_bEdgeTracking);
    EXPECT_EQ(::GetCapture(), view.m_hWnd);
    ::ReleaseCapture();
    ::SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, 0, ClientPt(bar->m_hWnd, edge.x + 200, edge.y));
    Idle();
    rb = ScreenRect(bar->m_hWnd);
    EXPECT_EQ(Width(rb), 435);

    // Far past either end: the bar's minimum width, and all of the view but 2 pixels.
    edge = POINT{rb.right - 4, rb.top + 200};
    DragEdge(bar, HTRIGHT, edge, POINT{edge.x - 1000, edge.y});
    EXPECT_EQ(bar->m_sizeVertDock.cx, bar->m_sizeMinVertDock.cx);
    Idle();
    rb = ScreenRect(bar->m_hWnd);
    edge = POINT{rb.right - 4, rb.top + 200};
    DragEdge(bar, HTRIGHT, edge, POINT{edge.x + 5000, edge.y});
    Idle();
    EXPECT_EQ(Width(ViewRect()), 2);
}

TEST_F(SizingBarEdge, EdgeBetweenTwoBarsMovesLengthAndOuterEdgeMovesTheRowThickness) {
    auto [a, b] = AddTopRowOfTwo();
    RECT ra = ScreenRect(a->m_hWnd);
    const int sum = a->m_sizeHorzDock.cx + b->m_sizeHorzDock.cx;

    POINT edge{ra.right - 4, ra.top + 100};
    ASSERT_EQ(HitTest(a->m_hWnd, edge.x, edge.y), HTRIGHT);
    // Never below a bar's minimum: b stops at 350, a stops where b did.
    DragEdge(a, HTRIGHT, edge, POINT{edge.x + 3000, edge.y});
    EXPECT_EQ(std::tuple(a->m_sizeHorzDock.cx, b->m_sizeHorzDock.cx), std::tuple(sum - 350, 350));
    // And back from b's side: its left edge dragged left takes from a.
    Idle();
    EXPECT_EQ(ScreenRect(b->m_hWnd).left, ScreenRect(a->m_hWnd).right - 2);
    RECT rb = ScreenRect(b->m_hWnd);
    POINT left{rb.left + 3, rb.top + 100};
    ASSERT_EQ(HitTest(b->m_hWnd, left.x, left.y), HTLEFT);
    DragEdge(b, HTLEFT, left, POINT{left.x - 100, left.y});
    EXPECT_EQ(std::tuple(a->m_sizeHorzDock.cx, b->m_sizeHorzDock.cx), std::tuple(sum - 450, 450));

    // The outer (bottom) edge changes both bars' thickness together.
    Idle();
    ra = ScreenRect(a->m_hWnd);
    POINT bottom{ra.left + 100, ra.bottom - 4};
    ASSERT_EQ(HitTest(a->m_hWnd, bottom.x, bottom.y), HTBOTTOM);
    const int thick = a->m_sizeHorzDock.cy;
    DragEdge(a, HTBOTTOM, bottom, POINT{bottom.x, bottom.y + 30});
    EXPECT_EQ(std::tuple(a->m_sizeHorzDock.cy, b->m_sizeHorzDock.cy), std::tuple(thick + 30, thick + 30));
    Idle();
    EXPECT_EQ(Height(ScreenRect(b->m_hWnd)), thick + 30);
}

TEST_F(SizingBarEdge, EdgeBetweenBarsStackedOnTheRightMovesTheirHeights) {
    CSizingControlBar* a = AddBar("a", AFX_IDW_DOCKBAR_RIGHT);
    RECT ra = ScreenRect(a->m_hWnd);
    RECT drop{ra.left, ra.bottom - 50, ra.left + 200, ra.bottom + 100};
    CSizingControlBar* b = AddBar("b", AFX_IDW_DOCKBAR_RIGHT, &drop);
    frame.RecalcLayout();
    ra = ScreenRect(a->m_hWnd);
    EXPECT_EQ(ScreenRect(b->m_hWnd).top, ra.bottom - 2);
    const int heightA = a->m_sizeVertDock.cy, heightB = b->m_sizeVertDock.cy;
    POINT between{ra.left + 100, ra.bottom - 3};
    ASSERT_EQ(HitTest(a->m_hWnd, between.x, between.y), HTBOTTOM);
    DragEdge(a, HTBOTTOM, between, POINT{between.x, between.y + 25});
    EXPECT_EQ(std::tuple(a->m_sizeVertDock.cy, b->m_sizeVertDock.cy), std::tuple(heightA + 25, heightB - 25));
    Idle();
    EXPECT_EQ(ScreenRect(b->m_hWnd).top, ScreenRect(a->m_hWnd).bottom - 2);
}

TEST_F(SizingBarEdge, FullWindowDragFollowsLiveAfterTheSettingChanges) {
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    BOOL saved = FALSE;
    ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &saved, 0);
    ::SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    ::SendMessageA(bar->m_hWnd, WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS, 0);
    EXPECT_TRUE(bar->m_bFullWindowDrag);

    RECT rb = ScreenRect(bar->m_hWnd);
    POINT edge{rb.right - 4, rb.top + 200};
    ::SendMessageA(bar->m_hWnd, WM_NCLBUTTONDOWN, HTRIGHT, Pt(edge.x, edge.y));
    ::SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, edge.x + 50, edge.y));
    Idle();   // still dragging: the bar already has its new width
    EXPECT_TRUE(bar->m_bEdgeTracking);
    EXPECT_EQ(Width(ScreenRect(bar->m_hWnd)), 400);
    ::SendMessageA(bar->m_hWnd, WM_LBUTTONUP, 0, ClientPt(bar->m_hWnd, edge.x + 50, edge.y));

    ::SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
    ::SendMessageA(bar->m_hWnd, WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS, 0);
    EXPECT_FALSE(bar->m_bFullWindowDrag);
    ::SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, saved, nullptr, 0);
}

TEST_F(SizingBarEdge, NonClientAreaIsPaintedWithARaisedEdgeAroundTheChild) {
    frame.ShowWindow(SW_SHOW);   // pixels of a hidden window cannot be read back
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    ::SendMessageA(bar->m_hWnd, WM_NCPAINT, 1, 0);
    RECT rb = ScreenRect(bar->m_hWnd);
    HDC dc = ::GetWindowDC(bar->m_hWnd);
    // The raised edge's top-left and bottom-right, and the border outside it.
    const std::tuple pixels(::GetPixel(dc, Width(rb) - 6, 1), ::GetPixel(dc, Width(rb) - 2, Height(rb) - 2),
                            ::GetPixel(dc, 2, 2));
    ::ReleaseDC(bar->m_hWnd, dc);
    if (std::get<0>(pixels) == CLR_INVALID) GTEST_SKIP() << "window pixels cannot be read back here";
    EXPECT_EQ(pixels, std::tuple(::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW),
                                 ::GetSysColor(COLOR_BTNFACE)));
}
