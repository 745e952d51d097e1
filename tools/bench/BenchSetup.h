// What every list benchmark starts with: its row count and the list control.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "framework/WinApp.h"
#include "tests/win/TestSupport.h"
#include "urls/CorvidView.h"

// The value of --rows (1,000,000 when not given); the common controls are ready on return.
inline int StartListBench(int argc, char** argv) {
    int rows = 1000000;
    for (int i = 1; i + 1 < argc; i += 2)
        if (!std::strcmp(argv[i], "--rows")) rows = std::atoi(argv[i + 1]);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    return rows;
}

// A shown main window holding a list view, as the program's frame holds it.
struct ListBenchWindow {
    CWinApp app;
    testsupport::RecordingWindow main;
    CCorvidView view;
    ListBenchWindow() {
        app.m_pMainWnd = &main;
        ::SetWindowPos(main, nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
        ::ShowWindow(main, SW_SHOW);
        view.Create(main, 0xE900, RECT{0, 0, 980, 660});
        view.OnInitialUpdate();
    }
    // The main window goes first; the application must not point at it then.
    ~ListBenchWindow() { app.m_pMainWnd = nullptr; }
};
