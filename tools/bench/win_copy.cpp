// Copy and re-check benchmark over a list of 1,000,000 rows (by default) in a
// real view: Ctrl+A, copying every URL to the clipboard, copying every other
// row (the control is asked for the selection row by row), and checking every
// "超时!" row and every selected row again.
//   win_copy [--rows N]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/WinApp.h"
#include "tests/win/TestSupport.h"
#include "tools/bench/BenchClock.h"
#include "tools/bench/BenchSetup.h"
#include "urls/CorvidView.h"

namespace {

template <class F>
double TimedMs(F f) {
    double t0 = Seconds();
    f();
    return (Seconds() - t0) * 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = StartListBench(argc, argv);

    ListBenchWindow window;
    CCorvidView& view = window.view;
    const std::string url = "http://www.example.com/中文/路径?q=";
    view.Rows().reserve((std::size_t)rows, (std::size_t)rows * (url.size() + 7));
    for (int i = 0; i < rows; ++i)
        view.Rows().append(i + 1, url + std::to_string(i), i % 2 ? Validity::Timeout : Validity::Valid);
    view.RowsChanged();
    ::UpdateWindow(view);

    double selectAll = TimedMs([&] { view.SelectAllRows(); });
    BOOL copiedAll = FALSE;
    double copyAll = TimedMs([&] { copiedAll = view.CopySelectedUrls(); });
    CListCtrl list = view.GetListCtrl();
    list.SetItemState(-1, 0, LVIS_SELECTED);
    for (int i = 0; i < rows; i += 2) list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    BOOL copiedHalf = FALSE;
    double copyHalf = TimedMs([&] { copiedHalf = view.CopySelectedUrls(); });
    double recheckSelected = TimedMs([&] { view.RecheckSelectedRows(); });
    double recheckTimeouts = TimedMs([&] { view.RecheckTimedOutRows(); });
    testsupport::PumpFor(100);

    std::printf("rows: %d rows\n", rows);
    std::printf("select_all: %.2f ms\n", selectAll);
    std::printf("copy_all: %.2f ms\n", copyAll);
    std::printf("copy_every_other_row: %.2f ms\n", copyHalf);
    std::printf("recheck_selected_half: %.2f ms\n", recheckSelected);
    std::printf("recheck_all_timeouts: %.2f ms\n", recheckTimeouts);
    std::fflush(stdout);
    bool ok = copiedAll && copiedHalf && view.GetItemText(0, 2).empty() && view.GetItemText(1, 2).empty();
    return ok ? 0 : 1;
}
