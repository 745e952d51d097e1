// The settings and run-state globals shared by the frame, the view and the panel.
// Read and written on the user-interface thread only.
#pragma once
#include <windows.h>
#include <string>

extern std::string g_strImportFile;        // config.ini key fileurls
extern std::string g_strIgnoreList;        // config.ini key keypass; the import normalises it
extern int g_nThreadCount;                 // config.ini key threadcount; 1..10 once a run starts
extern BOOL g_bQuerying;                   // a run was started from the panel and not yet ended
extern HWND g_hControlPanel;               // target of every frame-to-panel message
extern volatile LONG g_nRunningThreads;    // workers started and not yet counted off (interlocked)
extern int g_nShownThreads;                // running count last reported to the frame
