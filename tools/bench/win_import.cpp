// Import benchmark: writes a URL file (1,000,000 lines, about 40 MB, by
// default), imports it through a real view in a real window, and reports the
// import time, the rows per second, the process's peak memory and how long
// scrolling to the last row and repainting takes afterwards.
//   win_import [--lines N] [--hold SECONDS]
// --hold keeps the window up afterwards (for looking at it or taking a picture).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/Globals.h"
#include "core/Messages.h"
#include "framework/WinApp.h"
#include "tests/win/TestSupport.h"
#include "tools/bench/BenchClock.h"
#include "urls/CorvidView.h"

namespace {

// A mix like a real list: mostly plain addresses, some with "。", Chinese
// text, malformed lines and lines the ignore list catches.
std::string Line(int i) {
    char buf[96];
    if (i % 50 == 7) std::snprintf(buf, sizeof buf, "intranet-host-%07d\r\n", i);
    else if (i % 20 == 3) std::snprintf(buf, sizeof buf, "ads.site%07d.example.com/p\r\n", i);
    else if (i % 10 == 5) std::snprintf(buf, sizeof buf, "www.站点%07d。example.cn/p\r\n", i);
    else std::snprintf(buf, sizeof buf, "http://www.site%07d.example.com/path%d\r\n", i, i % 97);
    return buf;
}

// Written in pieces so that the generator does not add to the import's peak memory.
long long WriteUrlFile(const std::string& path, int lines) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    long long total = 0;
    std::string chunk;
    for (int i = 0; i < lines; ++i) {
        chunk += Line(i);
        if (chunk.size() > (1u << 20) || i + 1 == lines) {
            DWORD written = 0;
            ::WriteFile(h, chunk.data(), (DWORD)chunk.size(), &written, nullptr);
            total += written;
            chunk.clear();
        }
    }
    ::CloseHandle(h);
    return total;
}

double PeakMemoryMB() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    using Fn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
    auto fn = (Fn)(void*)::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo");
    if (!fn) {
        if (HMODULE psapi = ::LoadLibraryA("psapi.dll"))
            fn = (Fn)(void*)::GetProcAddress(psapi, "GetProcessMemoryInfo");
    }
    if (!fn || !fn(::GetCurrentProcess(), &pmc, sizeof pmc)) return -1;
    return (double)pmc.PeakWorkingSetSize / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    int lines = 1000000;
    int holdSeconds = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--lines")) lines = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--hold")) holdSeconds = std::atoi(argv[i + 1]);
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    testsupport::TempDir dir;
    std::string path = dir.File("urls.txt");
    long long bytes = WriteUrlFile(path, lines);
    if (bytes < 0) {
        std::printf("error: cannot write %s\n", path.c_str());
        return 1;
    }

    CWinApp app;
    testsupport::RecordingWindow main;   // stands in for the frame: parent, and receiver of the report
    app.m_pMainWnd = &main;
    ::SetWindowTextA(main, "Skein");
    ::SetWindowLongPtrA(main, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    ::SetWindowPos(main, nullptr, 20, 20, 1000, 700, SWP_NOZORDER | SWP_FRAMECHANGED);
    ::ShowWindow(main, SW_SHOW);
    RECT client = main.GetClientRect();
    CCorvidView view;
    view.Create(main, 0xE900, client);
    view.OnInitialUpdate();
    ::UpdateWindow(main);
    testsupport::PumpFor(200);

    g_strImportFile = path;
    g_strIgnoreList = "ads  track";
    double start = Seconds();
    view.PostMessage(UM_IMPORT);
    bool loaded = testsupport::PumpUntil([&] { return main.Count(UM_LIST_LOADED) > 0; }, 120000);
    double importTime = Seconds() - start;
    if (!loaded) {
        std::printf("error: the import did not report\n");
        return 1;
    }
    ::UpdateWindow(view);
    double shownTime = Seconds() - start;
    long rows = (long)main.Of(UM_LIST_LOADED)[0].lParam;

    double scrollStart = Seconds();
    view.GetListCtrl().EnsureVisible(rows - 1);
    ::UpdateWindow(view);
    double scrollTime = Seconds() - scrollStart;
    std::string last = view.GetListCtrl().GetItemText(rows - 1, 0);

    std::printf("file_size: %.1f MB\n", bytes / (1024.0 * 1024.0));
    std::printf("rows: %ld rows\n", rows);
    std::printf("import_time: %.3f s\n", importTime);
    std::printf("import_and_paint_time: %.3f s\n", shownTime);
    std::printf("rows_per_second: %.0f rows/s\n", rows / importTime);
    std::printf("peak_memory: %.1f MB\n", PeakMemoryMB());
    std::printf("scroll_to_end_time: %.1f ms\n", scrollTime * 1000.0);
    std::printf("last_row_number_shown: %s\n", last.c_str());
    std::fflush(stdout);

    if (holdSeconds > 0) testsupport::PumpFor((DWORD)holdSeconds * 1000);
    app.m_pMainWnd = nullptr;
    return rows == lines && last == std::to_string(lines) ? 0 : 1;
}
