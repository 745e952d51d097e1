// Modal loops of the system (message box, about box, file dialog, the close
// question) dispatch posted messages themselves: the frame must still act on
// every application message while they run.
#include <atomic>

#include "core/MessageBox.h"
#include "win/DialogAnswerer.h"
#include "win/FrameFixture.h"

using frametest::FrameTest;
using frametest::PaneText;
using testsupport::DialogAnswerer;

namespace {

// What the panes and the shown count were while a dialog was open.
struct Snapshot {
    std::string pane0, pane1, pane2;
    int shown = -1;
};

Snapshot Take(HWND hBar) {
    return {PaneText(hBar, 0), PaneText(hBar, 1), PaneText(hBar, 2), g_nShownThreads};
}

}  // namespace

TEST_F(FrameTest, MessagesPostedDuringAMessageBoxAreHandledWhileItIsOpen) {
    Snapshot during;
    HWND hBar = Bar();
    DialogAnswerer answerer(::GetCurrentThreadId(),
                            {{frame->m_hWnd, [&](HWND box) {
                                  ::Sleep(200);   // the box's loop has taken the posted messages by now
                                  during = Take(hBar);
                                  DialogAnswerer::Press(box, IDOK);
                              }}});
    ::PostMessageA(frame->m_hWnd, UM_LIST_LOADED, 0, 7);
    ::PostMessageA(frame->m_hWnd, UM_RUNNING_COUNT, 0, 4);
    ::PostMessageA(frame->m_hWnd, UM_EXPORTED, EXPORT_INVALID, 2);
    SkeinMessageBox(frame->m_hWnd, "test");
    ASSERT_TRUE(answerer.AllAnswered());
    EXPECT_EQ(during.pane0, "共导出了 2 个无效网址。");
    EXPECT_EQ(during.pane1, "线程: 4");
    EXPECT_EQ(during.pane2, "网址个数: 7");
    EXPECT_EQ(during.shown, 4);
    PumpCapturingFor(100);
    // Handled once, not again after the box.
    EXPECT_EQ(panel.Count(UM_ENABLE_IMPORT), 1u);
    EXPECT_EQ(panel.Count(UM_ENABLE_EXPORT), 1u);
}

TEST_F(FrameTest, AboutBoxShowsTheProgramAndLetsMessagesThrough) {
    Snapshot during;
    std::string caption, name, button;
    SIZE clientSize{}, expectedSize{};
    RECT box{}, owner{};
    bool hasIcon = false;
    HWND hBar = Bar();
    DialogAnswerer answerer(::GetCurrentThreadId(),
                            {{frame->m_hWnd, [&](HWND dlg) {
                                  ::Sleep(200);
                                  during = Take(hBar);
                                  caption = testsupport::TextOf(dlg);
                                  button = testsupport::TextOf(::GetDlgItem(dlg, IDOK));
                                  for (HWND c = ::GetWindow(dlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                                      if (testsupport::TextOf(c) == "Skein") name = "Skein";
                                      if (::SendMessageA(c, STM_GETICON, 0, 0)) hasIcon = true;
                                  }
                                  RECT rc{};
                                  ::GetClientRect(dlg, &rc);
                                  clientSize = {rc.right, rc.bottom};
                                  RECT du{0, 0, 235, 56};
                                  ::MapDialogRect(dlg, &du);
                                  expectedSize = {du.right, du.bottom};
                                  ::GetWindowRect(dlg, &box);
                                  ::GetWindowRect(frame->m_hWnd, &owner);
                                  DialogAnswerer::Press(dlg, IDOK);
                              }}});
    ::PostMessageA(frame->m_hWnd, UM_REQ_START, 0, 0);
    ::PostMessageA(frame->m_hWnd, UM_RUNNING_COUNT, 0, 2);
    // The menu command, routed through the frame to the application.
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_APP_ABOUT, 0);
    ASSERT_TRUE(answerer.AllAnswered());
    EXPECT_EQ(caption, "关于");
    EXPECT_EQ(name, "Skein");
    EXPECT_EQ(button, "确定");
    EXPECT_TRUE(hasIcon);
    EXPECT_EQ(clientSize.cx, expectedSize.cx);
    EXPECT_EQ(clientSize.cy, expectedSize.cy);
    // Centred over the frame, not in the screen's corner.
    EXPECT_NEAR(box.left + box.right, owner.left + owner.right, 2);
    EXPECT_NEAR(box.top + box.bottom, owner.top + owner.bottom, 2);
    EXPECT_EQ(during.pane0, "正在检查...");
    EXPECT_EQ(during.pane1, "线程: 2");
    ::PostMessageA(frame->m_hWnd, UM_REQ_STOP, 0, 0);
    PumpCapturingFor(50);
}

TEST_F(FrameTest, FileOpenDialogLeavesTheListAndLetsMessagesThrough) {
    view->Rows().append(1, "www.a.com");
    view->RowsChanged();
    Snapshot during;
    HWND hBar = Bar();
    DialogAnswerer answerer(::GetCurrentThreadId(), {{frame->m_hWnd, [&](HWND dlg) {
                                                          ::Sleep(300);
                                                          during = Take(hBar);
                                                          DialogAnswerer::Press(dlg, IDCANCEL);
                                                      }}},
                            30000);
    ::PostMessageA(frame->m_hWnd, UM_INVALID_CLEANED, 0, 6);
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_FILE_OPEN, 0);
    ASSERT_TRUE(answerer.AllAnswered());
    EXPECT_EQ(during.pane0, "共清理了 6 个无效网址。");
    EXPECT_EQ(frame->GetWindowText(), "Skein");
    EXPECT_EQ(view->GetListCtrl().GetItemCount(), 1);
    EXPECT_EQ(view->GetListCtrl().GetColumnCount(), 3);
}

TEST_F(FrameTest, CloseAsksWhileWorkersAreShownAndCancelKeepsTheWindow) {
    ASSERT_TRUE(PostAndPump(UM_RUNNING_COUNT, 0, 3, [&] { return g_nShownThreads == 3; }));
    // A list load resets pane 1, yet the count shown still guards the close.
    ASSERT_TRUE(PostAndPump(UM_LIST_LOADED, 0, 9, [&] { return Pane(1) == "线程: 0"; }));
    {
        std::atomic<bool> answered{false};
        DialogAnswerer answerer(::GetCurrentThreadId(), {{frame->m_hWnd, [&](HWND box) {
                                                              DialogAnswerer::Press(box, IDCANCEL);
                                                              answered = true;
                                                          }}});
        ::PostMessageA(frame->m_hWnd, WM_CLOSE, 0, 0);
        PumpCapturing([&] { return answered.load(); }, 20000);
        ASSERT_TRUE(answerer.AllAnswered());
        EXPECT_EQ(answerer.Dialogs()[0].text, "还有正在运行的线程。确定要退出吗？");
        EXPECT_EQ(answerer.Dialogs()[0].caption, "");
    }
    PumpCapturingFor(100);
    EXPECT_TRUE(::IsWindow(frame->m_hWnd));
    EXPECT_EQ(Pane(0), "加载网址列表结束。");

    DialogAnswerer answerer(::GetCurrentThreadId(),
                            {{frame->m_hWnd, [](HWND box) { DialogAnswerer::Press(box, IDOK); }}});
    ::PostMessageA(frame->m_hWnd, WM_CLOSE, 0, 0);
    PumpCapturing([&] { return !::IsWindow(frame->m_hWnd); }, 20000);
    EXPECT_TRUE(answerer.AllAnswered());
    EXPECT_FALSE(::IsWindow(frame->m_hWnd));
}

TEST_F(FrameTest, CloseWithNoWorkersShownClosesAtOnce) {
    ASSERT_TRUE(PostAndPump(UM_RUNNING_COUNT, 0, 0, [&] { return Pane(1) == "线程: 0"; }));
    ::PostMessageA(frame->m_hWnd, WM_CLOSE, 0, 0);
    PumpCapturing([&] { return !::IsWindow(frame->m_hWnd); }, 3000);
    EXPECT_FALSE(::IsWindow(frame->m_hWnd)) << "no question, no wait";
}

TEST_F(FrameTest, CloseAsksWhileARunIsActiveOrAWorkerIsOutEvenWithNoneShown) {
    auto closeIsQuestioned = [&] {
        std::atomic<bool> answered{false};
        DialogAnswerer answerer(::GetCurrentThreadId(), {{frame->m_hWnd, [&](HWND box) {
                                                              DialogAnswerer::Press(box, IDCANCEL);
                                                              answered = true;
                                                          }}},
                                3000);
        ::PostMessageA(frame->m_hWnd, WM_CLOSE, 0, 0);
        PumpCapturing([&] { return answered.load() || !::IsWindow(frame->m_hWnd); }, 5000);
        return answerer.AllAnswered() && ::IsWindow(frame->m_hWnd);
    };
    // Between a verdict and the next tick the count shown is 0 while the run goes on.
    ASSERT_TRUE(PostAndPump(UM_REQ_START, 0, 0, [&] { return Pane(0) == "正在检查..."; }));
    ASSERT_TRUE(PostAndPump(UM_RUNNING_COUNT, 0, 0, [&] { return Pane(1) == "线程: 0"; }));
    EXPECT_TRUE(closeIsQuestioned()) << "run active";

    // Stopped, but a worker started by the last tick has not reported yet.
    ASSERT_TRUE(PostAndPump(UM_REQ_STOP, 0, 0, [&] { return Pane(0) == "用户取消了查询。"; }));
    ::InterlockedIncrement(&g_nRunningThreads);
    EXPECT_TRUE(closeIsQuestioned()) << "worker out";
    ::InterlockedDecrement(&g_nRunningThreads);

    ::PostMessageA(frame->m_hWnd, WM_CLOSE, 0, 0);
    PumpCapturing([&] { return !::IsWindow(frame->m_hWnd); }, 3000);
    EXPECT_FALSE(::IsWindow(frame->m_hWnd)) << "nothing running: no question";
}
