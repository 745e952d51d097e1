// CSideBar: the main frame's docking side bar "侧边栏", home of the control
// panel, which it creates with its window and keeps filling its client area.
#pragma once
#include "app/ControlPanelDlg.h"
#include "sidebar/SizingControlBarG.h"

class CSideBar : public CSizingControlBarG {
public:
    CSideBar() = default;

    // 350 pixels each way at 96 dots per inch, scaled to the display: the
    // panel's dialog units grow with the display's resolution, and so must its bar.
    static SIZE DefaultSize();
    // Reads the display's dots per inch; tests put a reader of their own here.
    static int (*s_pfnScreenDpi)();
    static int ReadScreenDpi();

    CControlPanelDlg m_wndPanel;

protected:
    // The bar's own creation, then the panel inside it; -1 when either fails.
    int OnCreate(LPCREATESTRUCTA lpcs) override;

private:
    // Widens the docked and floating sizes to the panel's controls as its
    // template laid them out: with a stand-in for 宋体 wider than 宋体 they
    // outgrow 350 pixels.
    void FitWidthToPanel();
};
