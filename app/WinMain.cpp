#include <windows.h>
#include <commctrl.h>

#include "app/CorvidApp.h"

namespace {
CCorvidApp theApp;   // the one application object
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    // The list view, the status bar and the visual styles of the manifest need
    // the common controls registered before the first window.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    return theApp.Main(hInstance, nCmdShow);
}
