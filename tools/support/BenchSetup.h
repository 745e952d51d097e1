// What every list benchmark starts with: its row count and the list control.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>

// The value of --rows (1,000,000 when not given); the common controls are ready on return.
inline int StartListBench(int argc, char** argv) {
    int rows = 1000000;
    for (int i = 1; i + 1 < argc; i += 2)
        if (!std::strcmp(argv[i], "--rows")) rows = std::atoi(argv[i + 1]);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    return rows;
}
