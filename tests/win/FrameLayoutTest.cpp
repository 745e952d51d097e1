// The frame's window: caption, menus, the status bar and the view sharing the
// client area, delayed layout and idle updates, command UI, menu prompts.
#include "framework/CmdUI.h"
#include "win/FrameFixture.h"

using frametest::FrameTest;
using frametest::RectIn;

namespace {

// A bar at the top of the frame that takes a fixed height and counts idle updates.
class TopProbeBar : public CWnd {
public:
    enum { kId = 0xE8F7, kHeight = 40 };
    int idleUpdates = 0;
    explicit TopProbeBar(HWND hFrame) {
        CreateEx(0, RegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, hFrame, kId);
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_SIZEPARENT) {
            auto* p = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
            RECT r = p->rect;
            r.bottom = r.top + kHeight;
            p->rect.top += kHeight;
            p->sizeTotal.cy += kHeight;
            AfxRepositionWindow(p, m_hWnd, &r);
            return 0;
        }
        if (msg == WM_IDLEUPDATECMDUI) {
            ++idleUpdates;
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

std::string MenuText(HMENU h, UINT pos) {
    char buf[128] = {};
    ::GetMenuStringA(h, pos, buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

// Right edge of the bars docked at the left (the side bar's dock bar), 0 without any.
int LeftBarsEdge(HWND hFrame) {
    HWND hDock = ::GetDlgItem(hFrame, AFX_IDW_DOCKBAR_LEFT);
    if (!hDock || !(::GetWindowLongPtrA(hDock, GWL_STYLE) & WS_VISIBLE)) return 0;
    return RectIn(hFrame, hDock).right;
}

bool IsChecked(HMENU h, UINT id) { return (::GetMenuState(h, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
bool IsGrayed(HMENU h, UINT id) { return (::GetMenuState(h, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

}  // namespace

TEST_F(FrameTest, CaptionAndMenusComeFromTheFrameResource) {
    EXPECT_EQ(frame->GetWindowText(), "Skein");
    EXPECT_FALSE(frame->GetStyle() & FWS_ADDTOTITLE);
    HMENU bar = ::GetMenu(frame->m_hWnd);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(::GetMenuItemCount(bar), 3);
    EXPECT_EQ(MenuText(bar, 0), "文件(&F)");
    EXPECT_EQ(MenuText(bar, 1), "查看(&V)");
    EXPECT_EQ(MenuText(bar, 2), "帮助(&H)");
    HMENU file = ::GetSubMenu(bar, 0), viewMenu = ::GetSubMenu(bar, 1), help = ::GetSubMenu(bar, 2);
    EXPECT_EQ(::GetMenuItemID(file, 0), (UINT)ID_APP_EXIT);
    EXPECT_EQ(MenuText(file, 0), "退出(&X)");
    EXPECT_EQ(::GetMenuItemID(viewMenu, 0), (UINT)ID_VIEW_STATUS_BAR);
    EXPECT_EQ(MenuText(viewMenu, 0), "状态栏(&S)");
    EXPECT_EQ(::GetMenuItemID(viewMenu, 1), (UINT)ID_VIEW_SIDEBAR);
    EXPECT_EQ(MenuText(viewMenu, 1), "侧边拦(&L)");
    EXPECT_EQ(::GetMenuItemID(help, 0), (UINT)ID_APP_ABOUT);
    EXPECT_EQ(MenuText(help, 0), "关于(&A)...");
    EXPECT_NE(::SendMessageA(frame->m_hWnd, WM_GETICON, ICON_BIG, 0) |
                  ::GetClassLongPtrA(frame->m_hWnd, GCLP_HICON),
              0);
}

TEST_F(FrameTest, StatusBarRunsAlongTheBottomAndTheViewTakesTheRest) {
    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 720, 520, SWP_NOZORDER | SWP_NOACTIVATE);
    for (int pass = 0; pass < 2; ++pass) {
        RECT client = frame->GetClientRect();
        RECT bar = RectIn(frame->m_hWnd, Bar());
        RECT list = RectIn(frame->m_hWnd, view->m_hWnd);
        EXPECT_EQ(::GetDlgCtrlID(Bar()), AFX_IDW_STATUS_BAR);
        EXPECT_EQ(bar.bottom, client.bottom);
        EXPECT_EQ(bar.left, 0);
        EXPECT_EQ(bar.right, client.right);
        EXPECT_GT(bar.bottom - bar.top, 10);
        EXPECT_EQ(list.left, LeftBarsEdge(frame->m_hWnd));
        EXPECT_EQ(list.top, 0);
        EXPECT_EQ(list.right, client.right);
        EXPECT_EQ(list.bottom, bar.top);
        // A second size: the layout follows the frame.
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TEST_F(FrameTest, StatusPanesOneAndTwoAreThirtyAverageCharactersWide) {
    HFONT font = (HFONT)::SendMessageA(Bar(), WM_GETFONT, 0, 0);
    if (!font) font = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    HDC dc = ::GetDC(frame->m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(frame->m_hWnd, dc);
    ASSERT_GT(tm.tmAveCharWidth, 0);

    ASSERT_EQ(frame->m_wndStatusBar.GetCount(), 3);
    for (int i = 1; i <= 2; ++i) {
        UINT id = 1, style = 0;
        int cx = 0;
        frame->m_wndStatusBar.GetPaneInfo(i, id, style, cx);
        EXPECT_EQ(id, (UINT)ID_SEPARATOR);
        EXPECT_EQ(cx, 30 * tm.tmAveCharWidth);
        EXPECT_FALSE(style & SBPS_STRETCH);
    }
    int edges[3] = {};
    ASSERT_EQ(::SendMessageA(Bar(), SB_GETPARTS, 3, (LPARAM)edges), 3);
    EXPECT_GE(edges[1] - edges[0], 30 * tm.tmAveCharWidth);
    // Pane 0 stretches over what the other two leave.
    RECT client{};
    ::GetClientRect(Bar(), &client);
    EXPECT_GT(edges[0], client.right - 3 * (30 * tm.tmAveCharWidth + 20));
}

TEST_F(FrameTest, StatusBarCommandHidesTheBarAndItsMenuItemFollows) {
    HMENU viewMenu = ::GetSubMenu(::GetMenu(frame->m_hWnd), 1);
    ::SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, (WPARAM)viewMenu, MAKELPARAM(1, FALSE));
    EXPECT_TRUE(IsChecked(viewMenu, ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(IsGrayed(viewMenu, ID_VIEW_STATUS_BAR));

    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_FALSE(::IsWindowVisible(Bar()));
    EXPECT_EQ(RectIn(frame->m_hWnd, view->m_hWnd).bottom, frame->GetClientRect().bottom);
    ::SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, (WPARAM)viewMenu, MAKELPARAM(1, FALSE));
    EXPECT_FALSE(IsChecked(viewMenu, ID_VIEW_STATUS_BAR));

    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_TRUE(::IsWindowVisible(Bar()));
    EXPECT_EQ(RectIn(frame->m_hWnd, view->m_hWnd).bottom, RectIn(frame->m_hWnd, Bar()).top);
    ::SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, (WPARAM)viewMenu, MAKELPARAM(1, FALSE));
    EXPECT_TRUE(IsChecked(viewMenu, ID_VIEW_STATUS_BAR));
    // The framework's own command: it never reaches the application.
    EXPECT_TRUE(app.commands.empty());
}

TEST_F(FrameTest, MenuPromptsShowTheFirstLineAndTheIdleTextComesBack) {
    HMENU bar = ::GetMenu(frame->m_hWnd);
    HMENU file = ::GetSubMenu(bar, 0), viewMenu = ::GetSubMenu(bar, 1);
    auto select = [&](UINT item, UINT flags, HMENU menu) {
        ::SendMessageA(frame->m_hWnd, WM_MENUSELECT, MAKEWPARAM(item, flags), (LPARAM)menu);
    };
    select(ID_APP_EXIT, MF_HILITE, file);
    EXPECT_EQ(Pane(0), "退出应用程序");
    select(ID_VIEW_STATUS_BAR, MF_HILITE, viewMenu);
    EXPECT_EQ(Pane(0), "显示或隐藏状态栏");
    select(ID_VIEW_SIDEBAR, MF_HILITE, viewMenu);   // no string of its own
    EXPECT_EQ(Pane(0), "");
    select(0, MF_POPUP | MF_HILITE, bar);
    EXPECT_EQ(Pane(0), "");
    select(0, 0xFFFF, nullptr);   // the menu closed
    EXPECT_EQ(Pane(0), "就绪");
}

TEST_F(FrameTest, RepositionQueryReportsTheRestWithoutMovingAnything) {
    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 1000, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    frame->RecalcLayout();
    RECT laidOut = RectIn(frame->m_hWnd, view->m_hWnd);
    int barHeight = RectIn(frame->m_hWnd, Bar()).bottom - RectIn(frame->m_hWnd, Bar()).top;
    ::SetWindowPos(view->m_hWnd, nullptr, 5, 5, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rest{};
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CFrameWnd::reposQuery, &rest);
    EXPECT_TRUE(::EqualRect(&rest, &laidOut)) << "the query answers what a layout would give the view";
    EXPECT_EQ(rest.bottom, frame->GetClientRect().bottom - barHeight);
    RECT sizes{};
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CFrameWnd::reposQuery, &sizes, nullptr, FALSE);
    EXPECT_GE(sizes.bottom, barHeight) << "without stretching: the bars' total size";
    RECT list = RectIn(frame->m_hWnd, view->m_hWnd);
    EXPECT_EQ(list.left, 5);
    EXPECT_EQ(list.right, 55);
    // A layout in a given rectangle, with a border kept free around the view.
    RECT area{0, 0, 900, 600};
    RECT inArea{};
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CFrameWnd::reposQuery, &inArea, &area);
    RECT border{2, 3, 4, 5};
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CFrameWnd::reposExtra, &border, &area);
    list = RectIn(frame->m_hWnd, view->m_hWnd);
    EXPECT_EQ(list.left, inArea.left + 2);
    EXPECT_EQ(list.top, inArea.top + 3);
    EXPECT_EQ(list.right, inArea.right - 4);
    EXPECT_EQ(list.bottom, inArea.bottom - 5);
    EXPECT_EQ(inArea.bottom, 600 - barHeight);
}

TEST_F(FrameTest, DelayedLayoutWaitsForIdleTimeOrPaint) {
    TopProbeBar probe(frame->m_hWnd);
    frame->DelayRecalcLayout();
    EXPECT_EQ(RectIn(frame->m_hWnd, view->m_hWnd).top, 0) << "not laid out at once";
    app.OnIdle(0);
    EXPECT_EQ(RectIn(frame->m_hWnd, view->m_hWnd).top, TopProbeBar::kHeight);
    EXPECT_EQ(RectIn(frame->m_hWnd, probe.m_hWnd).top, 0);
    EXPECT_GE(probe.idleUpdates, 1) << "idle time reaches every bar";

    // Moved by hand with a layout pending: the next paint puts the view back.
    ::SetWindowPos(view->m_hWnd, nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    frame->DelayRecalcLayout();
    ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(RectIn(frame->m_hWnd, view->m_hWnd).top, TopProbeBar::kHeight);
    EXPECT_EQ(RectIn(frame->m_hWnd, view->m_hWnd).right, frame->GetClientRect().right);
    probe.DestroyWindow();
}

TEST_F(FrameTest, CommandsGoToTheViewThenTheFrameThenTheApplication) {
    // Unknown to view and frame: the application is asked last.
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_EDIT_COPY, 0);
    ASSERT_EQ(app.commands.size(), 1u);
    EXPECT_EQ(app.commands[0], (UINT)ID_EDIT_COPY);
    // Exit is the framework's and closes the frame through WM_CLOSE.
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_FALSE(::IsWindow(frame->m_hWnd));
    MSG m;
    EXPECT_TRUE(::PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the main window ends the loop";
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

TEST_F(FrameTest, NewAndOpenKeepTheListItsColumnsAndTheCaption) {
    view->Rows().append(1, "www.a.com");
    view->Rows().append(2, "www.b.com");
    view->RowsChanged();
    HWND hView = view->m_hWnd;

    // Ctrl+N as the keyboard gives it: the frame's accelerators turn it into ID_FILE_NEW.
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::PostMessageA(hView, WM_KEYDOWN, 'N', 1);
    PumpCapturing([&] { return !app.commands.empty(); }, 2000);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    ASSERT_EQ(app.commands.size(), 1u);
    EXPECT_EQ(app.commands[0], (UINT)ID_FILE_NEW);

    testsupport::TempDir dir;
    std::string file = dir.File("doc.tansyd");
    ASSERT_TRUE(testsupport::WriteFileBytes(file, "anything"));
    ASSERT_NE(app.GetDocTemplate()->OpenDocumentFile(file.c_str()), nullptr);
    EXPECT_EQ(app.GetDocTemplate()->OpenDocumentFile(dir.File("missing.tansyd").c_str()), nullptr);

    EXPECT_EQ(app.m_pMainWnd, frame) << "no second frame";
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(view->m_hWnd, hView);
    EXPECT_EQ(frame->GetWindowText(), "Skein");
    EXPECT_EQ(view->GetListCtrl().GetColumnCount(), 3);
    EXPECT_EQ(view->GetListCtrl().GetItemCount(), 2);
    EXPECT_EQ(view->GetItemText(1, 1), "www.b.com");
    int panes = 0;
    for (HWND h = ::GetTopWindow(frame->m_hWnd); h; h = ::GetNextWindow(h, GW_HWNDNEXT))
        panes += ::GetDlgCtrlID(h) == AFX_IDW_PANE_FIRST;
    EXPECT_EQ(panes, 1);
}
