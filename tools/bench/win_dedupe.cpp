// Duplicate-removal benchmark: 1,000,000 rows (by default), 30 % of them
// repeats of earlier rows, in a real view in a real window; times the removal
// from the request to the report and the repaint.
//   win_dedupe [--rows N]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/Messages.h"
#include "framework/WinApp.h"
#include "tests/win/TestSupport.h"
#include "tools/bench/BenchClock.h"
#include "tools/bench/BenchSetup.h"
#include "urls/CorvidView.h"

int main(int argc, char** argv) {
    const int rows = StartListBench(argc, argv);

    CWinApp app;
    testsupport::RecordingWindow main;
    app.m_pMainWnd = &main;
    ::SetWindowLongPtrA(main, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    ::SetWindowPos(main, nullptr, 20, 20, 1000, 700, SWP_NOZORDER | SWP_FRAMECHANGED);
    ::ShowWindow(main, SW_SHOW);
    CCorvidView view;
    view.Create(main, 0xE900, main.GetClientRect());
    view.OnInitialUpdate();

    // Three rows in ten repeat a row some way above them, so the repeats are
    // scattered over the list as they are in a file merged from several lists.
    UrlRows& list = view.Rows();
    list.reserve(rows, (std::size_t)rows * 40);
    int distinct = 0, expectedRemoved = 0;
    char url[96];
    for (int i = 0; i < rows; ++i) {
        if (i % 10 < 3 && distinct > 0) {
            int earlier = (int)(((long long)i * 2654435761LL) % distinct);
            std::snprintf(url, sizeof url, "http://www.site%07d.example.com/path%d", earlier, earlier % 97);
            ++expectedRemoved;
        } else {
            std::snprintf(url, sizeof url, "http://www.site%07d.example.com/path%d", distinct, distinct % 97);
            ++distinct;
        }
        list.append(i + 1, url, (i % 4 == 0) ? Validity::Valid : Validity::Unchecked);
    }
    view.RowsChanged();
    ::UpdateWindow(main);
    testsupport::PumpFor(200);

    double start = Seconds();
    view.PostMessage(UM_CLEAN_DUPLICATES);
    bool done = testsupport::PumpUntil([&] { return main.Count(UM_CLEAN_DUPLICATES) > 0; }, 600000);
    double reportTime = Seconds() - start;
    ::UpdateWindow(view);
    double shownTime = Seconds() - start;
    if (!done) {
        std::printf("error: the removal did not report\n");
        return 1;
    }
    long removed = (long)main.Of(UM_CLEAN_DUPLICATES)[0].lParam;
    long left = (long)main.Of(UM_LIST_LOADED)[0].lParam;

    std::printf("rows: %d rows\n", rows);
    std::printf("duplicates_removed: %ld rows\n", removed);
    std::printf("rows_left: %ld rows\n", left);
    std::printf("dedupe_time: %.3f s\n", reportTime);
    std::printf("dedupe_and_paint_time: %.3f s\n", shownTime);
    std::printf("rows_per_second: %.0f rows/s\n", rows / reportTime);
    std::fflush(stdout);
    app.m_pMainWnd = nullptr;
    return removed == expectedRemoved && left == distinct ? 0 : 1;
}
