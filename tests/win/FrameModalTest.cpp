// Modal loops of the system (dialogs, message boxes, the close question)
// dispatch posted messages themselves: the frame must still act on every
// application message while they run.
#include <atomic>
#include <tuple>

#include "win/DialogAnswerer.h"
#include "win/FrameFixture.h"

using frametest::FrameTest;
using frametest::PaneText;
using testsupport::DialogAnswerer;

namespace {

// The three panes and the shown count once pane 0 reads `text` (the dialog's
// loop has then taken the posted messages), or as they are when it never does.
using Snapshot = std::tuple<std::string, std::string, std::string, int>;
Snapshot TakeWhen(HWND hBar, const std::string& text) {
    DialogAnswerer::PollUntil([&] { return PaneText(hBar, 0) == text; }, 3000);
    return {PaneText(hBar, 0), PaneText(hBar, 1), PaneText(hBar, 2), g_nShownThreads};
}

}  // namespace

TEST_F(FrameTest, AboutBoxShowsTheProgramAndMessagesPostedMeanwhileAreHandledOnce) {
    Snapshot during;
    bool named = false, hasIcon = false;
    RECT box{}, owner{};
    HWND hBar = Bar();
    DialogAnswerer answerer(::GetCurrentThreadId(),
                            {{frame->m_hWnd, [&](HWND dlg) {
                                  during = TakeWhen(hBar, "共导出了 2 个无效网址。");
                                  for (HWND c = ::GetWindow(dlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
                                      named = named || testsupport::TextOf(c) == "Skein";
                                      hasIcon = hasIcon || ::SendMessageA(c, STM_GETICON, 0, 0);
                                  }
                                  ::GetWindowRect(dlg, &box);
                                  ::GetWindowRect(frame->m_hWnd, &owner);
                                  DialogAnswerer::Press(dlg, IDOK);
                              }}});
    ::PostMessageA(frame->m_hWnd, UM_LIST_LOADED, 0, 7);
    ::PostMessageA(frame->m_hWnd, UM_RUNNING_COUNT, 0, 4);
    ::PostMessageA(frame->m_hWnd, UM_EXPORTED, EXPORT_INVALID, 2);
    // The menu command, routed through the frame to the application.
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_APP_ABOUT, 0);
    ASSERT_TRUE(answerer.AllAnswered());
    EXPECT_TRUE(named);
    EXPECT_TRUE(hasIcon);
    // Centred over the frame, not in the screen's corner.
    EXPECT_NEAR(box.left + box.right, owner.left + owner.right, 2);
    EXPECT_NEAR(box.top + box.bottom, owner.top + owner.bottom, 2);
    EXPECT_EQ(during, Snapshot("共导出了 2 个无效网址。", "线程: 4", "网址个数: 7", 4));
    PumpCapturingFor(100);
    // Handled once, not again after the box.
    EXPECT_EQ(panel.Count(UM_ENABLE_IMPORT), 1u);
    EXPECT_EQ(panel.Count(UM_ENABLE_EXPORT), 1u);
}

TEST_F(FrameTest, CloseAsksWhileWorkersAreShownARunIsActiveOrAWorkerIsOut) {
    // Closes, answering the question with `button`; what was asked, empty when nothing was.
    auto close = [&](int button) {
        std::atomic<bool> answered{false};
        DialogAnswerer answerer(::GetCurrentThreadId(), {{frame->m_hWnd, [&](HWND box) {
                                                              DialogAnswerer::Press(box, button);
                                                              answered = true;
                                                          }}});
        ::PostMessageA(frame->m_hWnd, WM_CLOSE, 0, 0);
        PumpCapturing([&] { return answered.load() || !::IsWindow(frame->m_hWnd); }, 20000);
        answerer.AllAnswered();
        std::vector<DialogAnswerer::Seen> seen = answerer.Dialogs();
        PumpCapturingFor(100);
        return seen.empty() ? std::string() : seen[0].caption + "|" + seen[0].text;
    };
    const std::string question = "|还有正在运行的线程。确定要退出吗？";
    ASSERT_TRUE(PostAndPump(UM_RUNNING_COUNT, 0, 3, [&] { return g_nShownThreads == 3; }));
    // A list load resets pane 1, yet the count shown still guards the close.
    ASSERT_TRUE(PostAndPump(UM_LIST_LOADED, 0, 9, [&] { return Pane(1) == "线程: 0"; }));
    EXPECT_EQ(close(IDCANCEL), question);
    ASSERT_TRUE(::IsWindow(frame->m_hWnd)) << "Cancel keeps the window";
    EXPECT_EQ(Pane(0), "加载网址列表结束。");

    // Between a verdict and the next tick the count shown is 0 while the run goes on.
    ASSERT_TRUE(PostAndPump(UM_REQ_START, 0, 0, [&] { return Pane(0) == "正在检查..."; }));
    ASSERT_TRUE(PostAndPump(UM_RUNNING_COUNT, 0, 0, [&] { return Pane(1) == "线程: 0"; }));
    EXPECT_EQ(close(IDCANCEL), question) << "run active";
    ASSERT_TRUE(::IsWindow(frame->m_hWnd));

    // Stopped, but a worker started by the last tick has not reported yet.
    ASSERT_TRUE(PostAndPump(UM_REQ_STOP, 0, 0, [&] { return Pane(0) == "用户取消了查询。"; }));
    ::InterlockedIncrement(&g_nRunningThreads);
    EXPECT_EQ(close(IDOK), question) << "worker out";
    ::InterlockedDecrement(&g_nRunningThreads);
    EXPECT_FALSE(::IsWindow(frame->m_hWnd)) << "OK closes";
}
