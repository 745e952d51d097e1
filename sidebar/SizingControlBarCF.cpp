#include "sidebar/SizingControlBarCF.h"

LRESULT CSizingControlBarCF::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETTEXT) {
        LRESULT r = OnSetText(wParam, lParam);
        SendMessage(WM_NCPAINT, 1, 0);   // a frame that shows the title follows it at once
        return r;
    }
    return CSizingControlBarG::WindowProc(msg, wParam, lParam);
}
