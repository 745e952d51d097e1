// The main frame's side bar: created and docked at the left with the control
// panel filling it, hidden by its close button and by the View menu, shown
// again by the menu, with the panel and a check run carrying on unchanged.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/CorvidApp.h"
#include "app/MainFrame.h"
#include "core/Globals.h"
#include "framework/DockBar.h"
#include "framework/Gdi.h"
#include "resource.h"
#include "tools/support/TestHttpServer.h"
#include "urls/CorvidView.h"
#include "win/TestSupport.h"

using testsupport::PumpFor;
using testsupport::ClientOnScreen;
using testsupport::PumpUntil;
using testsupport::ScreenRect;

namespace {

bool HasStyle(HWND h, DWORD bits) {
    return (::GetWindowLongA(h, GWL_STYLE) & bits) == bits;
}

std::string Text(HWND h) {
    char buf[512] = {};
    ::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

std::string PaneText(HWND hBar, int nPane) {
    char buf[512] = {};
    ::SendMessageA(hBar, SB_GETTEXTA, (WPARAM)nPane, (LPARAM)buf);
    return buf;
}

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

class SideBarTest : public ::testing::Test {
protected:
    CCorvidApp app;
    CMainFrame* frame = nullptr;
    CCorvidView* view = nullptr;
    HWND panel = nullptr;

    void SetUp() override {
        g_nShownThreads = 0;
        g_nThreadCount = 5;
        g_bQuerying = FALSE;
        g_strImportFile.clear();
        g_strIgnoreList.clear();
        g_hControlPanel = nullptr;
        app.AddCorvidDocTemplate();
        app.OnFileNew();
        frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        view = dynamic_cast<CCorvidView*>(frame->GetActiveView());
        ASSERT_NE(view, nullptr);
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 1100, 760, SWP_NOZORDER | SWP_NOACTIVATE);
        frame->RecalcLayout();
        panel = Bar().m_wndPanel.m_hWnd;
    }

    void TearDown() override {
        g_hControlPanel = nullptr;
        g_nShownThreads = 0;
        g_bQuerying = FALSE;
        if (frame && frame->m_hWnd) {
            app.m_pMainWnd = nullptr;
            ::DestroyWindow(frame->m_hWnd);
        }
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    CSideBar& Bar() { return frame->m_wndSideBar; }
    bool BarShown() { return HasStyle(Bar().m_hWnd, WS_VISIBLE); }
    HWND Ctl(int id) { return ::GetDlgItem(panel, id); }
    std::string Pane(int i) { return PaneText(frame->m_wndStatusBar.m_hWnd, i); }
    RECT ViewRect() { return ScreenRect(view->m_hWnd); }
    RECT FrameClient() { return ClientOnScreen(frame->m_hWnd); }

    // The View menu as it looks when it opens: enabled and check state of the item.
    void ViewMenuItem(bool& enabled, bool& checked) {
        HMENU viewMenu = ::GetSubMenu(::GetMenu(frame->m_hWnd), 1);
        ::SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, (WPARAM)viewMenu, MAKELPARAM(1, FALSE));
        UINT state = ::GetMenuState(viewMenu, ID_VIEW_SIDEBAR, MF_BYCOMMAND);
        enabled = (state & MF_GRAYED) == 0;
        checked = (state & MF_CHECKED) != 0;
    }
    void ChooseViewSideBar() { ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_VIEW_SIDEBAR, 0); }
    // Releases the left button over the close button, as the system reports it.
    bool PressCloseButton() {
        RECT b = Bar().m_btnClose.GetButtonRect();
        RECT w = ScreenRect(Bar().m_hWnd);
        POINT pt{w.left + b.left + 5, w.top + b.top + 5};
        if (::SendMessageA(Bar().m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) != HTCLOSE) return false;
        ::PostMessageA(Bar().m_hWnd, WM_NCLBUTTONUP, HTCLOSE, MAKELPARAM(pt.x, pt.y));
        return PumpUntil([&] { return !BarShown(); }, 3000);
    }
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
        HWND h = Bar().m_hWnd;
        auto at = [&](POINT p) {
            ::ScreenToClient(h, &p);
            return MAKELPARAM((WORD)(short)p.x, (WORD)(short)p.y);
        };
        ::PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, at(POINT{(grab.x + drop.x) / 2, (grab.y + drop.y) / 2}));
        ::PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, at(drop));
        ::PostMessageA(h, WM_LBUTTONUP, 0, at(drop));
        ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at(grab));
    }
    UINT Side() { return (UINT)::GetDlgCtrlID(::GetParent(Bar().m_hWnd)); }
    // A point on the grip band: across the top of a bar docked left or right,
    // down the left of one docked at the top or bottom.
    POINT OnBand() {
        RECT w = ScreenRect(Bar().m_hWnd);
        return Bar().IsHorzDockedBar() ? POINT{w.left + 10, w.top + 100} : POINT{w.left + 100, w.top + 10};
    }
    void Click(int id) {
        ::SendMessageA(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)Ctl(id));
    }
};

}  // namespace

TEST_F(SideBarTest, DockedAtTheLeft350WideWithGripBandAndThePanelFillingIt) {
    CSideBar& bar = Bar();
    EXPECT_EQ(Text(bar.m_hWnd), "侧边栏");
    EXPECT_EQ(bar.GetDlgCtrlID(), 0u);
    EXPECT_STREQ(bar.GetRuntimeClassName(), "CSizingControlBarG");
    EXPECT_EQ(::GetDlgCtrlID(::GetParent(bar.m_hWnd)), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_TRUE(HasStyle(bar.m_hWnd, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
    EXPECT_EQ(bar.GetBarStyle() & 0x34, 0x34u) << "tool tips, fly-by and dynamic size";
    EXPECT_EQ(bar.m_dwDockStyle & CBRS_ALIGN_ANY, (DWORD)CBRS_ALIGN_ANY);
    EXPECT_EQ(bar.GetSizingStyle() & ~SZBS_EDGE_ALL, (DWORD)(SZBS_DRAWEDGES | SZBS_FITCHILD));

    RECT w = ScreenRect(bar.m_hWnd);
    RECT client = FrameClient();
    RECT status = ScreenRect(frame->m_wndStatusBar.m_hWnd);
    EXPECT_EQ(w.right - w.left, 350);
    EXPECT_EQ(w.left, client.left);
    EXPECT_GE(w.top, client.top);
    EXPECT_LE(w.bottom, status.top);
    EXPECT_GT(w.bottom - w.top, (status.top - client.top) - 8) << "runs the height of the frame";
    EXPECT_GE(ViewRect().left, w.right - 2);
    EXPECT_LE(ViewRect().left, w.right + 2);

    // The panel: the bar's child, below the 12-pixel grip band, filling the client area.
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(g_hControlPanel, panel);
    EXPECT_EQ(::GetParent(panel), bar.m_hWnd);
    EXPECT_EQ(::GetWindow(bar.m_hWnd, GW_CHILD), panel);
    EXPECT_TRUE(HasStyle(panel, WS_CHILD | WS_VISIBLE));
    RECT rc = ClientOnScreen(bar.m_hWnd);
    RECT rp = ScreenRect(panel);
    EXPECT_EQ(rp.left, rc.left);
    EXPECT_EQ(rp.top, rc.top);
    EXPECT_EQ(rp.right, rc.right);
    EXPECT_EQ(rp.bottom, rc.bottom);
    EXPECT_EQ(rc.top - w.top, 17);
    EXPECT_EQ(rc.left - w.left, 5);
    EXPECT_EQ(w.right - rc.right, 10);

    RECT b = bar.m_btnClose.GetButtonRect();
    EXPECT_EQ(b.left, 328);
    EXPECT_EQ(b.top, 4);
    EXPECT_EQ(::SendMessageA(bar.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(w.left + 333, w.top + 9)), HTCLOSE);
}

TEST_F(SideBarTest, ViewMenuHidesAndShowsTheBarAtOnceAndChecksWhileItShows) {
    bool enabled = false, checked = false;
    ViewMenuItem(enabled, checked);
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(checked);
    RECT w0 = ScreenRect(Bar().m_hWnd);

    ChooseViewSideBar();
    EXPECT_FALSE(BarShown()) << "hidden without waiting for idle time";
    EXPECT_EQ(ViewRect().left, FrameClient().left) << "the view took the bar's place";
    ViewMenuItem(enabled, checked);
    EXPECT_TRUE(enabled);
    EXPECT_FALSE(checked);

    ChooseViewSideBar();
    EXPECT_TRUE(BarShown());
    RECT w = ScreenRect(Bar().m_hWnd);
    EXPECT_EQ(w.left, w0.left);
    EXPECT_EQ(w.right - w.left, 350);
    EXPECT_GE(ViewRect().left, w.right - 2);
    ViewMenuItem(enabled, checked);
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(checked);
}

TEST_F(SideBarTest, CloseButtonHidesTheBarAndThePanelComesBackAsItWas) {
    ::SetWindowTextA(Ctl(IDC_IMPORT_FILE), "C:\\lists\\网址.txt");
    ::SetWindowTextA(Ctl(IDC_IGNORE_LIST), "ads,广告");
    ::SetWindowTextA(Ctl(IDC_THREAD_COUNT), "7");
    // A run under way and two requests outstanding.
    g_bQuerying = TRUE;
    ::SetWindowTextA(Ctl(IDC_QUERY), "停止查询");
    ::EnableWindow(Ctl(IDC_EXPORT_VALID), FALSE);
    ::EnableWindow(Ctl(IDC_CLEAN_DUPLICATES), FALSE);

    ASSERT_TRUE(PressCloseButton());
    EXPECT_FALSE(::IsWindowVisible(panel));
    EXPECT_EQ(ViewRect().left, FrameClient().left);
    bool enabled = false, checked = true;
    ViewMenuItem(enabled, checked);
    EXPECT_TRUE(enabled);
    EXPECT_FALSE(checked) << "the check mark goes with the bar";
    PumpFor(100);   // idle time while hidden changes nothing

    ChooseViewSideBar();
    ASSERT_TRUE(BarShown());
    PumpFor(100);
    EXPECT_EQ(Bar().m_wndPanel.m_hWnd, panel) << "the same panel, never re-created";
    EXPECT_EQ(g_hControlPanel, panel);
    EXPECT_EQ(Text(Ctl(IDC_IMPORT_FILE)), "C:\\lists\\网址.txt");
    EXPECT_EQ(Text(Ctl(IDC_IGNORE_LIST)), "ads,广告");
    EXPECT_EQ(Text(Ctl(IDC_THREAD_COUNT)), "7");
    EXPECT_EQ(Text(Ctl(IDC_QUERY)), "停止查询");
    EXPECT_TRUE(g_bQuerying);
    EXPECT_FALSE(::IsWindowEnabled(Ctl(IDC_EXPORT_VALID)));
    EXPECT_FALSE(::IsWindowEnabled(Ctl(IDC_CLEAN_DUPLICATES)));
    EXPECT_TRUE(::IsWindowEnabled(Ctl(IDC_EXPORT_ALL)));
    EXPECT_TRUE(::IsWindowEnabled(Ctl(IDC_IMPORT)));
    RECT rc = ClientOnScreen(Bar().m_hWnd);
    RECT rp = ScreenRect(panel);
    EXPECT_EQ(rp.right - rp.left, rc.right - rc.left);
    EXPECT_EQ(rp.bottom - rp.top, rc.bottom - rc.top);
    EXPECT_FALSE(Bar().m_btnClose.m_bPressed);
    bool enabled2 = false, checked2 = false;
    ViewMenuItem(enabled2, checked2);
    EXPECT_TRUE(checked2);
}

TEST_F(SideBarTest, CheckRunGoesOnWhileTheBarIsHiddenAndItsEndReachesThePanel) {
    testsupport::TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    testsupport::TempDir dir;
    std::string list = dir.File("urls.txt");
    std::string lines;
    for (const char* path : {"/slow?ms=700", "/slow?ms=700", "/errpage", "/status/404", "/page", "/slow?ms=300"})
        lines += server.Url(path) + "\r\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(list, lines));

    ::SetWindowTextA(Ctl(IDC_IMPORT_FILE), list.c_str());
    ::SetWindowTextA(Ctl(IDC_THREAD_COUNT), "2");
    Click(IDC_IMPORT);
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowEnabled(Ctl(IDC_IMPORT)) && view->GetRowCount() == 6; }, 5000));
    EXPECT_EQ(Pane(2), "网址个数: 6");

    Click(IDC_QUERY);
    EXPECT_EQ(Text(Ctl(IDC_QUERY)), "停止查询");
    ASSERT_TRUE(PumpUntil([&] { return view->GetItemText(0, 2) == "执行中"; }, 5000));

    ASSERT_TRUE(PressCloseButton());
    ASSERT_TRUE(PumpUntil([&] { return Pane(0) == "执行完毕"; }, 20000)) << Pane(0);
    EXPECT_FALSE(BarShown());
    const char* want[] = {"OK", "OK", "无效!", "超时!", "OK", "OK"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(view->GetItemText(i, 2), want[i]) << "row " << i;
    // The end of the run reached the hidden panel.
    ASSERT_TRUE(PumpUntil([&] { return Text(Ctl(IDC_QUERY)) == "开始查询"; }, 2000));
    EXPECT_FALSE(g_bQuerying);
    PumpUntil([&] { return Pane(1) == "线程: 0"; }, 5000);
    EXPECT_EQ(Pane(1), "线程: 0");

    ChooseViewSideBar();
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(Text(Ctl(IDC_QUERY)), "开始查询");
    EXPECT_TRUE(::IsWindowEnabled(Ctl(IDC_QUERY)));
    EXPECT_TRUE(::IsWindowEnabled(Ctl(IDC_IMPORT)));
}

TEST_F(SideBarTest, ListShowsItsCurrentRowsAfterTheBarChangesSideOrFloats) {
    for (int i = 1; i <= 4; ++i) view->Rows().append(i, "www.example" + std::to_string(i) + ".com");
    view->RowsChanged();
    ::ShowWindow(frame->m_hWnd, SW_SHOWNA);   // pixels exist only on the screen
    ASSERT_TRUE(Settle());
    HWND list = view->m_hWnd;
    RECT item{LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(::SendMessageA(list, LVM_GETITEMRECT, 3, (LPARAM)&item));

    // What the screen shows of the list must be what the list paints afresh,
    // and that has the fourth row's text where the row is.
    auto expectCurrentRows = [&](const char* step) {
        std::vector<DWORD> shown = ClientPixels(list);
        ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::vector<DWORD> fresh = ClientPixels(list);
        ASSERT_FALSE(fresh.empty()) << step;
        ASSERT_EQ(shown.size(), fresh.size()) << step;
        RECT rc{};
        ::GetClientRect(list, &rc);
        int ink = 0;
        for (int y = item.top; y < item.bottom; ++y) {
            for (int x = 0; x < rc.right; ++x) {
                DWORD px = fresh[y * rc.right + x];
                ink += GetRValue(px) < 0xD0 && GetGValue(px) < 0xD0 && GetBValue(px) < 0xD0;   // grid lines are lighter
            }
        }
        EXPECT_GT(ink, 30) << step;
        size_t differ = 0;
        for (size_t i = 0; i < fresh.size(); ++i) differ += (shown[i] & 0xFFFFFF) != (fresh[i] & 0xFFFFFF);
        EXPECT_EQ(differ, 0u) << step << ": pixels of the list left over from before";
    };

    frame->DockControlBar(&Bar(), AFX_IDW_DOCKBAR_TOP);
    ASSERT_TRUE(Settle());
    ASSERT_GT(ViewRect().top, FrameClient().top + 300);
    expectCurrentRows("docked at the top");
    frame->DockControlBar(&Bar(), AFX_IDW_DOCKBAR_LEFT);
    ASSERT_TRUE(Settle());
    ASSERT_GE(ViewRect().left, FrameClient().left + 340);
    expectCurrentRows("back at the left");
    frame->FloatControlBar(&Bar(), POINT{600, 300});
    ASSERT_TRUE(Settle());
    ASSERT_EQ(ViewRect().left, FrameClient().left);
    expectCurrentRows("floating");
    frame->DockControlBar(&Bar(), AFX_IDW_DOCKBAR_LEFT);
    ASSERT_TRUE(Settle());
    ASSERT_GE(ViewRect().left, FrameClient().left + 340);
    expectCurrentRows("docked at the left again");
}

TEST_F(SideBarTest, DraggedByItsBandTheBarStaysOnItsSideUntilThePointerReachesAnother) {
    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 1100, 1000, SWP_NOZORDER | SWP_NOACTIVATE);
    frame->RecalcLayout();
    const RECT client = FrameClient();
    const int statusTop = ScreenRect(frame->m_wndStatusBar.m_hWnd).top;

    // 30 pixels along the band, which lies in the top side's docking zone.
    POINT band = OnBand();
    ASSERT_LT(band.y, client.top + 17);
    ASSERT_EQ(::SendMessageA(Bar().m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(band.x, band.y)), HTCLIENT);
    DragBar(band, POINT{band.x + 30, band.y});
    ASSERT_TRUE(Settle());
    RECT w = ScreenRect(Bar().m_hWnd);
    EXPECT_EQ(Side(), (UINT)AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(w.left, client.left);
    EXPECT_EQ(w.right - w.left, 350);
    EXPECT_EQ(w.top, client.top);

    // The pointer at each side docks the bar there, once its outline has left its own side.
    band = OnBand();
    DragBar(band, POINT{client.left + 700, client.top + 5});
    ASSERT_TRUE(Settle());
    w = ScreenRect(Bar().m_hWnd);
    EXPECT_EQ(Side(), (UINT)AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(w.top, client.top - 2);
    EXPECT_EQ(w.bottom - w.top, 350);
    EXPECT_GE(w.right - w.left, client.right - client.left);

    band = OnBand();
    DragBar(band, POINT{client.right - 5, client.top + 500});
    ASSERT_TRUE(Settle());
    w = ScreenRect(Bar().m_hWnd);
    EXPECT_EQ(Side(), (UINT)AFX_IDW_DOCKBAR_RIGHT);
    EXPECT_EQ(w.right, client.right);
    EXPECT_EQ(w.right - w.left, 350);

    band = OnBand();
    DragBar(band, POINT{client.left + 300, statusTop - 5});
    ASSERT_TRUE(Settle());
    w = ScreenRect(Bar().m_hWnd);
    EXPECT_EQ(Side(), (UINT)AFX_IDW_DOCKBAR_BOTTOM);
    EXPECT_EQ(w.bottom, statusTop);
    EXPECT_EQ(w.bottom - w.top, 350);

    band = OnBand();
    DragBar(band, POINT{client.left + 5, client.top + 150});
    ASSERT_TRUE(Settle());
    w = ScreenRect(Bar().m_hWnd);
    EXPECT_EQ(Side(), (UINT)AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(w.left, client.left);
    EXPECT_EQ(w.right - w.left, 350);
    EXPECT_EQ(ViewRect().left, w.right);

    // Into the view, away from every side: the bar floats where it was dropped.
    band = OnBand();
    RECT before = ScreenRect(Bar().m_hWnd);
    DragBar(band, POINT{band.x + 500, band.y + 300});
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Bar().IsFloating());
    EXPECT_EQ(Side(), (UINT)AFX_IDW_DOCKBAR_FLOAT);
    RECT mini = ScreenRect(::GetParent(::GetParent(Bar().m_hWnd)));
    EXPECT_EQ(mini.left, before.left + 500);
    EXPECT_EQ(mini.top, before.top + 300);
    EXPECT_EQ(ViewRect().left, client.left);
}

namespace {

// The side bar created by the frame at a display resolution the test chooses,
// through the reader the bar asks for the display's dots per inch.
class SideBarAtDpi : public SideBarTest, public ::testing::WithParamInterface<int> {
protected:
    static int s_nDpi;
    static int Dpi() { return s_nDpi; }
    void SetUp() override {
        s_nDpi = GetParam();
        m_pfnSaved = CSideBar::s_pfnScreenDpi;
        CSideBar::s_pfnScreenDpi = &Dpi;
        SideBarTest::SetUp();
    }
    void TearDown() override {
        SideBarTest::TearDown();
        CSideBar::s_pfnScreenDpi = m_pfnSaved;
    }
    int (*m_pfnSaved)() = nullptr;
};
int SideBarAtDpi::s_nDpi = 96;

}  // namespace

TEST_P(SideBarAtDpi, DefaultWidthScalesWithTheDisplayAndThePanelFitsIt) {
    const int dpi = GetParam();
    RECT w = ScreenRect(Bar().m_hWnd);
    EXPECT_EQ(w.right - w.left, ::MulDiv(350, dpi, 96));
    EXPECT_EQ(w.left, FrameClient().left);
    EXPECT_EQ(ViewRect().left, w.right);
    // Every control of the panel lies inside the bar's client area (the panel
    // itself is laid out at the display's real resolution).
    RECT rc = ClientOnScreen(Bar().m_hWnd);
    for (HWND c = ::GetWindow(panel, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        RECT r = ScreenRect(c);
        EXPECT_LE(r.right, rc.right) << Text(c);
        EXPECT_LE(r.bottom, rc.bottom) << Text(c);
    }
    // The program scales itself to the system's resolution, and says so.
    HRSRC res = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(res, nullptr);
    std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(nullptr, res))),
                         ::SizeofResource(nullptr, res));
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos) << manifest;
}

INSTANTIATE_TEST_SUITE_P(Dpi, SideBarAtDpi, ::testing::Values(96, 120, 144));
