#include "app/SideBar.h"

#include "framework/Gdi.h"

int (*CSideBar::s_pfnScreenDpi)() = &CSideBar::ReadScreenDpi;

int CSideBar::ReadScreenDpi() {
    CClientDC dc(nullptr);
    int dpi = dc.m_hDC ? ::GetDeviceCaps(dc, LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}

SIZE CSideBar::DefaultSize() {
    const int n = ::MulDiv(350, s_pfnScreenDpi(), 96);
    return SIZE{n, n};
}

int CSideBar::OnCreate(LPCREATESTRUCTA lpcs) {
    if (CSizingControlBarG::OnCreate(lpcs) == -1) return -1;
    // Drawn edges, and the panel (the bar's first child) fitted to the client area.
    SetSizingStyle(SZBS_DRAWEDGES | SZBS_FITCHILD);
    if (!m_wndPanel.Create(IDD_CONTROL_PANEL, m_hWnd)) return -1;
    m_wndPanel.ShowWindow(SW_SHOW);
    return 0;
}
