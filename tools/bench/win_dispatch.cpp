// Dispatch benchmark: the cost of one UM_DISPATCH over a list of 1,000,000
// rows (by default) in a real view: the scan that finds nothing left (the
// run's last tick, which must look at every row), a tick that chooses 10
// rows at the end of the list, and the ticks of a run under way. The workers
// themselves start in messages of their own; the longest of those (and of
// the verdicts) is reported as well.
//   win_dispatch [--rows N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/Globals.h"
#include "core/Messages.h"
#include "framework/WinApp.h"
#include "tests/win/TestSupport.h"
#include "tools/bench/BenchClock.h"
#include "tools/bench/BenchSetup.h"
#include "tools/support/TestHttpServer.h"
#include "urls/CorvidView.h"

namespace {

// The time of the view's handling of one UM_DISPATCH, as the message loop runs it.
double TimedDispatch(CCorvidView& view, int nFree) {
    MSG msg{};
    msg.hwnd = view.m_hWnd;
    msg.message = UM_DISPATCH;
    msg.lParam = nFree;
    double t0 = Seconds();
    view.PreTranslateMessage(&msg);
    return (Seconds() - t0) * 1000.0;
}

double g_longestOther = 0;   // ms: the longest other message (worker starts, verdicts)

// Pumps as the program's loop does until every worker has reported, timing each message.
void PumpUntilWorkersDone() {
    DWORD start = ::GetTickCount();
    while (g_nRunningThreads != 0 || ::GetTickCount() - start < 50) {
        if (::GetTickCount() - start > 30000) return;
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        double t0 = Seconds();
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            NoteMessageWalked(msg);
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        g_longestOther = std::max(g_longestOther, (Seconds() - t0) * 1000.0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = StartListBench(argc, argv);

    testsupport::TestHttpServer server;
    ListBenchWindow window;
    testsupport::RecordingWindow& main = window.main;
    CCorvidView& view = window.view;

    // Every row but the last 1,000 already has its verdict.
    std::string url = server.Url("/page");
    view.Rows().reserve((std::size_t)rows, (std::size_t)rows * url.size());
    for (int i = 0; i < rows; ++i)
        view.Rows().append(i + 1, url, i < rows - 1000 ? Validity::Valid : Validity::Unchecked);
    view.RowsChanged();
    ::UpdateWindow(view);
    g_nRunningThreads = 0;

    double firstTick = TimedDispatch(view, 10);   // scans to the end, starts 10 workers
    PumpUntilWorkersDone();
    double steady = 0;
    for (int t = 0; t < 20; ++t) {   // a run under way: 10 more each tick
        steady = std::max(steady, TimedDispatch(view, 10));
        PumpUntilWorkersDone();
    }
    // Every row checked: a fresh view state would scan all rows to find none.
    for (std::size_t i = 0; i < view.Rows().size(); ++i) view.Rows().setValidity(i, Validity::Valid);
    view.SetItemText(0, 2, "");         // reopens row 0: the next scan starts at the top
    view.SetItemText(0, 2, "OK");
    double lastTick = TimedDispatch(view, 10);
    testsupport::PumpFor(100);

    std::printf("rows: %d rows\n", rows);
    std::printf("dispatch_first_tick: %.2f ms\n", firstTick);
    std::printf("dispatch_tick_under_way_max: %.2f ms\n", steady);
    std::printf("dispatch_full_scan_tick: %.2f ms\n", lastTick);
    std::printf("dispatch_tick: %.2f ms\n", std::max({firstTick, steady, lastTick}));
    std::printf("longest_other_message: %.2f ms\n", g_longestOther);
    std::printf("run_finished_posted: %zu messages\n", main.Count(UM_RUN_FINISHED));
    std::fflush(stdout);
    return main.Count(UM_RUN_FINISHED) == 1 ? 0 : 1;
}
