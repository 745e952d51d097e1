// Export benchmark: 1,000,000 rows (by default) in a real view; exports all
// rows and then the valid ones (every other row) to a file, from the request
// to the report, with the save dialog answered by a fixed path.
//   win_export [--rows N]
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
#include "urls/ExportFile.h"

namespace {

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = StartListBench(argc, argv);

    testsupport::TempDir dir;
    std::string target = dir.File("urls_export.txt");
    SetExportFileChooser([&](CWnd*, std::string& path) {
        path = target;
        return true;
    });

    CWinApp app;
    testsupport::RecordingWindow main;
    app.m_pMainWnd = &main;
    ::SetWindowPos(main, nullptr, 20, 20, 1000, 700, SWP_NOZORDER);
    CCorvidView view;
    view.Create(main, 0xE900, main.GetClientRect());
    view.OnInitialUpdate();

    UrlRows& list = view.Rows();
    list.reserve(rows, (std::size_t)rows * 40);
    long long allBytes = 0, validBytes = 0;
    char url[96];
    for (int i = 0; i < rows; ++i) {
        int n = std::snprintf(url, sizeof url, "http://www.site%07d.example.com/path%d", i, i % 97);
        bool valid = i % 2 == 0;
        list.append(i + 1, url, valid ? Validity::Valid : Validity::Timeout);
        allBytes += n + 2;
        if (valid) validBytes += n + 2;
    }
    view.RowsChanged();

    bool ok = true;
    for (int kind : {0, 1}) {
        size_t before = main.Count(UM_EXPORTED);
        double start = Seconds();
        view.PostMessage(UM_EXPORT, 0, kind);
        bool done = testsupport::PumpUntil([&] { return main.Count(UM_EXPORTED) > before; }, 600000);
        double elapsed = Seconds() - start;
        if (!done) {
            std::printf("error: the export did not report\n");
            return 1;
        }
        long lines = (long)main.Of(UM_EXPORTED).back().lParam;
        long long size = FileSize(target);
        const char* name = kind == 0 ? "export_all" : "export_valid";
        std::printf("%s_rows_written: %ld rows\n", name, lines);
        std::printf("%s_file_size: %.1f MB\n", name, size / (1024.0 * 1024.0));
        std::printf("%s_time: %.3f s\n", name, elapsed);
        std::printf("%s_rows_per_second: %.0f rows/s\n", name, rows / elapsed);
        ok = ok && size == (kind == 0 ? allBytes : validBytes) && lines == (kind == 0 ? rows : (rows + 1) / 2);
    }
    std::fflush(stdout);
    app.m_pMainWnd = nullptr;
    SetExportFileChooser({});
    return ok ? 0 : 1;
}
