// One check run end to end through the real frame: its 500 ms timer, the
// view's dispatch, real workers against a loopback server, the status bar
// and the panel's reset.
#include <gtest/gtest.h>

#include <set>

#include "tools/support/TestHttpServer.h"
#include "urls/CheckThread.h"
#include "win/FrameFixture.h"

using testsupport::TestHttpServer;

class CheckRunThroughFrame : public frametest::FrameTest {};

TEST_F(CheckRunThroughFrame, TimerDrivenRunFillsEveryRowAndCountsBackToZero) {
    TestHttpServer server;
    ASSERT_TRUE(server.Ok());
    g_nRunningThreads = 0;
    g_nThreadCount = 2;
    UrlRows& rows = view->Rows();
    rows.append(1, server.Url("/slow?ms=600"));
    rows.append(2, server.Url("/errpage"));
    rows.append(3, server.Url("/status/404"));
    rows.append(4, "bad line", Validity::Malformed);
    rows.append(5, server.Url("/slow?ms=300"));
    rows.append(6, server.Url("/chunked"));
    view->RowsChanged();

    std::set<std::string> pane1;
    ::PostMessageA(frame->m_hWnd, UM_REQ_START, 0, 0);
    bool ended = testsupport::PumpUntil(
        [&] {
            pane1.insert(Pane(1));
            return panel.Count(UM_RESET_START) > 0 && g_nRunningThreads == 0 && Pane(1) == "线程: 0";
        },
        20000);
    ASSERT_TRUE(ended) << "pane 0: " << Pane(0) << ", pane 1: " << Pane(1);
    testsupport::PumpFor(100);

    EXPECT_EQ(view->GetItemText(0, 2), "OK");
    EXPECT_EQ(view->GetItemText(1, 2), "无效!");
    EXPECT_EQ(view->GetItemText(2, 2), "超时!");
    EXPECT_EQ(view->GetItemText(3, 2), "格式不正确！");
    EXPECT_EQ(view->GetItemText(4, 2), "OK");
    EXPECT_EQ(view->GetItemText(5, 2), "OK");
    EXPECT_EQ(Pane(0), "执行完毕");
    EXPECT_EQ(g_nShownThreads, 0);
    EXPECT_TRUE(pane1.count("线程: 2")) << "the count never showed both workers";
    EXPECT_FALSE(pane1.count("线程: 3"));
    EXPECT_LE(server.PeakConnections(), 2);
    EXPECT_EQ(panel.Count(UM_RESET_START), 1u);
    // The timer is gone: nothing more is dispatched.
    size_t requests = server.Requests().size();
    testsupport::PumpFor(1200);
    EXPECT_EQ(server.Requests().size(), requests);
}
