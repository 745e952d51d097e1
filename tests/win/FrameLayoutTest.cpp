// The frame's window: caption, menus, the status bar and the view sharing the
// client area, delayed layout and idle updates, command UI, menu prompts.
#include "framework/CmdUI.h"
#include "win/FrameFixture.h"

using frametest::FramePanelTest;
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

// Right edge of the bars docked at the left (the side bar's dock bar), 0 without any.
int LeftBarsEdge(HWND hFrame) {
    HWND hDock = ::GetDlgItem(hFrame, AFX_IDW_DOCKBAR_LEFT);
    if (!hDock || !(::GetWindowLongPtrA(hDock, GWL_STYLE) & WS_VISIBLE)) return 0;
    return RectIn(hFrame, hDock).right;
}

}  // namespace

TEST_F(FrameTest, StatusBarRunsAlongTheBottomAndTheViewTakesTheRestDownToItsLeast) {
    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 1100, 700, SWP_NOZORDER | SWP_NOACTIVATE);
    for (int pass = 0; pass < 2; ++pass) {
        RECT client = frame->GetClientRect(), bar = RectIn(frame->m_hWnd, Bar());
        EXPECT_EQ(::GetDlgCtrlID(Bar()), AFX_IDW_STATUS_BAR);
        EXPECT_EQ(bar, (RECT{0, bar.top, client.right, client.bottom}));
        EXPECT_GT(bar.bottom - bar.top, 10);
        EXPECT_EQ(RectIn(frame->m_hWnd, view->m_hWnd), (RECT{LeftBarsEdge(frame->m_hWnd), 0, client.right, bar.top}));
        // Dragged far below its minimum: the frame stops where the list has its least size.
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 80, 60, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT list = RectIn(frame->m_hWnd, view->m_hWnd);
    EXPECT_GT(list.left, 0) << "beside the docked side bar";
    EXPECT_EQ(list.right - list.left, CMainFrame::MinListSize().cx);
    EXPECT_EQ(list.bottom - list.top, CMainFrame::MinListSize().cy);
}

TEST_F(FrameTest, StatusPanesOneAndTwoHoldTheirLongestTextsAndPaneZeroTakesTheRest) {
    ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 1000, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT font = (HFONT)::SendMessageA(Bar(), WM_GETFONT, 0, 0);
    HDC dc = ::GetDC(Bar());
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE longest{};
    ::GetTextExtentPoint32A(dc, "网址个数: 1000000", 17, &longest);
    ::SelectObject(dc, old);
    ::ReleaseDC(Bar(), dc);
    ASSERT_EQ(::SendMessageA(Bar(), SB_GETPARTS, 0, 0), 3);
    RECT pane[3] = {};
    for (int i = 0; i < 3; ++i) ::SendMessageA(Bar(), SB_GETRECT, i, (LPARAM)&pane[i]);
    for (int i = 1; i <= 2; ++i) EXPECT_GE(pane[i].right - pane[i].left, longest.cx) << i;
    EXPECT_GE(pane[0].right - pane[0].left, 1000 - 100 - (pane[1].right - pane[1].left) * 2);
}

TEST_F(FrameTest, StatusBarCommandHidesTheBarAndItsMenuItemFollows) {
    // The item's state as the menu shows it when it opens.
    auto item = [&] {
        HMENU viewMenu = ::GetSubMenu(::GetMenu(frame->m_hWnd), 1);
        ::SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, (WPARAM)viewMenu, MAKELPARAM(1, FALSE));
        return ::GetMenuState(viewMenu, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED);
    };
    EXPECT_EQ(item(), (UINT)MF_CHECKED);
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_FALSE(::IsWindowVisible(Bar()));
    EXPECT_EQ(RectIn(frame->m_hWnd, view->m_hWnd).bottom, frame->GetClientRect().bottom);
    EXPECT_EQ(item(), 0u);
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_TRUE(::IsWindowVisible(Bar()));
    EXPECT_EQ(RectIn(frame->m_hWnd, view->m_hWnd).bottom, RectIn(frame->m_hWnd, Bar()).top);
    EXPECT_EQ(item(), (UINT)MF_CHECKED);
    // The framework's own command: it never reaches the application.
    EXPECT_TRUE(app.commands.empty());
}

TEST_F(FrameTest, MenuPromptsShowTheFirstLineAndTheMenuGivesBackWhatItCovered) {
    HMENU bar = ::GetMenu(frame->m_hWnd);
    HMENU file = ::GetSubMenu(bar, 0), viewMenu = ::GetSubMenu(bar, 1);
    auto select = [&](UINT item, UINT flags, HMENU menu) {
        ::SendMessageA(frame->m_hWnd, WM_MENUSELECT, MAKEWPARAM(item, flags), (LPARAM)menu);
    };
    // The side bar's item has no string of its own; 0xFFFF: the menu closed.
    for (auto [item, flags, menu, prompt] : {std::tuple{(UINT)ID_APP_EXIT, (UINT)MF_HILITE, file, "退出应用程序"},
                                             {ID_VIEW_STATUS_BAR, MF_HILITE, viewMenu, "显示或隐藏状态栏"},
                                             {ID_VIEW_SIDEBAR, MF_HILITE, viewMenu, ""},
                                             {0, MF_POPUP | MF_HILITE, bar, ""}, {0, 0xFFFF, nullptr, "就绪"}}) {
        select(item, flags, menu);
        EXPECT_EQ(Pane(0), prompt) << item;
    }

    // Opened during a run, as the system's menu loop does it.
    ASSERT_TRUE(PostAndPump(UM_REQ_START, 0, 0, [&] { return Pane(0) == "正在检查..."; }));
    ::SendMessageA(frame->m_hWnd, WM_ENTERMENULOOP, FALSE, 0);
    select(ID_APP_EXIT, MF_HILITE, file);
    select(0, 0xFFFF, nullptr);
    ::SendMessageA(frame->m_hWnd, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_EQ(Pane(0), "正在检查...");
    // News of the run while the menu is open shows once it closes.
    ::SendMessageA(frame->m_hWnd, WM_ENTERMENULOOP, FALSE, 0);
    select(ID_APP_EXIT, MF_HILITE, file);
    ASSERT_TRUE(PostAndPump(UM_RUN_FINISHED, 0, 0, [&] { return panel.Count(UM_RESET_START) == 1; }));
    select(0, 0xFFFF, nullptr);
    ::SendMessageA(frame->m_hWnd, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_EQ(Pane(0), "执行完毕");
}

TEST_F(FramePanelTest, F6SwapsListAndPanelAndAButtonAtWorkHandsThePressToNoOther) {
    ::SetFocus(view->m_hWnd);
    Key(view->m_hWnd, VK_F6);
    HWND inPanel = focus.Last();
    ASSERT_TRUE(::IsChild(Panel().m_hWnd, inPanel));
    Key(inPanel, VK_F6);
    EXPECT_EQ(focus.Last(), view->m_hWnd);

    view->Rows().append(1, "www.a.cn", Validity::Valid);
    view->Rows().append(2, "www.a.cn", Validity::Valid);
    view->Rows().append(3, "www.b.cn", Validity::Timeout);
    view->RowsChanged();
    HWND dup = Item(IDC_CLEAN_DUPLICATES);
    Panel().SendMessage(WM_NEXTDLGCTL, (WPARAM)dup, TRUE);
    Key(dup, VK_RETURN);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return view->GetListCtrl().GetItemCount() == 2 && ::IsWindowEnabled(dup); }));
    Key(focus.Last(), VK_RETURN);
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_CLEAN_INVALID))) << "清理无效 was pressed";
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
    {
        testsupport::KeysHeld ctrl({VK_CONTROL});
        ::PostMessageA(hView, WM_KEYDOWN, 'N', 1);
        PumpCapturing([&] { return !app.commands.empty(); }, 2000);
    }
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
    EXPECT_NE(::SendMessageA(frame->m_hWnd, WM_GETICON, ICON_BIG, 0) | ::GetClassLongPtrA(frame->m_hWnd, GCLP_HICON), 0);
}
