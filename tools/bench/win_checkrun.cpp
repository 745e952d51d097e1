// Check-run benchmark: a list of URLs (1,000 by default) checked through the
// real frame, its 500 ms dispatch timer and real workers, against a loopback
// server that answers at once, with the thread count 10. Reports the URLs
// checked per second, the longest time the user-interface thread spent on one
// message during the run (any message, and the check run's own: dispatch,
// worker starts, verdicts), and the peak number of workers, counted by their
// verdicts and by the worker threads that exist.
//   win_checkrun [--urls N] [--threads N]
// With SKEIN_BENCH_DETAIL set, the count, mean and longest time per message id.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <map>

#include "app/CorvidApp.h"
#include "app/MainFrame.h"
#include "core/Globals.h"
#include "core/Messages.h"
#include "tools/bench/BenchClock.h"
#include "tools/support/TestHttpServer.h"
#include "urls/CheckThread.h"
#include "urls/CorvidView.h"

namespace {

bool AllChecked(const UrlRows& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows.validity(i) == Validity::Unchecked || rows.validity(i) == Validity::Running) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int urls = 1000;
    int threads = 10;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--urls")) urls = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--threads")) threads = std::atoi(argv[i + 1]);
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    testsupport::TestHttpServer server;
    if (!server.Ok()) {
        std::printf("error: no loopback server\n");
        return 1;
    }
    CCorvidApp app;
    app.AddCorvidDocTemplate();
    app.OnFileNew();
    auto* frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    auto* view = frame ? dynamic_cast<CCorvidView*>(frame->GetActiveView()) : nullptr;
    if (!view) {
        std::printf("error: no frame or view\n");
        return 1;
    }
    // The list as an import leaves it: the run starts from the imported rows, shown
    // and painted, as the user sees them when pressing the start button.
    for (int i = 0; i < urls; ++i) view->Rows().append(i + 1, server.Url("/page?n=" + std::to_string(i)));
    view->RowsChanged();
    ::ShowWindow(frame->m_hWnd, SW_SHOWNORMAL);
    ::UpdateWindow(frame->m_hWnd);
    for (DWORD until = ::GetTickCount() + 500; ::GetTickCount() < until;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(10);
    }
    g_nThreadCount = threads;
    g_nRunningThreads = 0;
    g_nShownThreads = 0;

    double longest = 0;
    UINT longestMsg = 0;
    double longestRun = 0;
    struct Detail {
        long count = 0;
        double total = 0, max = 0;
    };
    std::map<UINT, Detail> detail;   // per message id, with SKEIN_BENCH_DETAIL set
    std::vector<double> times;   // every message's time, for the percentile
    times.reserve(16 * (std::size_t)urls);
    LONG peakWorkers = 0;
    LONG peakLive = 0;   // worker threads that exist, whatever the verdicts say
    const double start = Seconds();
    double lastVerdict = start;
    frame->PostMessage(UM_REQ_START);
    for (;;) {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (AllChecked(view->Rows()) && g_nRunningThreads == 0) break;
            if (Seconds() - start > 600) {
                std::printf("error: the run did not end\n");
                return 1;
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_QUIT) break;
        double t0 = Seconds();
        if (!app.PreTranslateMessage(&msg)) {
            NoteMessageWalked(msg);
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        double took = Seconds() - t0;
        times.push_back(took);
        // The check run's own work: dispatch ticks, verdicts, worker starts (WM_APP range).
        if (msg.message == UM_DISPATCH || msg.message == UM_URL_VALID || msg.message == UM_URL_VERDICT ||
            (msg.message >= WM_APP && msg.message < 0xC000))
            longestRun = std::max(longestRun, took);
        if (std::getenv("SKEIN_BENCH_DETAIL")) {
            auto& d = detail[msg.message];
            d.count++;
            d.total += took;
            d.max = std::max(d.max, took);
        }
        if (took > longest) {
            longest = took;
            longestMsg = msg.message;
        }
        peakWorkers = std::max(peakWorkers, (LONG)g_nRunningThreads);
        peakLive = std::max(peakLive, CCheckThread::LiveWorkers());
        if (msg.message == UM_URL_VALID || msg.message == UM_URL_VERDICT) lastVerdict = Seconds();
    }
    double runTime = lastVerdict - start;
    int ok = 0;
    for (std::size_t i = 0; i < view->Rows().size(); ++i) ok += view->Rows().validity(i) == Validity::Valid;

    std::printf("urls: %d urls\n", urls);
    std::printf("thread_count: %d threads\n", threads);
    std::printf("run_time: %.2f s\n", runTime);
    std::printf("urls_per_second: %.2f urls/s\n", urls / runTime);
    std::printf("longest_ui_message: %.2f ms\n", longest * 1000.0);
    std::printf("longest_ui_message_id: %u id\n", longestMsg);
    std::printf("longest_checkrun_message: %.2f ms\n", longestRun * 1000.0);
    std::sort(times.begin(), times.end());
    if (!times.empty()) {
        std::printf("ui_messages: %zu messages\n", times.size());
        std::printf("ui_message_p99: %.2f ms\n", times[times.size() * 99 / 100] * 1000.0);
        std::printf("ui_messages_over_20ms: %ld messages\n",
                    (long)std::count_if(times.begin(), times.end(), [](double t) { return t > 0.020; }));
    }
    for (const auto& [id, d] : detail)
        std::printf("message_%u: %ld messages, mean %.2f ms, max %.2f ms\n", id, d.count, d.total * 1000.0 / d.count,
                    d.max * 1000.0);
    std::printf("peak_workers: %ld workers\n", (long)peakWorkers);
    std::printf("peak_live_worker_threads: %ld threads\n", (long)peakLive);
    std::printf("peak_server_connections: %d connections\n", server.PeakConnections());
    std::printf("rows_ok: %d rows\n", ok);
    std::fflush(stdout);

    app.m_pMainWnd = nullptr;
    ::DestroyWindow(frame->m_hWnd);
    return ok == urls ? 0 : 1;
}
