#include "sidebar/SideBar.h"

int CSideBar::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CSizingControlBarG::OnCreate(lpcs) == -1) return -1;
    // Drawn edges, and the panel (the bar's first child) fitted to the client area.
    SetSizingStyle(SZBS_DRAWEDGES | SZBS_FITCHILD);
    if (!m_wndPanel.Create(IDD_CONTROL_PANEL, m_hWnd)) return -1;
    m_wndPanel.ShowWindow(SW_SHOW);
    return 0;
}
