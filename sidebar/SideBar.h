// CSideBar: the main frame's docking side bar "侧边栏", home of the control
// panel, which it creates with its window and keeps filling its client area.
#pragma once
#include "app/ControlPanelDlg.h"
#include "sidebar/SizingControlBarG.h"

class CSideBar : public CSizingControlBarG {
public:
    CSideBar() = default;

    CControlPanelDlg m_wndPanel;

protected:
    // The bar's own creation, then the panel inside it; -1 when either fails.
    int OnCreate(LPCREATESTRUCTA lpcs) override;
};
