// Check runs end to end through the real frame: its 500 ms timer, the view's
// dispatch, real workers against a loopback server, the status bar and the
// panel's reset; stopped by the user, then run again to the end.
#include <gtest/gtest.h>

#include <set>

#include "tools/support/TestHttpServer.h"
#include "urls/CheckThread.h"
#include "win/FrameFixture.h"

using testsupport::TestHttpServer;

class CheckRunThroughFrame : public frametest::FrameTest {
protected:
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (int i = 0; i < view->GetRowCount(); ++i) out.push_back(view->GetItemText(i, 2));
        return out;
    }
    // Pumps until the panel has been reset `runs` times and every worker has
    // been counted off on the status bar, noting every running count shown.
    bool RunsEnded(size_t runs) {
        return testsupport::PumpUntil(
            [&] {
                pane1.insert(Pane(1));
                return panel.Count(UM_RESET_START) == runs && g_nRunningThreads == 0 && Pane(1) == "线程: 0";
            },
            20000);
    }
    // The timer's gone when there is none left to kill.
    bool TimerStopped() const { return !::KillTimer(frame->m_hWnd, CMainFrame::kDispatchTimer); }
    std::set<std::string> pane1;
};

TEST_F(CheckRunThroughFrame, StopLeavesWaitingRowsAndTheNextRunFillsEveryRow) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    g_nRunningThreads = 0;
    g_nThreadCount = 2;
    int n = 0;
    for (const char* path : {"/slow?ms=600", "/slow?ms=600", "/errpage", "/status/404", "", "/chunked"})
        view->Rows().append(++n, *path ? server.Url(path) : "bad line", *path ? Validity::Unchecked : Validity::Malformed);
    view->RowsChanged();

    // Stopped, as the panel's button does, once the first tick's workers run.
    ::PostMessageA(frame->m_hWnd, UM_REQ_START, 0, 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return g_nRunningThreads == 2; }));
    ::PostMessageA(frame->m_hWnd, UM_REQ_STOP, 0, 0);
    ASSERT_TRUE(RunsEnded(1)) << "pane 0: " << Pane(0) << ", pane 1: " << Pane(1);
    EXPECT_TRUE(TimerStopped());
    EXPECT_EQ(Pane(0), "用户取消了查询。");
    // The running rows got their verdicts; the waiting ones wait.
    EXPECT_EQ(Texts(), (std::vector<std::string>{"OK", "OK", "", "", "格式不正确！", ""}));
    EXPECT_EQ(server.TotalConnections(), 2);

    ::PostMessageA(frame->m_hWnd, UM_REQ_START, 0, 0);
    ASSERT_TRUE(RunsEnded(2)) << "pane 0: " << Pane(0) << ", pane 1: " << Pane(1);
    EXPECT_TRUE(TimerStopped());
    EXPECT_EQ(Pane(0), "执行完毕");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"OK", "OK", "无效!", "超时!", "格式不正确！", "OK"}));
    EXPECT_EQ(g_nShownThreads, 0);
    EXPECT_TRUE(pane1.count("线程: 2")) << "the count never showed both workers";
    EXPECT_FALSE(pane1.count("线程: 3"));
    EXPECT_LE(server.PeakConnections(), 2);
    EXPECT_EQ(server.CountRequests("/slow?ms=600"), 2) << "a finished row was fetched again";
}
