// The settings and run-state globals shared by the frame, the view and the panel.
// Read and written on the user-interface thread only. Each has one set of
// writers, named beside it; everybody else only reads.
#pragma once
#include <windows.h>
#include <string>

extern std::string g_strImportFile;        // config.ini key fileurls; written by start-up and the panel
extern std::string g_strIgnoreList;        // config.ini key keypass; start-up, the panel, and the
                                           // import, which normalises it
extern int g_nThreadCount;                 // config.ini key threadcount, 1..kMaxThreadCount once a run
                                           // starts; start-up and the panel
constexpr int kMaxThreadCount = 10;
extern BOOL g_bQuerying;                   // a run was started from the panel and not yet ended;
                                           // start-up (FALSE) and the panel
extern HWND g_hControlPanel;               // target of every frame-to-panel message; the panel
extern volatile LONG g_nRunningThreads;    // workers started and not yet counted off; the view,
                                           // interlocked
extern int g_nShownThreads;                // running count last reported to the frame; the frame
