#include "core/Globals.h"

std::string g_strImportFile;
std::string g_strIgnoreList;
int g_nThreadCount = 0;
BOOL g_bQuerying = FALSE;
HWND g_hControlPanel = nullptr;
volatile LONG g_nRunningThreads = 0;
int g_nShownThreads = 0;
