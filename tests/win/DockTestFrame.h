// A real frame with docking enabled, a stand-in view and sizing bars, for the
// docking and sizing-bar tests. Bars are driven with sent and posted mouse
// messages and read back through their fields and window rectangles.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "framework/DockBar.h"
#include "framework/FrameWnd.h"
#include "framework/MiniFrame.h"
#include "resource.h"
#include "sidebar/SizingControlBar.h"
#include "win/TestSupport.h"

namespace docktest {

inline LPARAM Pt(int x, int y) {
    return MAKELPARAM((WORD)(short)x, (WORD)(short)y);
}

// The window's own visible bit: the test frame stays hidden (showing a
// top-level window costs seconds on a display without a window manager).
inline bool Shown(HWND h) {
    return (::GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0;
}

using testsupport::ClientOnScreen;
using testsupport::ScreenRect;

inline LONG Width(const RECT& r) { return r.right - r.left; }
inline LONG Height(const RECT& r) { return r.bottom - r.top; }

// Screen point -> client coordinates of h, packed for a mouse message.
inline LPARAM ClientPt(HWND h, int x, int y) {
    POINT p{x, y};
    ::ScreenToClient(h, &p);
    return Pt(p.x, p.y);
}

inline LRESULT HitTest(HWND h, int x, int y) {
    return ::SendMessageA(h, WM_NCHITTEST, 0, Pt(x, y));
}

class DockFixture : public ::testing::Test {
protected:
    static constexpr int kFrameX = 40, kFrameY = 30, kFrameW = 1000, kFrameH = 760;

    void SetUp() override {
        ASSERT_TRUE(frame.LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, nullptr, nullptr));
        ::SetMenu(frame.m_hWnd, nullptr);
        ::SetWindowPos(frame.m_hWnd, nullptr, kFrameX, kFrameY, kFrameW, kFrameH, SWP_NOZORDER);
        LPCSTR cls = CWnd::RegisterWndClass(0, nullptr, (HBRUSH)(COLOR_WINDOW + 1));
        ASSERT_TRUE(view.CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, frame.m_hWnd,
                                  AFX_IDW_PANE_FIRST));
        frame.EnableDocking(CBRS_ALIGN_ANY);
        frame.RecalcLayout();
    }

    void TearDown() override {
        children.clear();
        bars.clear();
        frame.DestroyWindow();
    }

    // A sizing bar set up the way the main frame sets up its side bar, with a
    // child there before docking as the side bar's panel is, docked on nSide.
    template <class Bar = CSizingControlBar>
    Bar* AddBar(const char* title, UINT nSide, LPCRECT lpRect = nullptr, UINT nID = 0) {
        auto bar = std::make_unique<Bar>();
        EXPECT_TRUE(bar->Create(title, &frame, nID, WS_CHILD | WS_VISIBLE | CBRS_TOP));
        bar->SetSizingStyle(SZBS_DRAWEDGES | SZBS_FITCHILD);
        bar->SetBarStyle(bar->GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
        auto child = std::make_unique<CWnd>();
        EXPECT_TRUE(child->CreateEx(0, CWnd::RegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0},
                                    bar->m_hWnd, 1));
        children.push_back(std::move(child));
        bar->EnableDocking(CBRS_ALIGN_ANY);
        bar->m_bFullWindowDrag = FALSE;   // the outline drag, whatever the desktop says
        frame.DockControlBar(bar.get(), nSide, lpRect);
        frame.RecalcLayout();
        Bar* p = bar.get();
        bars.push_back(std::move(bar));
        return p;
    }

    // Two bars side by side in one top row, the second dropped over the first's right end.
    std::pair<CSizingControlBar*, CSizingControlBar*> AddTopRowOfTwo() {
        CSizingControlBar* a = AddBar("a", AFX_IDW_DOCKBAR_TOP);
        RECT ra = ScreenRect(a->m_hWnd);
        RECT drop{ra.right - 50, ra.top, ra.right + 300, ra.top + 200};
        CSizingControlBar* b = AddBar("b", AFX_IDW_DOCKBAR_TOP, &drop);
        frame.RecalcLayout();
        return {a, b};
    }

    CDockBar* Dock(UINT id) { return frame.GetDockBar(id); }
    RECT ViewRect() { return ScreenRect(view.m_hWnd); }
    RECT ClientScreenRect() { return ClientOnScreen(frame.m_hWnd); }
    // What idle time does: the delayed layout and the bars' updates.
    void Idle() { frame.OnIdleUpdateCmdUI(); }

    // Drags an edge of bar with real messages: press on the edge, moves, release.
    void DragEdge(CSizingControlBar* bar, UINT hit, POINT from, POINT to, UINT endMsg = WM_LBUTTONUP) {
        ::SendMessageA(bar->m_hWnd, WM_NCLBUTTONDOWN, hit, Pt(from.x, from.y));
        ::SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, (from.x + to.x) / 2, (from.y + to.y) / 2));
        ::SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPt(bar->m_hWnd, to.x, to.y));
        ::SendMessageA(bar->m_hWnd, endMsg, 0, ClientPt(bar->m_hWnd, to.x, to.y));
    }

    CFrameWnd frame;
    CWnd view;
    std::vector<std::unique_ptr<CSizingControlBar>> bars;
    std::vector<std::unique_ptr<CWnd>> children;
};

}  // namespace docktest
