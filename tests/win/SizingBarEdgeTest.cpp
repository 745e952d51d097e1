// Sizing edges of real bars: hit tests at screen points, edge drags driven by
// mouse messages, their limits and their endings, full-window drag, painting.
#include "win/DockTestFrame.h"

using namespace docktest;

using SizingBarEdge = DockFixture;

TEST_F(SizingBarEdge, HitTestFindsOnlyTheInnerEdgeOfABarDockedLeft) {
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    RECT rb = WindowRect(bar->m_hWnd);
    auto hit = [&](int x, int y) { return ::SendMessageA(bar->m_hWnd, WM_NCHITTEST, 0, Pt(x, y)); };
    int y = rb.top + 200;
    EXPECT_EQ(hit(rb.right - 6, y), HTRIGHT);   // a strip 5 wide, inset by 1 with drawn edges
    EXPECT_EQ(hit(rb.right - 2, y), HTRIGHT);
    EXPECT_EQ(hit(rb.right - 1, y), HTCLIENT);
    EXPECT_EQ(hit(rb.right - 7, y), HTCLIENT);
    EXPECT_EQ(hit(rb.right - 4, rb.top + 1), HTRIGHT);
    EXPECT_EQ(hit(rb.right - 4, rb.top), HTCLIENT);
    EXPECT_EQ(hit(rb.left + 2, y), HTCLIENT);    // no left edge against the frame
    EXPECT_EQ(hit(rb.left + 100, rb.top + 2), HTCLIENT);
}

TEST_F(SizingBarEdge, DraggingTheRightEdgeResizesAndStopsAtTheLimits) {
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    RECT rb = WindowRect(bar->m_hWnd);
    POINT edge{rb.right - 4, rb.top + 200};
    DragEdge(bar, HTRIGHT, edge, POINT{edge.x + 60, edge.y});
    EXPECT_FALSE(bar->m_bEdgeTracking);
    EXPECT_NE(::GetCapture(), bar->m_hWnd);
    EXPECT_EQ(bar->m_sizeVertDock.cx, 410);
    Idle();   // the drag asked for a delayed layout
    rb = WindowRect(bar->m_hWnd);
    EXPECT_EQ(rb.right - rb.left, 410);
    EXPECT_EQ(ViewRect().left, rb.right);

    // Narrowing stops at the minimum of 33.
    edge = POINT{rb.right - 4, rb.top + 200};
    DragEdge(bar, HTRIGHT, edge, POINT{edge.x - 1000, edge.y});
    EXPECT_EQ(bar->m_sizeVertDock.cx, 33);
    Idle();
    rb = WindowRect(bar->m_hWnd);
    EXPECT_EQ(rb.right - rb.left, 33);

    // Widening stops at the view area's width - 2.
    RECT view = ViewRect();
    edge = POINT{rb.right - 4, rb.top + 200};
    DragEdge(bar, HTRIGHT, edge, POINT{edge.x + 5000, edge.y});
    EXPECT_EQ(bar->m_sizeVertDock.cx, 33 + (view.right - view.left) - 2);
}

TEST_F(SizingBarEdge, RightButtonOrLostCaptureEndTheDragAndKeepTheSize) {
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    RECT rb = WindowRect(bar->m_hWnd);
    POINT edge{rb.right - 4, rb.top + 200};
    DragEdge(bar, HTRIGHT, edge, POINT{edge.x + 40, edge.y}, WM_RBUTTONDOWN);
    EXPECT_FALSE(bar->m_bEdgeTracking);
    EXPECT_NE(::GetCapture(), bar->m_hWnd);
    EXPECT_EQ(bar->m_sizeVertDock.cx, 390);

    // Another window takes the capture mid-drag: the drag ends, the size stays,
    // and the other window keeps its capture.
    ::SendMessageA(bar->m_hWnd, WM_NCLBUTTONDOWN, HTRIGHT, Pt(edge.x + 40, edge.y));
    ASSERT_TRUE(bar->m_bEdgeTracking);
    EXPECT_EQ(::GetCapture(), bar->m_hWnd);
    ::SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, edge.x + 65, edge.y));
    ::SetCapture(view.m_hWnd);
    EXPECT_FALSE(bar->m_bEdgeTracking);
    EXPECT_EQ(::GetCapture(), view.m_hWnd);
    ::ReleaseCapture();
    EXPECT_EQ(bar->m_sizeVertDock.cx, 415);
    Idle();
    rb = WindowRect(bar->m_hWnd);
    EXPECT_EQ(rb.right - rb.left, 415);

    // A later mouse move does nothing more.
    ::SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, 0, ClientPt(bar->m_hWnd, edge.x + 200, edge.y));
    EXPECT_EQ(bar->m_sizeVertDock.cx, 415);
}

TEST_F(SizingBarEdge, EdgeBetweenTwoBarsMovesLengthAndOuterEdgeMovesTheRowThickness) {
    CSizingControlBar* a = AddBar("a", AFX_IDW_DOCKBAR_TOP);
    RECT ra = WindowRect(a->m_hWnd);
    RECT drop{ra.right - 50, ra.top, ra.right + 300, ra.top + 200};
    CSizingControlBar* b = AddBar("b", AFX_IDW_DOCKBAR_TOP, &drop);
    frame.RecalcLayout();
    ra = WindowRect(a->m_hWnd);
    const int sum = a->m_sizeHorzDock.cx + b->m_sizeHorzDock.cx;
    const int lenA = a->m_sizeHorzDock.cx, lenB = b->m_sizeHorzDock.cx;

    POINT edge{ra.right - 4, ra.top + 100};
    ASSERT_EQ(::SendMessageA(a->m_hWnd, WM_NCHITTEST, 0, Pt(edge.x, edge.y)), HTRIGHT);
    DragEdge(a, HTRIGHT, edge, POINT{edge.x - 40, edge.y});
    EXPECT_EQ(a->m_sizeHorzDock.cx, lenA - 40);
    EXPECT_EQ(b->m_sizeHorzDock.cx, lenB + 40);
    Idle();
    EXPECT_EQ(WindowRect(b->m_hWnd).left, WindowRect(a->m_hWnd).right - 2);
    edge.x -= 40;

    // Never below a bar's minimum: b stops at 350, a stops where b did.
    DragEdge(a, HTRIGHT, edge, POINT{edge.x + 3000, edge.y});
    EXPECT_EQ(b->m_sizeHorzDock.cx, 350);
    EXPECT_EQ(a->m_sizeHorzDock.cx, sum - 350);
    // And back from b's side: its left edge dragged left takes from a.
    Idle();
    RECT rb = WindowRect(b->m_hWnd);
    POINT left{rb.left + 3, rb.top + 100};
    ASSERT_EQ(::SendMessageA(b->m_hWnd, WM_NCHITTEST, 0, Pt(left.x, left.y)), HTLEFT);
    DragEdge(b, HTLEFT, left, POINT{left.x - 100, left.y});
    EXPECT_EQ(b->m_sizeHorzDock.cx, 450);
    EXPECT_EQ(a->m_sizeHorzDock.cx, sum - 450);

    // The outer (bottom) edge changes both bars' thickness together.
    Idle();
    ra = WindowRect(a->m_hWnd);
    POINT bottom{ra.left + 100, ra.bottom - 4};
    ASSERT_EQ(::SendMessageA(a->m_hWnd, WM_NCHITTEST, 0, Pt(bottom.x, bottom.y)), HTBOTTOM);
    int thick = a->m_sizeHorzDock.cy;
    DragEdge(a, HTBOTTOM, bottom, POINT{bottom.x, bottom.y + 30});
    EXPECT_EQ(a->m_sizeHorzDock.cy, thick + 30);
    EXPECT_EQ(b->m_sizeHorzDock.cy, thick + 30);
    Idle();
    EXPECT_EQ(WindowRect(b->m_hWnd).bottom - WindowRect(b->m_hWnd).top, thick + 30);
}

TEST_F(SizingBarEdge, FullWindowDragFollowsLiveAfterTheSettingChanges) {
    CSizingControlBar* bar = AddBar("left", AFX_IDW_DOCKBAR_LEFT);
    BOOL saved = FALSE;
    ::SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &saved, 0);
    ::SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    ::SendMessageA(bar->m_hWnd, WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS, 0);
    EXPECT_TRUE(bar->m_bFullWindowDrag);

    RECT rb = WindowRect(bar->m_hWnd);
    POINT edge{rb.right - 4, rb.top + 200};
    ::SendMessageA(bar->m_hWnd, WM_NCLBUTTONDOWN, HTRIGHT, Pt(edge.x, edge.y));
    ::SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, edge.x + 50, edge.y));
    Idle();   // still dragging: the bar already has its new width
    EXPECT_TRUE(bar->m_bEdgeTracking);
    rb = WindowRect(bar->m_hWnd);
    EXPECT_EQ(rb.right - rb.left, 400);
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
    RECT rb = WindowRect(bar->m_hWnd);
    int w = rb.right - rb.left, h = rb.bottom - rb.top;
    HDC dc = ::GetWindowDC(bar->m_hWnd);
    COLORREF edgeTopLeft = ::GetPixel(dc, w - 6, 1);
    COLORREF edgeBottomRight = ::GetPixel(dc, w - 2, h - 2);
    COLORREF border = ::GetPixel(dc, 2, 2);
    ::ReleaseDC(bar->m_hWnd, dc);
    if (edgeTopLeft == CLR_INVALID) GTEST_SKIP() << "window pixels cannot be read back here";
    EXPECT_EQ(edgeTopLeft, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(edgeBottomRight, ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(border, ::GetSysColor(COLOR_BTNFACE));
}
